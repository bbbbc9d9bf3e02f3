#include "controls/bindings.h"
#include "controls/hotkeyedit.h"
#include "keys_support.h"
#include "view/formstorage.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

using namespace vorlan;

namespace {

KeyPress press(int code, bool shift = false, bool ctrl = false, bool alt = false)
{
    KeyPress k;
    k.vk = code;
    k.shift = shift;
    k.ctrl = ctrl;
    k.alt = alt;
    return k;
}

KeyPress translate(int key, Qt::KeyboardModifiers mods = {}, quint32 scan = 0,
                   NativeKeyCodes codes = NativeKeyCodes::Xkb, const QString& text = {})
{
    KeyEventData e;
    e.key = key;
    e.modifiers = mods;
    e.nativeScanCode = scan;
    e.text = text;
    return keyPressOf(e, codes);
}

// XKB key codes of some keys of the main block (evdev code + 8).
constexpr quint32 kScanQ = 24, kScanP = 33, kScan1 = 10, kScan2 = 11, kScan3 = 12,
                  kScanSemicolon = 47, kScanComma = 59, kScanGrave = 49, kScanM = 58;

} // namespace

TEST(KeyBindings, DefaultsAreTheDesignedKeys)
{
    const KeyBindings b;
    const int expected[kBindingCount] = {
        F(1),
        F(2),
        kScShift | F(5),
        F(3),
        kScShift | F(1),
        kScShift | F(2),
        kScShift | F(3),
        F(5),
        F(6),
        F(7),
        kScShift | F(7),
        F(8),
        F(12),
        F(4),
        kScShift | F(4),
        kScShift | F(6),
        F(9),
        kScCtrl | 'M',
        kScCtrl | F(1),
        kScCtrl | F(2),
        kScCtrl | F(3),
        kScCtrl | F(4),
        kScCtrl | F(5),
        kScCtrl | F(6),
        kScCtrl | F(7),
        kScCtrl | F(8),
        kScCtrl | vk::Up,
        vk::Subtract,
        kScCtrl | vk::Down,
        vk::Add,
        'P',
    };
    for (int n = 1; n <= kBindingCount; ++n) {
        EXPECT_EQ(b.binding(n).shortcut, expected[n - 1]) << "HotKey" << n;
        EXPECT_EQ(b.binding(n).extended, n == 27 || n == 29) << "HotKey" << n;
        EXPECT_EQ(b.binding(n), KeyBindings::defaultBinding(n));
    }
    EXPECT_EQ(b.binding(28).shortcut, 109);
    EXPECT_EQ(b.binding(30).shortcut, 107);
    EXPECT_FALSE(b.binding(0).assigned());
    EXPECT_FALSE(b.binding(32).assigned());
}

TEST(KeyBindings, MatchingIsExactOnModifiers)
{
    const KeyBindings b;
    // Shift+F1 is "Get soldiers", never "Put soldiers".
    EXPECT_TRUE(b.matches(5, press(F(1), true)));
    EXPECT_FALSE(b.matches(1, press(F(1), true)));
    EXPECT_TRUE(b.matches(1, press(F(1))));
    EXPECT_FALSE(b.matches(5, press(F(1))));
    // A Shift binding does not match Shift+Ctrl, nor Shift+Alt.
    EXPECT_FALSE(b.matches(5, press(F(1), true, true)));
    EXPECT_FALSE(b.matches(5, press(F(1), true, false, true)));
    EXPECT_TRUE(b.matches(18, press('M', false, true)));
    EXPECT_FALSE(b.matches(18, press('N', false, true)));
    // The free function, with the modifier flags given apart.
    EXPECT_TRUE(bindingMatches(F(12), b.binding(13), false, false, false));
    EXPECT_FALSE(bindingMatches(F(12), b.binding(13), false, true, false));
    EXPECT_FALSE(bindingMatches(F(12), b.binding(13), false, false, true));
}

