#include "bindings.h"

#include "commands.h"
#include "view/formstorage.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>

namespace vorlan {

// ---------------------------------------------------------------- values

Binding Binding::normalized(int shortcut, bool extended)
{
    const int value = shortcut & (0xFF | kScModifiers);
    if ((value & 0xFF) == 0)
        return {};
    return {value, extended};
}

int KeyPress::shortcut() const
{
    return (vk & 0xFF) | (shift ? kScShift : 0) | (ctrl ? kScCtrl : 0) | (alt ? kScAlt : 0);
}

// ------------------------------------------------------ key translation

namespace {

struct Named
{
    int vk = 0;
    bool extended = false;
};

// Keys that have a name of their own, whatever the layout. The keypad's
// keys come with the keypad modifier; its navigation keys (Num Lock off)
// share the arrow block's codes but are not extended.
Named namedKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
#ifdef Q_OS_MACOS
    // The arrow keys always carry the keypad modifier there.
    const bool arrowsExtended = true;
#else
    const bool arrowsExtended = !keypad;
#endif
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return {vk::F1 + (key - Qt::Key_F1)};
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return {vk::Numpad0 + (key - Qt::Key_0)};
        switch (key) {
        case Qt::Key_Asterisk:
            return {vk::Multiply};
        case Qt::Key_Plus:
            return {vk::Add};
        case Qt::Key_Minus:
            return {vk::Subtract};
        case Qt::Key_Period:
        case Qt::Key_Comma: // the decimal key of layouts with a decimal comma
            return {vk::Decimal};
        case Qt::Key_Slash:
            return {vk::Divide, true};
        default:
            break;
        }
    }
    switch (key) {
    case Qt::Key_Backspace:
        return {vk::Back};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return {vk::Tab};
    case Qt::Key_Clear:
        return {vk::Clear};
    case Qt::Key_Return:
        return {vk::Return};
    case Qt::Key_Enter: // keypad Enter
        return {vk::Return, true};
    case Qt::Key_Shift:
        return {vk::Shift};
    case Qt::Key_Control:
        return {vk::Control};
    case Qt::Key_Alt:
        return {vk::Menu};
    case Qt::Key_AltGr:
        return {vk::Menu, true};
    case Qt::Key_Pause:
        return {vk::Pause};
    case Qt::Key_CapsLock:
        return {vk::Capital};
    case Qt::Key_Escape:
        return {vk::Escape};
    case Qt::Key_Space:
        return {vk::Space};
    case Qt::Key_PageUp:
        return {vk::Prior, !keypad};
    case Qt::Key_PageDown:
        return {vk::Next, !keypad};
    case Qt::Key_End:
        return {vk::End, !keypad};
    case Qt::Key_Home:
        return {vk::Home, !keypad};
    case Qt::Key_Left:
        return {vk::Left, arrowsExtended};
    case Qt::Key_Up:
        return {vk::Up, arrowsExtended};
    case Qt::Key_Right:
        return {vk::Right, arrowsExtended};
    case Qt::Key_Down:
        return {vk::Down, arrowsExtended};
    case Qt::Key_Print:
    case Qt::Key_SysReq:
        return {vk::Snapshot, true};
    case Qt::Key_Insert:
        return {vk::Insert, !keypad};
    case Qt::Key_Delete:
        return {vk::Delete, !keypad};
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
        return {vk::LWin, true};
    case Qt::Key_Super_R:
        return {vk::RWin, true};
    case Qt::Key_Menu:
        return {vk::Apps, true};
    case Qt::Key_NumLock:
        return {vk::NumLock, true};
    case Qt::Key_ScrollLock:
        return {vk::Scroll};
    default:
        return {};
    }
}

// The character keys of the main block by XKB key code minus 8 (the
// physical key's position, the same under every layout).
int virtualKeyOfPosition(quint32 position)
{
    static constexpr unsigned char table[] = {
        0,   0,   '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 189, 187, 0,   0,   // 0..15
        'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', 219, 221, 0,   0,   'A', 'S', // 16..31
        'D', 'F', 'G', 'H', 'J', 'K', 'L', 186, 222, 192, 0,   220, 'Z', 'X', 'C', 'V', // 32..47
        'B', 'N', 'M', 188, 190, 191,                                                   // 48..53
    };
    if (position < sizeof table)
        return table[position];
    if (position == 86) // the extra key of ISO keyboards
        return vk::Oem102;
    return 0;
}

