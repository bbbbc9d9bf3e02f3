#include "arena.h"

#include "encoders.h"
#include "game.h"
#include "map.h"
#include "pluginagent.h"
#include "randomwalker.h"
#include "rankings.h"
#include "seatorders.h"

#include <algorithm>
#include <random>

namespace vorlan::ai {

namespace {

const QString kPluginPrefix = QStringLiteral("plugin:");

int seatsOf(const QByteArray& file)
{
    const Map m = Map::fromBytes(file);
    return m.loaded() ? std::clamp(m.playerCount - 1, 0, kMaxSeats) : 0;
}

// Independent seeds for the seats of one game.
uint32_t mixSeed(uint32_t game, uint32_t player)
{
    std::seed_seq seq{game, player};
    uint32_t out = 0;
    seq.generate(&out, &out + 1);
    return out;
}

} // namespace

std::unique_ptr<Agent> makeAgent(const QString& spec, uint32_t seed, QString* error)
{
    Level level;
    if (parseLevel(spec, &level))
        return makeComputerPlayer(level, seed);
    if (spec == QLatin1String("random"))
        return std::make_unique<RandomWalker>(seed);
    if (spec.startsWith(kPluginPrefix) && spec.size() > kPluginPrefix.size())
        return std::make_unique<PluginAgent>(spec.mid(kPluginPrefix.size()));
    if (error)
        *error = QStringLiteral("unknown player \"%1\" (easy, normal, hard, random or plugin:PATH)")
                     .arg(spec);
    return nullptr;
}

Arena::Arena(ArenaSettings settings, Report report)
    : settings_(std::move(settings)), report_(std::move(report))
{
    for (const QString& spec : settings_.players)
        totals_.push_back({spec});
}

QString Arena::check() const
{
    if (settings_.players.size() < 1)
        return QStringLiteral("no players");
    if (settings_.maps.empty())
        return QStringLiteral("no maps");
    for (const QString& spec : settings_.players) {
        Level level;
        if (!parseLevel(spec, &level) && spec != QLatin1String("random") &&
            !(spec.startsWith(kPluginPrefix) && spec.size() > kPluginPrefix.size()))
            return QStringLiteral(
                       "unknown player \"%1\" (easy, normal, hard, random or plugin:PATH)")
                .arg(spec);
    }
    for (const ArenaMap& m : settings_.maps) {
        QString error;
        if (!Map::fromBytes(m.file, &error).loaded())
            return QStringLiteral("map %1: %2").arg(m.name, error);
        const int seats = seatsOf(m.file);
        if (seats < settings_.players.size())
            return QStringLiteral("map %1 has %2 seats for %3 players")
                .arg(m.name)
                .arg(seats)
                .arg(settings_.players.size());
    }
    if (settings_.speed < 0 || settings_.speed >= int(kStepIntervalMs.size()))
        return QStringLiteral("speed %1 is outside 0..4").arg(settings_.speed);
    if (settings_.minutes < 1 || settings_.minutes > kMaxMinutes)
        return QStringLiteral("%1 minutes is outside 1..%2")
            .arg(settings_.minutes)
            .arg(kMaxMinutes);
    if (settings_.gameType != kTerritoryGame && settings_.gameType != kGoldGame)
        return QStringLiteral("unknown game type");
    return {};
}

ArenaGame::ArenaGame(const ArenaMap& map, std::vector<std::unique_ptr<Agent>> agents, int rotation,
                     int speed, int gameType, int minutes, Report report)
    : agents_(std::move(agents)), report_(std::move(report))
{
    game_ = std::make_unique<Game>(
        0, QStringLiteral("arena"), map.name, map.file,
        [this](int seat, const QByteArray& m) { inbox_[size_t(seat)].append(m); });
    // The first N start positions of a map face each other; the players
    // turn round them.
    const int used = std::max(1, std::min(game_->capacity(), players()));
    for (int i = 0; i < players(); ++i)
        seats_.push_back(
            game_->addPlayer(QStringLiteral("Computer %1").arg(i + 1), (i + rotation) % used));
    game_->start(speed, char(kGameForTerritory + gameType), minutes);
    // What a client is sent before the start, then the whole game.
    const QByteArray before = toClient::mapBegin() + toClient::mapData({map.file}) +
                              toClient::gameInfo(game_->info()) + toClient::gameStart({speed});
    for (int i = 0; i < players(); ++i) {
        agents_[size_t(i)]->receive(before);
        game_->sync(seats_[size_t(i)]);
        orders_.push_back(std::make_unique<SeatOrders>(*game_, seats_[size_t(i)]));
        cutOff_.push_back(false);
    }
}

ArenaGame::~ArenaGame() = default;

bool ArenaGame::running() const
{
    return game_->state() == Game::State::Running;
}

void ArenaGame::hear(int i)
{
    QByteArray& bytes = inbox_[size_t(seats_[size_t(i)])];
    if (!bytes.isEmpty()) {
        agents_[size_t(i)]->receive(bytes);
        bytes.clear();
    }
}

void ArenaGame::round()
{
    const int n = players();
    const int offset = game_->stepNumber() % n; // nobody always moves first
    for (int k = 0; k < n; ++k) {
        const int i = (k + offset) % n;
        hear(i);
        Agent& agent = *agents_[size_t(i)];
        const QByteArray bytes = agent.act();
        if (!cutOff_[size_t(i)] && !orders_[size_t(i)]->deliver(bytes)) {
            // Like a client that sent garbage: disconnected, blocks stay.
            cutOff_[size_t(i)] = true;
            game_->leave(seats_[size_t(i)]);
            if (report_)
                report_(i, QStringLiteral("sent malformed bytes and was cut off"));
        }
        if (const QString line = agent.report(); !line.isEmpty() && report_)
            report_(i, line);
    }
    game_->step();
}

void ArenaGame::playOut()
{
    while (running())
        round();
    for (int i = 0; i < players(); ++i)
        hear(i);
}

GameOutcome Arena::play(int index)
{
    if (!check().isEmpty())
        return {};
    const ArenaMap& arenaMap = settings_.maps[size_t(index) % settings_.maps.size()];
    const int n = int(settings_.players.size());
    const uint32_t gameSeed = settings_.seed * 1000003u + uint32_t(index) * 7919u;
    std::vector<std::unique_ptr<Agent>> agents;
    for (int i = 0; i < n; ++i)
        agents.push_back(makeAgent(settings_.players[i], mixSeed(gameSeed, uint32_t(i)), nullptr));
    // Players take turns round the start positions each time a map comes
    // round again, so that no one keeps the better corner of a map.
    ArenaGame arena(
        arenaMap, std::move(agents), index / int(settings_.maps.size()), settings_.speed,
        settings_.gameType, settings_.minutes, [&](int i, const QString& line) {
            const QString text = QStringLiteral("%1: %2").arg(settings_.players[i], line);
            if (!reported_.contains(text) && report_) {
                reported_ << text;
                report_(text);
            }
        });
    arena.playOut();
    Game& game = arena.game();
    std::vector<int> seats;
    for (int i = 0; i < n; ++i)
        seats.push_back(arena.seat(i));
    Map final = game.map();
    refreshTotals(final);
    GameOutcome outcome{arenaMap.name, game.stepNumber(), {}};
    const std::vector<int> order = finishingOrder(final, settings_.gameType);
    for (size_t place = 0; place < order.size(); ++place) {
        const int seat = order[place];
        const auto it = std::find(seats.begin(), seats.end(), seat);
        if (it == seats.end())
            continue;
        const Player& p = final.players[size_t(seat)];
        SeatOutcome s{int(it - seats.begin()),
                      seat,
                      int(place) + 1,
                      p.blocks,
                      p.goldTotal,
                      p.armyTotal,
                      p.killedTotal};
        outcome.seats.push_back(s);
        PlayerTotals& t = totals_[size_t(s.player)];
        ++t.games;
        t.wins += s.place == 1 ? 1 : 0;
        t.blocks += s.blocks;
        t.gold += s.gold;
        t.placeSum += s.place;
        ++t.places[size_t(std::min(s.place, 8) - 1)];
    }
    ++played_;
    return outcome;
}

QString Arena::table() const
{
    QStringList maps;
    for (const ArenaMap& m : settings_.maps)
        maps << m.name;
    QString out = QStringLiteral("%1 game(s) on %2, speed %3, %4 min, %5 ranking\n")
                      .arg(played_)
                      .arg(maps.join(QStringLiteral(", ")))
                      .arg(settings_.speed)
                      .arg(settings_.minutes)
                      .arg(settings_.gameType == kGoldGame ? QStringLiteral("gold")
                                                           : QStringLiteral("territory"));
    out += QStringLiteral(
        "  # player               games   wins   win%  blocks     gold  place  places\n");
    for (size_t i = 0; i < totals_.size(); ++i) {
        const PlayerTotals& t = totals_[i];
        const double g = std::max(1, t.games);
        QStringList places;
        for (int p = 0; p < int(settings_.players.size()) && p < 8; ++p)
            places << QString::number(t.places[size_t(p)]);
        out += QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8  %9\n")
                   .arg(i + 1, 3)
                   .arg(t.spec.left(20), -20)
                   .arg(t.games, 5)
                   .arg(t.wins, 6)
                   .arg(100.0 * t.wins / g, 6, 'f', 1)
                   .arg(t.blocks / g, 7, 'f', 1)
                   .arg(t.gold / g, 8, 'f', 0)
                   .arg(t.placeSum / g, 6, 'f', 2)
                   .arg(places.join(QLatin1Char('/')));
    }
    return out;
}

} // namespace vorlan::ai
