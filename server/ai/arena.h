#pragma once
// Whole games between agents in one process, as fast as the machine goes: a
// Game constructed directly, each seat fed its bytes and its orders through
// SeatOrders, steps driven in a loop (no sockets, no timers). The results are
// ranked as the client's results window ranks them.

#include "agent.h"

#include <array>
#include <functional>
#include <memory>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace vorlan {
class Game;
}

namespace vorlan::ai {

class SeatOrders;

// "easy", "normal", "hard", "random" or "plugin:PATH". Null and *error set
// for anything else.
std::unique_ptr<Agent> makeAgent(const QString& spec, uint32_t seed, QString* error);

struct ArenaMap
{
    QString name;
    QByteArray file;
};

struct ArenaSettings
{
    std::vector<ArenaMap> maps; ///< game g is played on maps[g % size]
    QStringList players;        ///< agent specs, seated in turn round the start positions
    int games = 1;
    uint32_t seed = 1;
    int speed = 4;
    int minutes = 3;
    int gameType = 0; ///< 0 territory, 1 gold
};

struct SeatOutcome
{
    int player = 0; ///< index into ArenaSettings::players
    int seat = 0;
    int place = 0; ///< 1 = first in the game type's ranking
    int blocks = 0;
    int gold = 0;
    int army = 0;
    int killed = 0;
};

struct GameOutcome
{
    QString map;
    int steps = 0;
    std::vector<SeatOutcome> seats; ///< by finishing place
};

struct PlayerTotals
{
    QString spec;
    int games = 0;
    int wins = 0;
    int64_t blocks = 0;
    int64_t gold = 0;
    int64_t placeSum = 0;
    std::array<int, 8> places{}; ///< how often each place was reached
};

// One game in progress between agents: seated, started and synced at
// construction; each round() lets every agent hear its bytes and act, in an
// order that turns with the steps, then runs one server step.
class ArenaGame
{
public:
    using Report = std::function<void(int player, const QString& line)>;

    // Of the first N start positions (N players), player i takes
    // (i + rotation) % N.
    ArenaGame(const ArenaMap& map, std::vector<std::unique_ptr<Agent>> agents, int rotation,
              int speed, int gameType, int minutes, Report report = {});
    ~ArenaGame();

    bool running() const;
    void round();
    // Rounds until the game is over; every agent hears the end.
    void playOut();

    Game& game() { return *game_; }
    Agent& agent(int i) { return *agents_[size_t(i)]; }
    int seat(int i) const { return seats_[size_t(i)]; }
    int players() const { return int(agents_.size()); }

private:
    void hear(int i);

    std::array<QByteArray, 8> inbox_;
    std::unique_ptr<Game> game_;
    std::vector<std::unique_ptr<Agent>> agents_;
    std::vector<int> seats_;
    std::vector<std::unique_ptr<SeatOrders>> orders_;
    std::vector<bool> cutOff_;
    Report report_;
};

class Arena
{
public:
    using Report = std::function<void(const QString& line)>;

    // report gets each agent's own remarks (a plug-in that cannot play), once.
    explicit Arena(ArenaSettings settings, Report report = {});

    // Empty when the settings can be played, else why not.
    QString check() const;

    // Plays game `index` (0-based) and adds it to the totals; nothing while
    // check() has an objection.
    GameOutcome play(int index);

    const std::vector<PlayerTotals>& totals() const { return totals_; }
    QString table() const;

private:
    ArenaSettings settings_;
    Report report_;
    std::vector<PlayerTotals> totals_;
    int played_ = 0;
    QStringList reported_;
};

} // namespace vorlan::ai
