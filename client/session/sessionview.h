#pragma once
// What the session tells the windows. The session keeps the rules and the
// state; a view only shows what it is told and answers a few questions about
// the player's settings. Three parts, so that a window implements the part it
// shows: the frame around everything, the lobby and the game.

#include "menumodel.h"

#include <cstdint>
#include <QString>

namespace vorlan {

class Map;

// The sound effects of game events.
enum class SoundEvent
{
    YourAttack,
    YourAttackFailure,
    MakingPost,
    EnemyAttackFailure,
    YourLoss,
};

// What the status panel shows of the own player: what he carries and what
// lies under him. Filled only once the server has named the own player.
struct Hud
{
    bool known = false;         ///< the own player is known; the texts below are his
    QString yourArmy, yourGold; ///< "120(+5)": a value with its last change
    QString army, gold;         ///< of the block under him, or "------"
    int32_t roundTo = 0;
    int32_t leaveIfMore = 0;
};

// The frame: the logs, messages to the player, sounds, the menu and the
// connection going up and down.
class SessionView
{
public:
    virtual ~SessionView() = default;

    // A line of the system messages, in the language of the session.
    virtual void systemLine(const QString& line) = 0;
    // A line of the game log (already stamped where it needs a time).
    virtual void gameLine(const QString& line) = 0;
    // A message box the player must confirm.
    virtual void warn(const QString& text) = 0;
    virtual void playSound(SoundEvent event) = 0;
    virtual void showMenu(MenuSet set) = 0;

    // The connection is up: the lobby shows.
    virtual void connected() = 0;
    // The connection has ended (or never came up): back to the idle map.
    virtual void disconnected() = 0;
};

// The lobby and the waiting room.
class LobbyView
{
public:
    virtual ~LobbyView() = default;

    virtual void gamesCleared() = 0;
    virtual void gameListed(const QString& gameName) = 0;
    virtual void mapListed(const QString& mapName) = 0;
    virtual void playerJoined(const QString& name) = 0;
    // The map download begins: the music pauses while it comes.
    virtual void mapComing() = 0;
    // The game's map has arrived and is the current map: the waiting room
    // shows (with the speed control for the master).
    virtual void waitingRoom(bool master) = 0;
    // The game's type (0 territory, 1 gold) and length as the server set them.
    virtual void gameSettings(int gameType, int minutes) = 0;
    // Block size chosen in the options, for the new map.
    virtual int blockSize() const = 0;
};

// The game itself.
class GameView
{
public:
    virtual ~GameView() = default;

    virtual void gameStarted(int speed) = 0;
    virtual void ownPlayer(int index) = 0;
    // A block changed (its army, gold or owner, or a cursor left it).
    virtual void blockChanged(int x, int y) = 0;
    // The own cursor, drawn over whatever lies beneath.
    virtual void cursorChanged() = 0;
    virtual void playersChanged() = 0;
    virtual void totalsChanged() = 0;
    virtual void showHud(const Hud& hud) = 0;
    virtual void armyChanged(int player, int32_t change) = 0;
    // Minutes left, as digits without leading zeros; "0" is the end of the
    // game's time.
    virtual void timeLeft(const QString& minutes) = 0;
    virtual void pausedChanged(bool paused) = 0;
    // Everybody has the game's state: the music goes on.
    virtual void synced() = 0;
    // A voice line came (its number as sent); returns whether it was played,
    // else it is logged.
    virtual bool voice(const QString& number) = 0;
    // The game is over; the window works on its own copy of the map.
    virtual void gameOver(const Map& finalMap, int gameType) = 0;
};

} // namespace vorlan