TEST(KeyBindings, ExtendedFlagPlaysNoPartAndZeroMatchesNothing)
{
    KeyBindings b;
    KeyPress keypadUp = press(vk::Up, false, true);
    keypadUp.extended = false;
    EXPECT_TRUE(b.matches(27, keypadUp));
    keypadUp.extended = true;
    EXPECT_TRUE(b.matches(27, keypadUp));
    b.set(31, Binding{'P', true});
    EXPECT_TRUE(b.matches(31, press('P')));

    b.set(1, {});
    for (int code = 0; code < 256; ++code)
        EXPECT_FALSE(b.matches(1, press(code)));
    // A press without a key code matches no binding, even one of modifiers.
    EXPECT_FALSE(bindingMatches(0, Binding{kScShift}, true, false, false));
    // Modifiers without a key are not a binding.
    b.set(2, Binding{kScCtrl});
    EXPECT_FALSE(b.binding(2).assigned());
}

TEST(KeyBindings, AltAndF10NeverFireAndCharactersGoToTextEntries)
{
    KeyBindings b;
    b.set(1, Binding{kScAlt | 'X'});
    b.set(2, Binding{F(10)});
    b.set(3, Binding{kScShift | F(10)});
    QPushButton button;
    QLineEdit entry;
    EXPECT_TRUE(b.matches(1, press('X', false, false, true)));
    EXPECT_FALSE(b.fires(1, press('X', false, false, true), &button));
    EXPECT_FALSE(b.fires(2, press(F(10)), &button));
    EXPECT_FALSE(b.fires(3, press(F(10), true), &button));

    KeyPress p = press('P');
    p.printable = true;
    EXPECT_TRUE(b.fires(31, p, &button));
    EXPECT_TRUE(b.fires(31, p, nullptr));
    EXPECT_FALSE(b.fires(31, p, &entry));
    // The keypad minus types "-" into the amount entry instead of moving the menu.
    KeyPress minus = translate(Qt::Key_Minus, Qt::KeypadModifier, 0, NativeKeyCodes::Xkb, "-");
    EXPECT_TRUE(b.fires(28, minus, &button));
    EXPECT_FALSE(b.fires(28, minus, &entry));
    // Function keys and Ctrl combinations type nothing: they fire in an entry.
    EXPECT_TRUE(b.fires(5, press(F(1), true), &entry));
    KeyPress ctrlM = translate('M', Qt::ControlModifier, kScanM, NativeKeyCodes::Xkb, "\r");
    EXPECT_TRUE(ctrlM.printable);
    EXPECT_TRUE(b.fires(18, ctrlM, &entry));
}

TEST(KeyBindings, TextEntriesAreTheEditableOnes)
{
    QLineEdit line;
    QSpinBox spin;
    QComboBox combo;
    QPushButton button;
    HotKeyEdit hotKey;
    EXPECT_TRUE(isTextEntry(&line));
    EXPECT_TRUE(isTextEntry(&spin));
    EXPECT_FALSE(isTextEntry(&combo));
    combo.setEditable(true);
    EXPECT_TRUE(isTextEntry(&combo));
    EXPECT_TRUE(isTextEntry(combo.lineEdit()));
    line.setReadOnly(true);
    EXPECT_FALSE(isTextEntry(&line));
    EXPECT_FALSE(isTextEntry(&button));
    EXPECT_FALSE(isTextEntry(&hotKey));
    EXPECT_FALSE(isTextEntry(nullptr));
}

