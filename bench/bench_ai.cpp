// The computer players' costs: one decision on the 40 x 40 warfield in the
// middle of an 8-player game, and whole arena steps of such a game.
#include "arena.h"
#include "computer.h"
#include "game.h"

#include <benchmark/benchmark.h>
#include <QFile>

namespace {

using namespace vorlan::ai;

ArenaMap warfield()
{
    QFile f(QStringLiteral(VORLAN_MAPS_DIR "/warfield.map"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return {QStringLiteral("warfield"), f.readAll()};
}

std::vector<std::unique_ptr<Agent>> computers(Level level, int n)
{
    std::vector<std::unique_ptr<Agent>> agents;
    for (int i = 0; i < n; ++i)
        agents.push_back(std::make_unique<ComputerPlayer>(styleOf(level), uint32_t(i + 1)));
    return agents;
}

// One decision of the player with the most blocks after 600 steps of an
// 8-player game of its level.
void BM_Decision(benchmark::State& state)
{
    const Level level = Level(state.range(0));
    ArenaGame game(warfield(), computers(level, 8), 0, 4, 0, 10);
    for (int i = 0; i < 600 && game.running(); ++i)
        game.round();
    int best = 0, bestBlocks = -1;
    for (int i = 0; i < game.players(); ++i) {
        int blocks = 0;
        for (int x = 0; x < game.game().map().width; ++x)
            for (int y = 0; y < game.game().map().height; ++y)
                blocks += game.game().map().cell(x, y).kind == game.seat(i);
        if (blocks > bestBlocks) {
            best = i;
            bestBlocks = blocks;
        }
    }
    auto& me = static_cast<ComputerPlayer&>(game.agent(best));
    const auto order = me.decide();
    const vorlan::Player& p = *me.view().me();
    state.SetLabel(QStringLiteral("%1, %2 blocks, army %3 at %4,%5, order %6")
                       .arg(levelName(level))
                       .arg(bestBlocks)
                       .arg(p.army)
                       .arg(p.x)
                       .arg(p.y)
                       .arg(order ? QChar(order->subCode) : QChar('-'))
                       .toStdString());
    for (auto _ : state)
        benchmark::DoNotOptimize(me.decide());
}
BENCHMARK(BM_Decision)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// Steps per second of an 8-player warfield game between hard players (one
// game minute at speed 4: 600 steps).
void BM_ArenaSteps(benchmark::State& state)
{
    const ArenaMap map = warfield();
    int64_t steps = 0;
    for (auto _ : state) {
        ArenaGame game(map, computers(Level::Hard, 8), 0, 4, 0, 1);
        game.playOut();
        steps += game.game().stepNumber();
    }
    state.counters["steps/s"] = benchmark::Counter(double(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ArenaSteps)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
