// The built libdirud.so loaded through QLibrary and called exactly as the
// client calls it, with the client's cellInfo and myRecord over a Map.
//
// Coordinates in comments are the bot's 1-based (X, Y): X = column + 1.
// Maps built by makeMap give every own and neutral block 1 soldier, and the
// table stands in for the server by carrying out the moves only.
#include "botdriver.h"
#include "botview.h"
#include "planner.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

using bottest::DirudLibrary;
using bottest::makeMap;
using bottest::Table;
using Calls = std::vector<std::string>;

namespace {

const std::vector<std::string> kSquare = {"000", "000", "000"};

// Its route (worked out in the planner tests):
//  3:(1,1) 4:(1,2) 5:(1,2) 6:(1,3) 7:(2,3) 8:(3,3) 9:(3,2) 10:(2,2)
//  11:(2,1) 12:(3,1) 13:(3,2) 14:(2,2) 15:(1,2) 16:(1,1) 17:end
// The only region keeps garrisons and ends with remaining -2, so the army
// rule holds everywhere; no city is near, so with 1 soldier on each block
// and nothing carried every step takes that soldier: "G 1".

class LoadedDirud : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(lib.load()) << lib.errorString().toStdString(); }
    DirudLibrary lib;
};

} // namespace

TEST_F(LoadedDirud, ExportsOnlyTheContractEntry)
{
    EXPECT_NE(lib.entryPoint(), nullptr);
    EXPECT_EQ(lib.resolve("DirudEnter"), nullptr);
    // The planner inside stays hidden.
    EXPECT_EQ(lib.resolve("_ZN5dirud7Planner5enterEPFPK7BotCelliiEPFPK9BotPlayervEPK9BotParams"),
              nullptr);
}

TEST_F(LoadedDirud, NoRegionGivesThreeIdlesThenNothingForEver)
{
    // No block has itself and all four neighbours own.
    Table table(makeMap({"000", "0.0", "000", "0C0"}, 0, 0));
    Calls expected = {"i 0", "i 0", "i 0"};
    expected.resize(40, "-");
    EXPECT_EQ(table.play(lib.entry(), 40), expected);
}

TEST_F(LoadedDirud, WalksTheRouteAndStartsAgainAtItsEntry)
{
    // Standing on the entry (1,1): the walk starts at entry 3.
    Table table(makeMap(kSquare, 0, 0));
    // clang-format off
    const Calls expected = {
        "i 0", "i 0", "i 0",
        "G 1", "D 0", // 3 -> 4
        "G 1",        // 4 -> 5: the same block twice, an army command and no move
        "G 1", "D 0", // 5 -> 6
        "G 1", "R 0", // 6 -> 7
        "G 1", "R 0", // 7 -> 8
        "G 1", "U 0", // 8 -> 9
        "G 1", "L 0", // 9 -> 10
        "G 1", "U 0", // 10 -> 11
        "G 1", "R 0", // 11 -> 12
        "G 1", "D 0", // 12 -> 13
        "G 1", "L 0", // 13 -> 14
        "G 1", "L 0", // 14 -> 15
        "G 1", "U 0", // 15 -> 16: back on the entry, the route closes
        "G 1", "D 0", // 3 -> 4 again
        "G 1",        // 4 -> 5
        "G 1", "D 0", // 5 -> 6
    };
    // clang-format on
    EXPECT_EQ(table.play(lib.entry(), int(expected.size())), expected);
    EXPECT_EQ(table.map.me()->x, 0);
    EXPECT_EQ(table.map.me()->y, 2);
}

TEST_F(LoadedDirud, ArmyRuleComparesTheRouteColumnWithRemaining)
{
    // Region in columns 6..10 (see the planner tests): route 3:(6,1) 4:(6,2)
    // 5:(6,2) 6:(6,1), remaining 5. The rule holds where pathX - 5 > 0: on
    // every entry, since pathX is 6 (the index minus 5 never is above 0).
    Table right(makeMap({".....0000.", ".....0.000", "........0."}, 5, 0));
    EXPECT_EQ(right.play(lib.entry(), 11),
              (Calls{"i 0", "i 0", "i 0", "G 1", "D 0", "G 1", "G 1", "U 0", "G 1", "D 0", "G 1"}));
    ASSERT_TRUE(lib.unload());
    ASSERT_TRUE(lib.load());
    // The same shape in columns 1..5: pathX is 1, 1 - 5 is never above 0, so
    // no army command at all; entry 4 -> 5 gives nothing, hence a null answer.
    Table left(makeMap({"0000.", "0.000", "...0."}, 0, 0));
    EXPECT_EQ(left.play(lib.entry(), 9),
              (Calls{"i 0", "i 0", "i 0", "D 0", "-", "U 0", "D 0", "-", "U 0"}));
}

