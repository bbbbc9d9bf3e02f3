// The bot's two costs: planning at the first call on the largest map, and
// one later call while it walks its route.
#include "botcontract.h"
#include "botview.h"
#include "map.h"
#include "planner.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <new>
#include <QLibrary>

namespace {

// 40 x 40, all own (player 0) with a city every sixth block in both
// directions; the player starts in the top-left corner.
vorlan::Map fullMap()
{
    QByteArray b;
    b.append(char(40)).append(char(40)).append(char(0));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            b.append(char(x % 6 == 2 && y % 6 == 2 ? vorlan::kCity : 0));
    vorlan::Map m = vorlan::Map::fromBytes(b);
    m.myIndex = 0;
    m.players[0].x = 0;
    m.players[0].y = 0;
    return m;
}

BotParams paramsOf(const vorlan::Map& m)
{
    return {m.myIndex, m.width, m.height, m.playerCount};
}

// The server's part for the moves, so that the player walks the route.
void carryOut(vorlan::Map& m, const BotCommand* c)
{
    if (!c)
        return;
    vorlan::Player& me = *m.me();
    int x = me.x + (c->letter == 'R') - (c->letter == 'L');
    int y = me.y + (c->letter == 'D') - (c->letter == 'U');
    if (m.contains(x, y)) {
        me.x = x;
        me.y = y;
    }
}

void BM_PlanFullMap(benchmark::State& state)
{
    vorlan::Map m = fullMap();
    vorlan::setBotMap(&m);
    const BotParams params = paramsOf(m);
    auto planner = std::make_unique<dirud::Planner>();
    for (auto _ : state) {
        state.PauseTiming();
        planner->~Planner();
        new (planner.get()) dirud::Planner(); // as freshly loaded
        state.ResumeTiming();
        benchmark::DoNotOptimize(planner->enter(vorlan::cellInfo, vorlan::myRecord, &params));
    }
    vorlan::setBotMap(nullptr);
}
BENCHMARK(BM_PlanFullMap)->Unit(benchmark::kMicrosecond);

void BM_PlanFullMapThroughLibrary(benchmark::State& state)
{
    vorlan::Map m = fullMap();
    vorlan::setBotMap(&m);
    const BotParams params = paramsOf(m);
    QLibrary lib(QStringLiteral(DIRUD_PATH));
    for (auto _ : state) {
        state.PauseTiming();
        lib.load(); // a fresh copy plans afresh
        const auto enter = reinterpret_cast<BotEnterFunc>(lib.resolve(BOT_ENTRY_NAME));
        if (!enter) {
            state.SkipWithError("libdirud.so not loadable");
            break;
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(enter(vorlan::cellInfo, vorlan::myRecord, &params));
        state.PauseTiming();
        lib.unload();
        state.ResumeTiming();
    }
    vorlan::setBotMap(nullptr);
}
BENCHMARK(BM_PlanFullMapThroughLibrary)->Unit(benchmark::kMicrosecond);

void BM_StepCallThroughLibrary(benchmark::State& state)
{
    vorlan::Map m = fullMap();
    vorlan::setBotMap(&m);
    const BotParams params = paramsOf(m);
    QLibrary lib(QStringLiteral(DIRUD_PATH));
    const auto enter = reinterpret_cast<BotEnterFunc>(lib.resolve(BOT_ENTRY_NAME));
    if (!enter) {
        state.SkipWithError("libdirud.so not loadable");
        return;
    }
    for (int i = 0; i < 3; ++i) // planning and the three opening answers
        enter(vorlan::cellInfo, vorlan::myRecord, &params);
    for (auto _ : state) {
        const BotCommand* c = enter(vorlan::cellInfo, vorlan::myRecord, &params);
        benchmark::DoNotOptimize(c);
        carryOut(m, c);
    }
    lib.unload();
    vorlan::setBotMap(nullptr);
}
BENCHMARK(BM_StepCallThroughLibrary);

} // namespace

BENCHMARK_MAIN();
