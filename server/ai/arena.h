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

namespace vorlan::ai {

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

class Arena
{
public:
    using Report = std::function<void(const QString& line)>;

    // report gets each agent's own remarks (a plug-in that cannot play), once.
    explicit Arena(ArenaSettings settings, Report report = {});

    // Empty when the settings can be played, else why not.
    QString check() const;

    // Plays game `index` (0-based) and adds it to the totals.
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
