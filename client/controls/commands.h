#pragma once
// The keyboard commands by name: one table that gives each redefinable
// command its hot-key control, default binding, caption in the keys window
// and action. The defaults, the keys window and the dispatcher all read it.

#include "controls/bindings.h"

#include <span>

namespace vorlan {

// The commands with a redefinable key. The value is the number of the
// command's hot-key control (HotKey1 .. HotKey31), which names its stored
// values ("HotKey5.HotKey").
enum class Command : int
{
    PutSoldiers = 1,
    PutDefinedValue = 2,
    SetDefinedValue = 3,
    PutGold = 4,
    GetSoldiers = 5,
    GetAllSoldiers = 6,
    GetGold = 7,
    LeaveIfMore = 8,
    RoundTo = 9,
    SendToAllies = 10,
    SendToEnemies = 11,
    SendToAll = 12,
    BossKey = 13,
    ShowMonitor = 14,
    ShowGarrisons = 15,
    StartStopBot = 16,
    Market = 17,
    OptionsWindow = 18,
    Voice1 = 19, // .. Voice8 = 26
    Voice2,
    Voice3,
    Voice4,
    Voice5,
    Voice6,
    Voice7,
    Voice8,
    MenuPrevious = 27,
    MenuPreviousSecond = 28, ///< the second key of the row above
    MenuNext = 29,
    MenuNextSecond = 30, ///< the second key of the row above
    Pause = 31,
};

constexpr int hotKeyOf(Command c)
{
    return int(c);
}

// What the commands act on. The dispatcher gives the main window's; a test
// may give a recorder.
class CommandTarget
{
public:
    virtual ~CommandTarget() = default;
    virtual void runMenuAction(int code) = 0;
    virtual void openChat(int chatMode) = 0;
    virtual void openEntry(int entryMode) = 0;
    virtual void getAllSoldiers() = 0;
    virtual void sendVoice(int n) = 0;
    virtual void startStopBot() = 0;
    virtual void pause() = 0;
    virtual void toggleGarrisons() = 0;
    virtual void putOnDisguise() = 0;
};

// When the dispatcher tries a command, in the order it tries them.
enum class Scope
{
    Anytime,            ///< unless the keys window is open
    InGame,             ///< during a game, unless the keys window is open
    CommandMode,        ///< during a game with the focus in command mode
    Always,             ///< even while the keys window is open
    AlwaysButNeedsGame, ///< even while the keys window is open, during a game
    Never,              ///< kept and edited, but no key runs it
};

// What a command's press does once the command has run.
enum class Handling
{
    Passes,  ///< the key goes on to the focused control
    Handled, ///< delivery stops
    Ends,    ///< delivery stops and no other command is tried
};

struct CommandInfo
{
    Command command;
    const char* name;
    Binding defaultBinding;
    HotKeyRules rules;
    int label;           ///< the keys window's LabelN beside the control; 0: none of its own
    const char* english; ///< its caption (UTF-8)
    const char* russian;
    Scope scope;
    Handling handling;
    void (*action)(CommandTarget&); ///< null for a command no key runs

    constexpr int hotKey() const { return hotKeyOf(command); }
};

// Every command, in the order the dispatcher tries them.
std::span<const CommandInfo> commandTable();

// The command of hot-key control n; null outside 1 .. 31.
const CommandInfo* commandInfo(int hotKey);
const CommandInfo& commandInfo(Command c);

} // namespace vorlan