TEST(KeyBindings, DuplicateCheckClearsTheLaterOnesInCreationOrder)
{
    KeyBindings b;
    EXPECT_TRUE(b.clearDuplicates().empty());

    // F1 on "Put soldiers" and "Get soldiers": the later one goes.
    b.set(5, Binding{F(1)});
    EXPECT_EQ(b.clearDuplicates(), std::vector<int>{5});
    EXPECT_EQ(b.binding(1).shortcut, F(1));
    EXPECT_FALSE(b.binding(5).assigned());

    // HotKey29 comes before HotKey28 in that order.
    b = KeyBindings();
    b.set(29, Binding{vk::Subtract});
    EXPECT_EQ(b.clearDuplicates(), std::vector<int>{28});
    EXPECT_EQ(b.binding(29).shortcut, vk::Subtract);

    // Three alike: both later ones; cleared bindings are not duplicates of
    // each other; the extended flag does not tell two values apart, modifiers do.
    b = KeyBindings();
    b.set(2, Binding{F(1)});
    b.set(20, Binding{F(1)});
    b.set(3, {});
    b.set(4, {});
    b.set(29, Binding{kScCtrl | vk::Up, false});
    b.set(30, Binding{kScShift | vk::Add});
    EXPECT_EQ(b.clearDuplicates(), (std::vector<int>{2, 20, 29}));
    EXPECT_EQ(b.binding(30).shortcut, kScShift | vk::Add);
    EXPECT_TRUE(b.binding(27).assigned());
}

TEST(KeyBindings, RulesOfTheMenuAndPauseKeys)
{
    const HotKeyRules menu = KeyBindings::rules(27);
    EXPECT_EQ(menu.apply(vk::Up), kScCtrl | vk::Up);
    EXPECT_EQ(menu.apply(kScShift | vk::Up), kScCtrl | vk::Up);
    EXPECT_EQ(menu.apply(kScShift | kScCtrl | vk::Up), kScShift | kScCtrl | vk::Up);
    EXPECT_EQ(menu.apply(kScAlt | vk::Up), kScAlt | vk::Up);
    EXPECT_EQ(KeyBindings::rules(29).apply('X'), kScCtrl | 'X');
    for (int n : {28, 30, 31}) {
        const HotKeyRules r = KeyBindings::rules(n);
        EXPECT_EQ(r.apply(kScShift | 'P'), 'P') << n;
        EXPECT_EQ(r.apply('P'), 'P') << n;
        EXPECT_EQ(r.apply(kScCtrl | 'P'), kScCtrl | 'P') << n;
    }
    for (int n : {1, 5, 13, 18, 26})
        EXPECT_EQ(KeyBindings::rules(n).apply(kScShift | 'P'), kScShift | 'P') << n;
    EXPECT_EQ(menu.apply(0), 0);
}