// The same keys by the character they type on a US or a Russian layout, for
// platforms without usable native codes. Shifted characters count as their key.
int virtualKeyOfCharacter(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        c -= 'a' - 'A';
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return int(c);
    static constexpr struct
    {
        char32_t c;
        int vk;
    } table[] = {
        {')', '0'},          {'!', '1'},          {'@', '2'},           {'#', '3'},
        {'$', '4'},          {'%', '5'},          {'^', '6'},           {'&', '7'},
        {'*', '8'},          {'(', '9'},          {'-', vk::OemMinus},  {'_', vk::OemMinus},
        {'=', vk::OemPlus},  {'+', vk::OemPlus},  {'[', vk::Oem4},      {'{', vk::Oem4},
        {']', vk::Oem6},     {'}', vk::Oem6},     {'\\', vk::Oem5},     {'|', vk::Oem5},
        {';', vk::Oem1},     {':', vk::Oem1},     {'\'', vk::Oem7},     {'"', vk::Oem7},
        {',', vk::OemComma}, {'<', vk::OemComma}, {'.', vk::OemPeriod}, {'>', vk::OemPeriod},
        {'/', vk::Oem2},     {'?', vk::Oem2},     {'`', vk::Oem3},      {'~', vk::Oem3},
        {U'\u2116', '3'}, // the numero sign on the 3 of the Russian layout
    };
    for (const auto& e : table)
        if (e.c == c)
            return e.vk;
    // The Russian layout, key by key, row by row.
    static constexpr struct
    {
        char16_t letter;
        int vk;
    } russian[] = {
        {u'Й', 'Q'},          {u'Ц', 'W'},           {u'У', 'E'},      {u'К', 'R'}, {u'Е', 'T'},
        {u'Н', 'Y'},          {u'Г', 'U'},           {u'Ш', 'I'},      {u'Щ', 'O'}, {u'З', 'P'},
        {u'Х', vk::Oem4},     {u'Ъ', vk::Oem6},      {u'Ф', 'A'},      {u'Ы', 'S'}, {u'В', 'D'},
        {u'А', 'F'},          {u'П', 'G'},           {u'Р', 'H'},      {u'О', 'J'}, {u'Л', 'K'},
        {u'Д', 'L'},          {u'Ж', vk::Oem1},      {u'Э', vk::Oem7}, {u'Я', 'Z'}, {u'Ч', 'X'},
        {u'С', 'C'},          {u'М', 'V'},           {u'И', 'B'},      {u'Т', 'N'}, {u'Ь', 'M'},
        {u'Б', vk::OemComma}, {u'Ю', vk::OemPeriod}, {u'Ё', vk::Oem3},
    };
    if (c > 0xFFFF)
        return 0;
    const char16_t upper = QChar(char16_t(c)).toUpper().unicode();
    for (const auto& e : russian)
        if (e.letter == upper)
            return e.vk;
    return 0;
}

} // namespace

NativeKeyCodes platformKeyCodes()
{
#ifdef Q_OS_WIN
    return NativeKeyCodes::WindowsVk;
#else
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")))
        return NativeKeyCodes::Xkb;
    return NativeKeyCodes::None;
#endif
}

