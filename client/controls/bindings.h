#pragma once
// The redefinable key bindings: their values, defaults, matching, the
// duplicate check and storage, and the translation of Qt key events into
// the virtual-key codes the bindings are kept in.
//
// A binding keeps the Windows shortcut value, so stored values mean the same
// on every platform: the low byte is the virtual-key code of the main key,
// 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt. The extended-key flag (the arrow
// block's arrows as against the keypad's) is kept beside it but plays no
// part in matching or in the duplicate check.

#include <array>
#include <QString>
#include <Qt>
#include <vector>

class QKeyEvent;
class QWidget;

namespace vorlan {

class FormStorage;

// Virtual-key codes used by the defaults and by the key translation.
namespace vk {
inline constexpr int Back = 8;
inline constexpr int Tab = 9;
inline constexpr int Clear = 12;
inline constexpr int Return = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Menu = 18; // Alt
inline constexpr int Pause = 19;
inline constexpr int Capital = 20;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Prior = 33; // Page Up
inline constexpr int Next = 34;  // Page Down
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Snapshot = 44; // Print Screen
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int LWin = 91;
inline constexpr int RWin = 92;
inline constexpr int Apps = 93;
inline constexpr int Numpad0 = 96; // .. Numpad9 = 105
inline constexpr int Multiply = 106;
inline constexpr int Add = 107; // keypad plus ("Num +")
inline constexpr int Separator = 108;
inline constexpr int Subtract = 109; // keypad minus ("Num -")
inline constexpr int Decimal = 110;
inline constexpr int Divide = 111;
inline constexpr int F1 = 112; // .. F24 = 135
inline constexpr int F10 = 121;
inline constexpr int NumLock = 144;
inline constexpr int Scroll = 145;
inline constexpr int Oem1 = 186;      // ; :
inline constexpr int OemPlus = 187;   // = +
inline constexpr int OemComma = 188;  // , <
inline constexpr int OemMinus = 189;  // - _
inline constexpr int OemPeriod = 190; // . >
inline constexpr int Oem2 = 191;      // / ?
inline constexpr int Oem3 = 192;      // ` ~
inline constexpr int Oem4 = 219;      // [ {
inline constexpr int Oem5 = 220;      // \ |
inline constexpr int Oem6 = 221;      // ] }
inline constexpr int Oem7 = 222;      // ' "
inline constexpr int Oem102 = 226;    // the extra key beside the left Shift
} // namespace vk

// Modifier bits of a shortcut value.
inline constexpr int kScShift = 0x2000;
inline constexpr int kScCtrl = 0x4000;
inline constexpr int kScAlt = 0x8000;
inline constexpr int kScModifiers = kScShift | kScCtrl | kScAlt;

// One binding: a shortcut value (0 = unassigned) and the extended flag.
struct Binding
{
    int shortcut = 0;
    bool extended = false;

    int keyCode() const { return shortcut & 0xFF; }
    bool shift() const { return shortcut & kScShift; }
    bool ctrl() const { return shortcut & kScCtrl; }
    bool alt() const { return shortcut & kScAlt; }
    bool assigned() const { return shortcut != 0; }

    // A value fit to keep: undefined bits dropped, and a value without a
    // main key (modifiers alone cannot be pressed as a binding) becomes 0.
    static Binding normalized(int shortcut, bool extended);

    friend bool operator==(const Binding&, const Binding&) = default;
};

// A key press as the bindings see it.
struct KeyPress
{
    int vk = 0; ///< virtual-key code; 0 for a key that has none
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool extended = false;  ///< arrow block rather than keypad, keypad Enter, ...
    bool printable = false; ///< the key types a character when pressed without Ctrl or Alt

    // The press's shortcut value (key code and modifier bits).
    int shortcut() const;
    // Keys that never reached the command hook on the original platform
    // (they came as system key-downs): every Alt combination, and F10.
    bool isSystemKey() const { return alt || vk == vk::F10; }