TEST(KeyTranslation, NamedKeysByTheirQtKey)
{
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(translate(Qt::Key_F1 + i).vk, 112 + i);
    EXPECT_EQ(translate(Qt::Key_F24).vk, 135);
    const std::pair<int, int> named[] = {
        {Qt::Key_Left, 37},   {Qt::Key_Up, 38},       {Qt::Key_Right, 39},    {Qt::Key_Down, 40},
        {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},    {Qt::Key_Escape, 27},   {Qt::Key_Tab, 9},
        {Qt::Key_Backtab, 9}, {Qt::Key_Backspace, 8}, {Qt::Key_Space, 32},    {Qt::Key_Home, 36},
        {Qt::Key_End, 35},    {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34}, {Qt::Key_Insert, 45},
        {Qt::Key_Delete, 46}, {Qt::Key_Pause, 19},
    };
    for (auto [key, code] : named) {
        // The same whatever native code and layout come with it.
        EXPECT_EQ(translate(key).vk, code) << key;
        EXPECT_EQ(translate(key, {}, kScanQ).vk, code) << key;
        EXPECT_EQ(translate(key, {}, 0, NativeKeyCodes::None).vk, code) << key;
    }
    // Backtab comes with Shift.
    const KeyPress backtab = translate(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(backtab.shift);
    EXPECT_EQ(backtab.shortcut(), kScShift | 9);
    const KeyPress ctrlAltF5 = translate(Qt::Key_F5, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(ctrlAltF5.shortcut(), kScCtrl | kScAlt | F(5));
    EXPECT_TRUE(ctrlAltF5.isSystemKey());
    EXPECT_TRUE(translate(Qt::Key_F10).isSystemKey());
    EXPECT_FALSE(translate(Qt::Key_F11).isSystemKey());
}

TEST(KeyTranslation, KeypadKeysThroughTheKeypadModifier)
{
    const auto kp = Qt::KeypadModifier;
    EXPECT_EQ(translate(Qt::Key_Minus, kp, 82).vk, vk::Subtract);
    EXPECT_EQ(translate(Qt::Key_Plus, kp, 86).vk, vk::Add);
    EXPECT_EQ(translate(Qt::Key_Asterisk, kp).vk, vk::Multiply);
    EXPECT_EQ(translate(Qt::Key_Slash, kp).vk, vk::Divide);
    EXPECT_EQ(translate(Qt::Key_Period, kp).vk, vk::Decimal);
    EXPECT_EQ(translate(Qt::Key_Comma, kp).vk, vk::Decimal);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(translate(Qt::Key_0 + i, kp).vk, 96 + i);
    // The main block's minus and plus are other keys.
    EXPECT_EQ(translate(Qt::Key_Minus, {}, 20).vk, vk::OemMinus);
    EXPECT_EQ(translate(Qt::Key_Plus, Qt::ShiftModifier, 21).vk, vk::OemPlus);
    EXPECT_EQ(translate(Qt::Key_Minus, {}, 0, NativeKeyCodes::None).vk, vk::OemMinus);

    // Extended: the arrow block, keypad Enter; not the keypad's arrows.
    EXPECT_TRUE(translate(Qt::Key_Up).extended);
    EXPECT_FALSE(translate(Qt::Key_Up, kp).extended);
    EXPECT_EQ(translate(Qt::Key_Up, kp).vk, vk::Up);
    EXPECT_TRUE(translate(Qt::Key_Delete).extended);
    EXPECT_FALSE(translate(Qt::Key_Delete, kp).extended);
    EXPECT_TRUE(translate(Qt::Key_Enter, kp).extended);
    EXPECT_FALSE(translate(Qt::Key_Return).extended);
    EXPECT_FALSE(translate(Qt::Key_F1).extended);
}

TEST(KeyTranslation, LettersAndDigitsByPositionUnderARussianLayout)
{
    const auto shift = Qt::ShiftModifier;
    // Й, З, Ж, Б, Ё sit on Q, P, ;, comma and `.
    EXPECT_EQ(translate(0x0419, {}, kScanQ, NativeKeyCodes::Xkb, "й").vk, 'Q');
    EXPECT_EQ(translate(0x0417, Qt::ControlModifier, kScanP).shortcut(), kScCtrl | 'P');
    EXPECT_EQ(translate(0x0416, {}, kScanSemicolon).vk, vk::Oem1);
    EXPECT_EQ(translate(0x0411, shift, kScanComma).vk, vk::OemComma);
    EXPECT_EQ(translate(0x0401, {}, kScanGrave).vk, vk::Oem3);
    // With Shift the digits type other characters; the key stays the digit.
    EXPECT_EQ(translate('"', shift, kScan2, NativeKeyCodes::Xkb, "\"").shortcut(), kScShift | '2');
    EXPECT_EQ(translate(0x2116, shift, kScan3).vk, '3');
    EXPECT_EQ(translate(Qt::Key_Exclam, shift, kScan1).vk, '1');
    // The position wins over the character: the US ";" key under Russian types Ж.
    EXPECT_EQ(translate(Qt::Key_Semicolon, {}, kScanQ).vk, 'Q');

    // Printable: characters and the space bar, not the named keys.
    EXPECT_TRUE(translate(0x0419, {}, kScanQ, NativeKeyCodes::Xkb, "й").printable);
    EXPECT_TRUE(translate(Qt::Key_Space, {}, 65, NativeKeyCodes::Xkb, " ").printable);
    EXPECT_FALSE(translate(Qt::Key_F1).printable);
    EXPECT_FALSE(translate(Qt::Key_Backspace, {}, 22, NativeKeyCodes::Xkb, "\b").printable);
    EXPECT_FALSE(translate(Qt::Key_Up, Qt::KeypadModifier).printable);
}

TEST(KeyTranslation, WithoutNativeCodesTheCharacterTellsTheKey)
{
    const auto none = NativeKeyCodes::None;
    // Russian letters on the keys of the US layout, either case.
    const std::pair<int, int> letters[] = {
        {0x0419, 'Q'},      {0x0426, 'W'}, {0x0417, 'P'},          {0x0425, vk::Oem4},
        {0x042A, vk::Oem6}, {0x0424, 'A'}, {0x0416, vk::Oem1},     {0x042D, vk::Oem7},
        {0x042F, 'Z'},      {0x042C, 'M'}, {0x0411, vk::OemComma}, {0x042E, vk::OemPeriod},
        {0x0401, vk::Oem3}, {0x0439, 'Q'}, {0x044F, 'Z'},
    };
    for (auto [key, code] : letters)
        EXPECT_EQ(translate(key, {}, 0, none).vk, code) << std::hex << key;
    // The whole layout, read back as the US keys it lies on.
    QString keys;
    for (QChar c : QString::fromUtf8("ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮЁ"))
        keys += shortcutText(Binding{translate(c.unicode(), {}, 0, none).vk});
    EXPECT_EQ(keys, "QWERTYUIOP[]ASDFGHJKL;'ZXCVBNM,.`");
    // Shifted US characters count as their key.
    EXPECT_EQ(translate(Qt::Key_Exclam, Qt::ShiftModifier, 0, none).vk, '1');
    EXPECT_EQ(translate(Qt::Key_ParenRight, Qt::ShiftModifier, 0, none).vk, '0');
    EXPECT_EQ(translate(Qt::Key_Question, Qt::ShiftModifier, 0, none).vk, vk::Oem2);
    EXPECT_EQ(translate(Qt::Key_P, {}, 0, none).vk, 'P');
    // An unknown XKB code falls back on the character as well.
    EXPECT_EQ(translate(0x0419, {}, 200).vk, 'Q');
    // No key and a character that is no key of these layouts: no code.
    EXPECT_EQ(translate(0x00E9, {}, 0, none, QStringLiteral("é")).vk, 0);
    EXPECT_FALSE(translate(0x00E9, {}, 0, none, QStringLiteral("é")).printable);
    // A key event without a Qt key but with its text.
    EXPECT_EQ(translate(0, {}, 0, none, QStringLiteral("ж")).vk, vk::Oem1);
}

TEST(KeyTranslation, WindowsNativeVirtualKeysAreTakenAsTheyAre)
{
    KeyEventData e;
    e.key = 0x0419; // Й
    e.nativeVirtualKey = 'Q';
    EXPECT_EQ(keyPressOf(e, NativeKeyCodes::WindowsVk).vk, 'Q');
    e.key = Qt::Key_Minus;
    e.modifiers = Qt::KeypadModifier;
    e.nativeVirtualKey = vk::Subtract;
    EXPECT_EQ(keyPressOf(e, NativeKeyCodes::WindowsVk).vk, vk::Subtract);
    // Named keys go by the Qt key there too.
    e.key = Qt::Key_Up;
    e.modifiers = {};
    e.nativeVirtualKey = 0;
    EXPECT_EQ(keyPressOf(e, NativeKeyCodes::WindowsVk).vk, vk::Up);
}

TEST(KeyTranslation, FromARealEvent)
{
    // The test platform gives no native codes: the character tells the key.
    QKeyEvent ze(QEvent::KeyPress, 0x0417, Qt::ShiftModifier, QStringLiteral("З"));
    const KeyPress z = KeyPress::fromEvent(ze);
    EXPECT_EQ(z.shortcut(), kScShift | 'P');
    EXPECT_TRUE(z.printable);
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_TRUE(KeyBindings().matches(3, KeyPress::fromEvent(f5)));
    QKeyEvent kpMinus(QEvent::KeyPress, Qt::Key_Minus, Qt::KeypadModifier, QStringLiteral("-"));
    EXPECT_TRUE(KeyBindings().matches(28, KeyPress::fromEvent(kpMinus)));
}

TEST(KeyTranslation, ShownTexts)
{
    EXPECT_EQ(shortcutText(Binding{kScShift | F(5)}), "Shift+F5");
    EXPECT_EQ(shortcutText(Binding{kScCtrl | vk::Up, true}), "Ctrl+Up");
    EXPECT_EQ(shortcutText(Binding{kScCtrl | vk::Up, false}), "Ctrl+Num Up");
    EXPECT_EQ(shortcutText(Binding{vk::Subtract}), "Num -");
    EXPECT_EQ(shortcutText(Binding{vk::Add}), "Num +");
    EXPECT_EQ(shortcutText(Binding{'P'}), "P");
    EXPECT_EQ(shortcutText(Binding{kScCtrl | kScShift | kScAlt | '7'}), "Ctrl+Shift+Alt+7");
    EXPECT_EQ(shortcutText(Binding{vk::Oem1}), ";");
    EXPECT_EQ(shortcutText(Binding{}), "None");
}

TEST(KeyBindingsStorage, RoundTripKeepsValuesZerosAndTheExtendedFlag)
{
    clearStored();
    KeyBindings b;
    b.set(1, Binding{kScCtrl | kScAlt | 'Q'});
    b.set(5, {});
    b.set(27, Binding{kScCtrl | vk::Up, false});
    b.set(28, Binding{vk::Home, true});
    {
        FormStorage s(QStringLiteral("TForm9"));
        b.store(s);
        s.sync();
        EXPECT_EQ(s.value("HotKey27.HotKey").toInt(), 0x4000 | 38);
        EXPECT_EQ(s.value("HotKey29.HotKey").toInt(), 0x4000 | 40);
        EXPECT_EQ(s.value("HotKey29.Modifiers").toString(), "[hkCtrl,hkExt]");
        EXPECT_EQ(s.value("HotKey1.Modifiers").toString(), "[hkCtrl,hkAlt]");
        EXPECT_EQ(s.value("HotKey5.HotKey").toInt(), 0);
        EXPECT_EQ(s.value("HotKey5.Modifiers").toString(), "[]");
    }
    const FormStorage s(QStringLiteral("TForm9"));
    KeyBindings loaded;
    loaded.load(s);
    for (int n = 1; n <= kBindingCount; ++n)
        EXPECT_EQ(loaded.binding(n), b.binding(n)) << "HotKey" << n;
}

TEST(KeyBindingsStorage, NothingStoredGivesDefaultsAndBadValuesAreNotTaken)
{
    clearStored();
    KeyBindings b;
    b.set(1, Binding{'Z'});
    b.load(FormStorage(QStringLiteral("TForm9")));
    EXPECT_EQ(b.binding(1).shortcut, F(1));
    EXPECT_EQ(b.binding(28).shortcut, vk::Subtract);
    EXPECT_EQ(b.binding(30).shortcut, vk::Add);

    FormStorage s(QStringLiteral("TForm9"));
    s.setValue("HotKey1.HotKey", "rubbish");
    s.setValue("HotKey2.HotKey", 0x10000 | 'A');
    s.setValue("HotKey3.HotKey", -5);
    s.setValue("HotKey4.HotKey", 0x1F00 | kScShift | 'A'); // stray bits dropped
    s.setValue("HotKey6.HotKey", kScCtrl);                 // modifiers alone: unassigned
    s.setValue("HotKey7.HotKey", 'K');                     // no modifier set stored
    s.sync();
    b.load(s);
    EXPECT_EQ(b.binding(1).shortcut, F(1));
    EXPECT_EQ(b.binding(2).shortcut, F(2));
    EXPECT_EQ(b.binding(3).shortcut, kScShift | F(5));
    EXPECT_EQ(b.binding(4).shortcut, kScShift | 'A');
    EXPECT_FALSE(b.binding(6).assigned());
    EXPECT_EQ(b.binding(7), (Binding{'K', false}));
    clearStored();
}
