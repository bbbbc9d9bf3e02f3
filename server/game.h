#pragma once
// One game on the server: its map, its seats and every rule of play. No
// sockets and no timers: the lobby (GameServer) feeds it orders and steps,
// and it hands each outgoing message to a Send function with the index of
// the player it is for. The rules are described in docs/server-rules.md.

#include "map.h"
#include "messages.h"
#include "rules.h"
#include "wire.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <QByteArray>
#include <QString>

namespace vorlan {

constexpr int kMaxSeats = kMaxOwners; ///< players per game
constexpr int kGrowthEverySteps = 10; ///< one growth step (eventCame) per this many steps
constexpr int kStartGarrison = 10;    ///< soldiers on a player's start block
constexpr int kStartArmy = 50;        ///< soldiers a player carries at the start
constexpr int kStartGold = 100;       ///< gold a player carries at the start
constexpr int kDefaultLeaveIfMore = 1000;
constexpr int kDefaultMinutes = kDefaultGameMinutes;
constexpr int kMaxMinutes = kMaxGameMinutes;
constexpr int kMaxShownMinutes = 99; ///< the client shows two digits of the minutes left
constexpr int kMinuteMs = 60000;     ///< a game minute, unless the server is told otherwise
constexpr int kMaxNameBytes = kMaxInboundStringBytes;
constexpr int kMaxMarketOrdersPerStep = 2; ///< per player; more in one step are dropped

// A line of the server's own (refusals, gift lines) that may hold client
// text: as clientText, changed so that no client takes it for a control text.
QString serverText(const QString& text);

// Whether the text contains one of the control texts above (a client acts on
// "TIME LEFT:" anywhere in a line).
bool containsControlText(const QString& text);

// A chat line that may be passed on: it begins with the sender's name and
// ":" (and holds no "TIME LEFT:"), or it is exactly "voice:" and 1 to 3
// digits.
bool honestChatLine(const QString& text, const QString& name);

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

    // One order per player per step: an order arriving after the player's
    // order of this step was applied waits for the next step, one deep (a
    // later one replaces it).
    void order(int player, const Step& step);
    bool hasWaitingOrder(int player) const { return valid(player) && seats_[player].waiting; }
    void market(int player, const Market& market);
    void chat(int player, const Chat& chat);
    void togglePause(int player);

    // Where "ignored" lines go (orders that make no sense now, rate-limited
    // by the lobby); without it they go to the log with the rest.
    using Ignored = std::function<void(int player, const QString& line)>;
    void setIgnoredLog(Ignored ignored) { ignored_ = std::move(ignored); }

    // Ends the game now: "TIME LEFT:0" and gameOver to everybody connected.
    void finish();

private:
    struct Seat
    {
        bool taken = false;
        bool connected = false;
        bool synced = false;
        int32_t price = 0;           ///< of the standing market offer
        bool ordered = false;        ///< an order was applied in this step
        std::optional<Step> waiting; ///< the order for the next step
        int marketOrders = 0;        ///< in this step
    };

    bool valid(int i) const { return i >= 0 && i < capacity_; }
    bool playing(int player, const char* what);
    void log(const QString& line) const;
    void ignore(int player, const QString& line) const;
    void apply(int player, const Step& step);
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
    Ignored ignored_;
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
