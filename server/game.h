#pragma once
// One game on the server: its map, its seats and every rule of play. No
// sockets and no timers: the lobby (GameServer) feeds it orders and steps,
// and it hands each outgoing message to a Send function with the index of
// the player it is for. The rules are described in docs/server-rules.md.

#include "map.h"
#include "messages.h"
#include "wire.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <QByteArray>
#include <QString>

namespace vorlan {

constexpr int kMaxSeats = kMaxOwners;                                   ///< players per game
constexpr std::array<int, 5> kStepIntervalMs{1100, 700, 500, 350, 100}; ///< by speed 0..4
constexpr int kGrowthEverySteps = 10; ///< one growth step (eventCame) per this many steps
constexpr int kStartGarrison = 10;    ///< soldiers on a player's start block
constexpr int kStartArmy = 50;        ///< soldiers a player carries at the start
constexpr int kStartGold = 100;       ///< gold a player carries at the start
constexpr int kDefaultLeaveIfMore = 1000;
constexpr int kDefaultMinutes = 40;
constexpr int kMaxMinutes = 120;
constexpr int kMaxShownMinutes = 99; ///< the client shows two digits of the minutes left
constexpr int kMinuteMs = 60000;     ///< a game minute, unless the server is told otherwise
constexpr int kMaxNameBytes = kMaxInboundStringBytes;

// Texts the client reacts to; players cannot send them as chat.
inline const QString kTimeLeftText = QStringLiteral("TIME LEFT:");
inline const QString kPausedText = QStringLiteral("GAME PAUSED");
inline const QString kUnpausedText = QStringLiteral("GAME UNPAUSED");
inline const QString kSyncedText =
    QStringLiteral("Now you received all changes. You can start playing.");

// A text as the client will receive it: Windows-1251, at most 127 bytes.
QString clientText(const QString& text);

class Game
{
public:
    enum class State
    {
        Waiting,
        Running,
        Over,
    };
    using Send = std::function<void(int player, const QByteArray& message)>;
    using Log = std::function<void(const QString& line)>;

    // map must have loaded (GameServer checks the file before).
    Game(int number, const QString& name, const QString& mapName, const QByteArray& mapFile,
         Send send, Log log = {});

    int number() const { return number_; }
    const QString& name() const { return name_; }
    const QString& mapName() const { return mapName_; }
    const QByteArray& mapFile() const { return mapFile_; }
    const Map& map() const { return map_; }
    // For setting up a situation before or during play (tests, scenarios);
    // changes made here are not sent to anybody.
    Map& editMap() { return map_; }
    State state() const { return state_; }
    bool paused() const { return map_.paused; }
    int speed() const { return speed_; }
    int intervalMs() const { return kStepIntervalMs[speed_]; }
    char gameType() const { return type_; }
    int minutes() const { return minutes_; }
    int stepNumber() const { return step_; }
    int64_t playedMs() const { return playedMs_; }
    GameInfo info() const;

    // Seats: a map with N start positions has N seats (at most 8).
    int capacity() const { return capacity_; }
    bool seatTaken(int i) const { return valid(i) && seats_[i].taken; }
    bool connected(int i) const { return seatTaken(i) && seats_[i].connected; }
    bool synced(int i) const { return connected(i) && seats_[i].synced; }
    int connectedCount() const;

    // Waiting games only. The seat is the emblem when it is free and inside
    // the map's start positions, else the first free seat; -1 when full.
    int addPlayer(const QString& name, int emblem);

    // A player's connection is gone. While waiting the seat is freed; in a
    // running game the record and the blocks stay.
    void leave(int player);

    // Starts a waiting game. Refused for a speed outside 0..4, a type other
    // than '0' / '1' or minutes outside 1..120 (validSettings).
    bool start(int speed, char type, int minutes);
    static bool validSettings(int speed, char type, int minutes);

    // How long a game minute lasts in played milliseconds (default one real
    // minute): the clock sent to the clients, the minutes left and the end
    // of the game follow it. Set before the start; at least 1.
    void setMinuteMs(int ms) { minuteMs_ = std::max(1, ms); }
    int minuteMs() const { return minuteMs_; }

    // The player has acknowledged gameStart: send him the whole game and
    // from now on every change.
    void sync(int player);

    // One server step: the step number, growth every kGrowthEverySteps,
    // market matching, the minutes left and the end of the game.
    void step();

    void order(int player, const Step& step);
    void market(int player, const Market& market);
    void chat(int player, const Chat& chat);
    void togglePause(int player);

    // Ends the game now: "TIME LEFT:0" and gameOver to everybody connected.
    void finish();

private:
    struct Seat
    {
        bool taken = false;
        bool connected = false;
        bool synced = false;
        int32_t price = 0; ///< of the standing market offer
    };

    bool valid(int i) const { return i >= 0 && i < capacity_; }
    bool playing(int player, const char* what);
    void log(const QString& line) const;
    void sendTo(int player, const QByteArray& m);
    void sendSynced(const QByteArray& m);
    void sendConnected(const QByteArray& m);
    void sendCell(int x, int y);
    void sendPlayer(int i);
    void sendArmyChange(int player, int32_t change);
    void sendTimeLeft(int player);
    int minutesLeft() const;

    void move(int player, int dx, int dy);
    void attack(int player, int x, int y);
    void leaveSurplus(int player);
    void cityJump(int player, int direction);
    void putOrGet(int player, char code, int32_t amount);
    void matchMarket();

    int number_;
    QString name_, mapName_;
    QByteArray mapFile_;
    Map map_;
    Send send_;
    Log log_;
    int capacity_ = 0;
    std::array<Seat, kMaxSeats> seats_{};
    State state_ = State::Waiting;
    int speed_ = 2;
    char type_ = '0';
    int minutes_ = kDefaultMinutes;
    int step_ = 0;
    int64_t playedMs_ = 0;
    int announcedMinutes_ = -1;
    int minuteMs_ = kMinuteMs;
};

} // namespace vorlan