TEST_F(LoadedDirud, CollectorNextToACityPutsDownOnlyAboveThirtyTwo)
{
    // Region 1 (the right square) collects; its route, from the planner
    // tests: 3:(5,4)city 4:(5,3) 5:(5,3) 6:(6,3) 7:(7,3) ... 15:(5,3)
    // 16:(5,4) 17:end, remaining -3. Standing on (5,3) the walk starts at 15.
    // (5,3) has the city below it; (6,3) has no city around.
    const std::vector<std::string> rows = {"000.000", "000.000", "000.000", "....C.."};
    Table exact(makeMap(rows, 4, 2));
    exact.map.me()->army = 32;
    EXPECT_EQ(exact.play(lib.entry(), 10), (Calls{"i 0", "i 0", "i 0",
                                                  "D 0",        // 15: 32 carried, nothing put down
                                                  "U 0",        // 3: on the city, nothing
                                                  "-",          // 4 -> 5: no move
                                                  "R 0",        // 5
                                                  "G 1", "R 0", // 6: no city around
                                                  "G 1"}));
    ASSERT_TRUE(lib.unload());
    ASSERT_TRUE(lib.load());
    Table more(makeMap(rows, 4, 2));
    more.map.me()->army = 33;
    EXPECT_EQ(more.play(lib.entry(), 11), (Calls{"i 0", "i 0", "i 0", "P 10", "D 0", "U 0", "P 10",
                                                 "P 10", "R 0", "G 1", "R 0"}));
}

TEST_F(LoadedDirud, PlayerOnNoRouteStepsFromEntryZeroOfRegionZero)
{
    // The square with a neutral column beside it; the player stands on the
    // neutral (4,2) and does not move. Entries 0..2 are (0, 0): no move, but
    // 0 - (-2) is above 0, so the garrison rule takes the neutral block's 1
    // soldier. From entry 3 on, region 0's moves are sent from where he stands.
    Table table(makeMap({"000.", "000.", "000."}, 3, 1));
    EXPECT_EQ(table.play(lib.entry(), 13, /*moves=*/false),
              (Calls{"i 0", "i 0", "i 0", "G 1", "G 1", "G 1", // entries 0, 1, 2
                     "G 1", "D 0", "G 1", "G 1", "D 0", "G 1", "R 0"}));
}

TEST_F(LoadedDirud, ReadsArmyAndPositionAtTheirRecordOffsets)
{
    // A raw 88-byte record, zero but for army (offset 8) = 40 and x, y
    // (offsets 20, 24) = 1, 1: the centre (2,2), entries 10 and 14; the walk
    // starts at 14, moving left to (1,2). Carrying more than 32 next to no
    // city on a block with 1 soldier: fill it up to 30.
    static unsigned char record[88];
    std::memset(record, 0, sizeof record);
    const int32_t army = 40, x = 1, y = 1;
    std::memcpy(record + 8, &army, 4);
    std::memcpy(record + 20, &x, 4);
    std::memcpy(record + 24, &y, 4);
    const BotMyRecordFunc rawRecord = [] { return reinterpret_cast<const BotPlayer*>(record); };

    vorlan::Map m = makeMap(kSquare, 2, 2); // the Map's own record is not used
    vorlan::setBotMap(&m);
    const BotParams params = bottest::paramsOf(m);
    Calls calls;
    for (int i = 0; i < 5; ++i)
        calls.push_back(bottest::text(lib.entryPoint()(vorlan::cellInfo, rawRecord, &params)));
    vorlan::setBotMap(nullptr);
    EXPECT_EQ(calls, (Calls{"i 0", "i 0", "i 0", "P 29", "L 0"}));
}

TEST_F(LoadedDirud, FreshLoadPlansAfresh)
{
    Table first(makeMap(kSquare, 0, 0));
    EXPECT_EQ(first.play(lib.entry(), 6), (Calls{"i 0", "i 0", "i 0", "G 1", "D 0", "G 1"}));
    // Loaded, the old plan carries on (the library ignores the new position).
    Table same(makeMap(kSquare, 1, 1));
    EXPECT_EQ(same.play(lib.entry(), 2), (Calls{"G 1", "D 0"}));

    ASSERT_TRUE(lib.unload());
    EXPECT_FALSE(lib.isLoaded());
    ASSERT_TRUE(lib.load());
    // Reloaded: three opening answers again, and a plan from the centre
    // (2,2), last at entry 14, moving left.
    Table again(makeMap(kSquare, 1, 1));
    EXPECT_EQ(again.play(lib.entry(), 5), (Calls{"i 0", "i 0", "i 0", "G 1", "L 0"}));
}