    // The press of a real key event, translated for the running platform.
    static KeyPress fromEvent(const QKeyEvent& event);
};

// What a platform's native key codes mean.
enum class NativeKeyCodes
{
    None,      ///< nothing usable: translate by the Qt key alone
    Xkb,       ///< X11 and Wayland: the scan code is an XKB key code (evdev + 8)
    WindowsVk, ///< Windows: the native virtual key is the virtual-key code itself
};

// The native key codes of the platform the application runs on.
NativeKeyCodes platformKeyCodes();

// The parts of a key event that the translation reads, so that it can be
// driven without events.
struct KeyEventData
{
    int key = 0; ///< QKeyEvent::key()
    Qt::KeyboardModifiers modifiers;
    quint32 nativeScanCode = 0;
    quint32 nativeVirtualKey = 0;
    QString text;
};

// Translates a key event. Named keys (function keys, arrows, Enter, Esc,
// Tab, the keypad through its modifier, ...) go by their Qt key; letters,
// digits and punctuation by their physical position (the native code where
// the platform gives one, else the Qt key read on a US or Russian layout),
// so that a binding works the same under a Russian layout and with Shift held.
KeyPress keyPressOf(const KeyEventData& event, NativeKeyCodes codes);

// Does this key type a character (letters, digits, punctuation, space, the
// keypad's digits and operators)?
bool typesCharacter(int vk);

// Does the focus widget take typed characters (an editable line edit, combo
// box, spin box or text box)? The hot-key edit control does not.
bool isTextEntry(const QWidget* widget);

// The matching test: exact modifiers and the key code; the extended flag plays
// no part, an unassigned binding never matches.
bool bindingMatches(int keyCode, const Binding& binding, bool shifted, bool ctrled, bool alted);

// May a binding fire for this press at all? Not for system keys (Alt
// combinations, F10), and not for a key that types a character without
// Ctrl or Alt while a text entry has the focus: the character goes there.
bool firesInContext(const KeyPress& press, bool textEntryFocused);
bool firesInContext(const KeyPress& press, const QWidget* focus);

// Combinations a hot-key control refuses, and the modifiers it puts in their
// place (like the system control's rules).
struct HotKeyRules
{
    enum Combination : unsigned
    {
        NoModifier = 0x01,
        ShiftOnly = 0x02,
    };
    unsigned refused = 0;
    int replacement = 0; ///< modifier bits used instead of a refused combination

    int apply(int shortcut) const;
};

// The text a hot-key control shows for a binding: "Shift+F5", "Ctrl+Up",
// "Num -", "None".
QString shortcutText(const Binding& binding);

inline constexpr int kBindingCount = 31;

// The 31 bindings, numbered 1 .. 31 like the controls HotKey1 .. HotKey31.
class KeyBindings
{
public:
    // Every binding at its default.
    KeyBindings();

    static Binding defaultBinding(int n);
    static HotKeyRules rules(int n);
    // The stored property names: "HotKey5.HotKey", "HotKey5.Modifiers".
    static QString hotKeyProperty(int n);
    static QString modifiersProperty(int n);

    const Binding& binding(int n) const;
    void set(int n, const Binding& binding);

    // Does press `k` match binding n (modifiers taken from the press)?
    bool matches(int n, const KeyPress& k) const;
    // matches() and firesInContext() together: the one question the
    // dispatcher asks per binding.
    bool fires(int n, const KeyPress& k, const QWidget* focus) const;

    // The duplicate check: in the controls' creation order (1 .. 27, 29, 28,
    // 30, 31) every later binding with the same shortcut value as an earlier
    // assigned one is cleared. Returns the numbers cleared, in that order.
    std::vector<int> clearDuplicates();
    static const std::array<int, kBindingCount>& checkOrder();

    // Defaults, then whatever is stored.
    void load(const FormStorage& storage);
    void store(FormStorage& storage) const;

private:
    std::array<Binding, kBindingCount> bindings_;
};

} // namespace vorlan