bool typesCharacter(int code)
{
    return code == vk::Space || (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
           (code >= vk::Numpad0 && code <= vk::Divide && code != vk::Separator) ||
           (code >= vk::Oem1 && code <= vk::Oem3) || (code >= vk::Oem4 && code <= vk::Oem7) ||
           code == vk::Oem102;
}

KeyPress keyPressOf(const KeyEventData& event, NativeKeyCodes codes)
{
    KeyPress press;
    press.shift = event.modifiers & Qt::ShiftModifier;
    press.ctrl = event.modifiers & Qt::ControlModifier;
    press.alt = event.modifiers & Qt::AltModifier;

    const Named named = namedKey(event.key, event.modifiers);
    if (named.vk) {
        press.vk = named.vk;
        press.extended = named.extended;
    } else {
        if (codes == NativeKeyCodes::WindowsVk && event.nativeVirtualKey > 0 &&
            event.nativeVirtualKey < 0xFF)
            press.vk = int(event.nativeVirtualKey);
        else if (codes == NativeKeyCodes::Xkb && event.nativeScanCode >= 8)
            press.vk = virtualKeyOfPosition(event.nativeScanCode - 8);
        if (!press.vk && event.key > 0 && event.key < Qt::Key_Escape)
            press.vk = virtualKeyOfCharacter(char32_t(event.key));
        if (!press.vk && !event.text.isEmpty())
            press.vk = virtualKeyOfCharacter(event.text.toUcs4().value(0));
    }
    const bool typesText = !event.text.isEmpty() && event.text.at(0).isPrint();
    press.printable = press.vk != 0 && (typesCharacter(press.vk) || typesText);
    return press;
}

KeyPress KeyPress::fromEvent(const QKeyEvent& event)
{
    KeyEventData data;
    data.key = event.key();
    data.modifiers = event.modifiers();
    data.nativeScanCode = event.nativeScanCode();
    data.nativeVirtualKey = event.nativeVirtualKey();
    data.text = event.text();
    return keyPressOf(data, platformKeyCodes());
}

// ------------------------------------------------------------ matching

bool isTextEntry(const QWidget* widget)
{
    if (!widget)
        return false;
    if (auto* line = qobject_cast<const QLineEdit*>(widget))
        return !line->isReadOnly();
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->isEditable();
    if (auto* spin = qobject_cast<const QAbstractSpinBox*>(widget))
        return !spin->isReadOnly();
    if (auto* text = qobject_cast<const QTextEdit*>(widget))
        return !text->isReadOnly();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return !plain->isReadOnly();
    return false;
}

bool bindingMatches(int keyCode, const Binding& binding, bool shifted, bool ctrled, bool alted)
{
    return binding.assigned() && keyCode != 0 && binding.ctrl() == ctrled &&
           binding.alt() == alted && binding.shift() == shifted && binding.keyCode() == keyCode;
}

bool firesInContext(const KeyPress& press, bool textEntryFocused)
{
    if (press.isSystemKey())
        return false;
    return !(textEntryFocused && press.printable && !press.ctrl);
}

bool firesInContext(const KeyPress& press, const QWidget* focus)
{
    return firesInContext(press, isTextEntry(focus));
}

int HotKeyRules::apply(int shortcut) const
{
    if ((shortcut & 0xFF) == 0)
        return shortcut;
    const int modifiers = shortcut & kScModifiers;
    const bool refusedHere = (modifiers == 0 && (refused & NoModifier)) ||
                             (modifiers == kScShift && (refused & ShiftOnly));
    return refusedHere ? (shortcut & ~kScModifiers) | replacement : shortcut;
}

// ------------------------------------------------------------- display

namespace {

QString keyName(int code, bool extended)
{
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z'))
        return QString(QChar(code));
    if (code >= vk::F1 && code < vk::F1 + 24)
        return QStringLiteral("F%1").arg(code - vk::F1 + 1);
    if (code >= vk::Numpad0 && code <= vk::Numpad0 + 9)
        return QStringLiteral("Num %1").arg(code - vk::Numpad0);
    // The navigation keys of the keypad (not extended) are told apart from
    // those of their own block.
    auto nav = [extended](const char* name) {
        return extended ? QString::fromLatin1(name) : QStringLiteral("Num ") + QLatin1String(name);
    };
    switch (code) {
    case vk::Back:
        return QStringLiteral("Backspace");
    case vk::Tab:
        return QStringLiteral("Tab");
    case vk::Clear:
        return QStringLiteral("Num 5");
    case vk::Return:
        return extended ? QStringLiteral("Num Enter") : QStringLiteral("Enter");
    case vk::Shift:
        return QStringLiteral("Shift");
    case vk::Control:
        return QStringLiteral("Ctrl");
    case vk::Menu:
        return QStringLiteral("Alt");
    case vk::Pause:
        return QStringLiteral("Pause");
    case vk::Capital:
        return QStringLiteral("Caps Lock");
    case vk::Escape:
        return QStringLiteral("Esc");
    case vk::Space:
        return QStringLiteral("Space");
    case vk::Prior:
        return nav("PgUp");
    case vk::Next:
        return nav("PgDn");
    case vk::End:
        return nav("End");
    case vk::Home:
        return nav("Home");
    case vk::Left:
        return nav("Left");
    case vk::Up:
        return nav("Up");
    case vk::Right:
        return nav("Right");
    case vk::Down:
        return nav("Down");
    case vk::Snapshot:
        return QStringLiteral("Prnt Scrn");
    case vk::Insert:
        return nav("Ins");
    case vk::Delete:
        return nav("Del");
    case vk::LWin:
    case vk::RWin:
        return QStringLiteral("Win");
    case vk::Apps:
        return QStringLiteral("Menu");
    case vk::Multiply:
        return QStringLiteral("Num *");
    case vk::Add:
        return QStringLiteral("Num +");
    case vk::Separator:
        return QStringLiteral("Separator");
    case vk::Subtract:
        return QStringLiteral("Num -");
    case vk::Decimal:
        return QStringLiteral("Num .");
    case vk::Divide:
        return QStringLiteral("Num /");
    case vk::NumLock:
        return QStringLiteral("Num Lock");
    case vk::Scroll:
        return QStringLiteral("Scroll Lock");
    case vk::Oem1:
        return QStringLiteral(";");
    case vk::OemPlus:
        return QStringLiteral("=");
    case vk::OemComma:
        return QStringLiteral(",");
    case vk::OemMinus:
        return QStringLiteral("-");
    case vk::OemPeriod:
        return QStringLiteral(".");
    case vk::Oem2:
        return QStringLiteral("/");
    case vk::Oem3:
        return QStringLiteral("`");
    case vk::Oem4:
        return QStringLiteral("[");
    case vk::Oem5:
        return QStringLiteral("\\");
    case vk::Oem6:
        return QStringLiteral("]");
    case vk::Oem7:
        return QStringLiteral("'");
    case vk::Oem102:
        return QStringLiteral("<>");
    default:
        return QStringLiteral("Key %1").arg(code);
    }
}

} // namespace

QString shortcutText(const Binding& binding)
{
    if (!binding.assigned())
        return QStringLiteral("None");
    QString text;
    if (binding.ctrl())
        text += QLatin1String("Ctrl+");
    if (binding.shift())
        text += QLatin1String("Shift+");
    if (binding.alt())
        text += QLatin1String("Alt+");
    return text + keyName(binding.keyCode(), binding.extended);
}

// ------------------------------------------------------------ bindings

namespace {

bool valid(int n)
{
    return n >= 1 && n <= kBindingCount;
}

QString modifiersText(const Binding& b)
{
    QStringList flags;
    if (b.shift())
        flags << QStringLiteral("hkShift");
    if (b.ctrl())
        flags << QStringLiteral("hkCtrl");
    if (b.alt())
        flags << QStringLiteral("hkAlt");
    if (b.extended)
        flags << QStringLiteral("hkExt");
    return QLatin1Char('[') + flags.join(QLatin1Char(',')) + QLatin1Char(']');
}

// The stored modifier set, "[hkCtrl,hkExt]"; only the extended flag is taken
// from it, the other modifiers are in the shortcut value itself.
bool storedExtended(const QVariant& value)
{
    // An INI file may hand an unquoted list back as a string list.
    QString text = value.toStringList().join(QLatin1Char(','));
    if (text.isEmpty())
        text = value.toString();
    text.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    for (const QString& flag : text.split(QLatin1Char(',')))
        if (flag.trimmed() == QLatin1String("hkExt"))
            return true;
    return false;
}

} // namespace

KeyBindings::KeyBindings()
{
    for (int n = 1; n <= kBindingCount; ++n)
        bindings_[n - 1] = defaultBinding(n);
}

Binding KeyBindings::defaultBinding(int n)
{
    const CommandInfo* c = commandInfo(n);
    return c ? c->defaultBinding : Binding{};
}

HotKeyRules KeyBindings::rules(int n)
{
    const CommandInfo* c = commandInfo(n);
    return c ? c->rules : HotKeyRules{};
}

QString KeyBindings::hotKeyProperty(int n)
{
    return QStringLiteral("HotKey%1.HotKey").arg(n);
}

QString KeyBindings::modifiersProperty(int n)
{
    return QStringLiteral("HotKey%1.Modifiers").arg(n);
}

const Binding& KeyBindings::binding(int n) const
{
    static const Binding none;
    return valid(n) ? bindings_[n - 1] : none;
}

void KeyBindings::set(int n, const Binding& binding)
{
    if (valid(n))
        bindings_[n - 1] = Binding::normalized(binding.shortcut, binding.extended);
}

bool KeyBindings::matches(int n, const KeyPress& k) const
{
    return bindingMatches(k.vk, binding(n), k.shift, k.ctrl, k.alt);
}

bool KeyBindings::fires(int n, const KeyPress& k, const QWidget* focus) const
{
    return matches(n, k) && firesInContext(k, focus);
}

const std::array<int, kBindingCount>& KeyBindings::checkOrder()
{
    static const std::array<int, kBindingCount> order = {
        1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
        17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 29, 28, 30, 31,
    };
    return order;
}

std::vector<int> KeyBindings::clearDuplicates()
{
    std::vector<int> cleared;
    const auto& order = checkOrder();
    for (size_t i = 0; i < order.size(); ++i) {
        const int value = bindings_[order[i] - 1].shortcut;
        if (value == 0)
            continue;
        for (size_t j = i + 1; j < order.size(); ++j) {
            Binding& later = bindings_[order[j] - 1];
            if (later.shortcut == value) {
                later = {};
                cleared.push_back(order[j]);
            }
        }
    }
    return cleared;
}

void KeyBindings::load(const FormStorage& storage)
{
    for (int n = 1; n <= kBindingCount; ++n) {
        Binding b = defaultBinding(n);
        const QString key = hotKeyProperty(n);
        if (storage.contains(key)) {
            bool ok = false;
            const int value = storage.value(key).toInt(&ok);
            // A value that is no shortcut at all leaves the default in place.
            if (ok && value >= 0 && value <= 0xFFFF)
                b = Binding::normalized(value, storedExtended(storage.value(modifiersProperty(n))));
        }
        bindings_[n - 1] = b;
    }
}

void KeyBindings::store(FormStorage& storage) const
{
    for (int n = 1; n <= kBindingCount; ++n) {
        const Binding& b = bindings_[n - 1];
        storage.setValue(hotKeyProperty(n), b.shortcut);
        storage.setValue(modifiersProperty(n), modifiersText(b));
    }
}

} // namespace vorlan