TEST_F(LoadedDirud, CommandStaysValidWhileTheRingTurns)
{
    // The record lies in a ring of 30. After 29 answers at most 30 commands
    // have been queued (a step queues two), so the first is still in place.
    Table table(makeMap(kSquare, 0, 0));
    const BotCommand* first = table.call(lib.entry());
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 28; ++i)
        table.carryOut(table.call(lib.entry()));
    EXPECT_EQ(first->letter, 'i');
    EXPECT_EQ(first->value, 0);
}

namespace {

int ownAround(const vorlan::Map& m, int X, int Y)
{
    int n = 0;
    for (auto [dx, dy] :
         {std::pair(0, 0), std::pair(-1, 0), std::pair(0, -1), std::pair(1, 0), std::pair(0, 1)}) {
        const int x = X - 1 + dx, y = Y - 1 + dy;
        n += m.contains(x, y) && m.cell(x, y).kind == m.myIndex;
    }
    return n;
}

// Random ground with many small own areas, some cities, other players'
// blocks and obstacles; `own` in percent.
vorlan::Map generated(std::mt19937& rng, int w, int h, int own)
{
    std::vector<std::string> rows(h, std::string(w, '.'));
    for (auto& row : rows) {
        for (char& ch : row) {
            const int v = int(rng() % 100);
            if (v < own)
                ch = '0';
            else if (v < own + 6)
                ch = 'C';
            else if (v < own + 12)
                ch = char('1' + rng() % 3);
            else if (v < own + 16)
                ch = '#';
            else if (v < own + 18)
                ch = '$';
        }
    }
    return makeMap(rows, int(rng() % w), int(rng() % h));
}

} // namespace

TEST(DirudGenerated, LargeMapsAgreeWithThePlannerAndKeepToTheirRoutes)
{
    std::mt19937 rng(20240611);
    int mapsWithManyRegions = 0, fullRoutes = 0;
    for (int round = 0; round < 24; ++round) {
        const int w = round < 16 ? 40 : 5 + int(rng() % 36);
        const int h = round < 16 ? 40 : 5 + int(rng() % 36);
        const int own = round % 4 == 0 ? 97 : 40 + int(rng() % 30);
        const vorlan::Map m = generated(rng, w, h, own);
        SCOPED_TRACE("round " + std::to_string(round));

        // The same game through the library and through the planner.
        DirudLibrary lib;
        ASSERT_TRUE(lib.load());
        auto planner = std::make_unique<dirud::Planner>();
        dirud::Planner* p = planner.get();
        Table viaLibrary(m), direct(m);
        const Calls a = viaLibrary.play(lib.entry(), 1500);
        const Calls b =
            direct.play([p](auto x, auto y, auto z) { return p->enter(x, y, z); }, 1500);
        EXPECT_EQ(a, b);
        ASSERT_TRUE(lib.unload());

        ASSERT_LE(p->regionCount(), dirud::kMaxRegions);
        mapsWithManyRegions += p->regionCount() == dirud::kMaxRegions;
        for (int r = 0; r < p->regionCount(); ++r) {
            SCOPED_TRACE("region " + std::to_string(r));
            ASSERT_TRUE(p->hasRoute(r));
            EXPECT_EQ(p->regionMode(r), r == 0 ? dirud::kModeGarrison : dirud::kModeCollect);
            int end = dirud::kFirstRouteEntry;
            while (end < dirud::kRouteEntries && p->routeEntry(r, end).x >= 0)
                ++end;
            ASSERT_LT(end, dirud::kRouteEntries);
            fullRoutes += end == dirud::kRouteEntries - 1;
            const dirud::Point e = p->routeEntry(r, 3);
            EXPECT_EQ(p->routeEntry(r, end - 1), e);
            EXPECT_EQ(p->routeEntry(r, 4), p->routeEntry(r, 5));
            const auto& entryCell = m.cell(e.x - 1, e.y - 1);
            EXPECT_TRUE(entryCell.kind == 0 || entryCell.kind == vorlan::kCity);
            EXPECT_LT(ownAround(m, e.x, e.y), 4);
            for (int s = 3; s < end; ++s) {
                const dirud::Point q = p->routeEntry(r, s);
                ASSERT_TRUE(m.contains(q.x - 1, q.y - 1)) << s;
                const int32_t kind = m.cell(q.x - 1, q.y - 1).kind;
                EXPECT_TRUE(kind == 0 || kind == vorlan::kCity) << s;
                // One block at a time; only a route cut off by its length
                // jumps back to the entry.
                if (s > 3 && !(s == end - 1 && end == dirud::kRouteEntries - 1)) {
                    const dirud::Point o = p->routeEntry(r, s - 1);
                    EXPECT_LE(std::abs(q.x - o.x) + std::abs(q.y - o.y), 1) << s;
                }
            }
        }
    }
    // The generator really produced the cases of interest.
    EXPECT_GT(mapsWithManyRegions, 0);
    EXPECT_GT(fullRoutes, 0);
}
