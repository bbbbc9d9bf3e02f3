// The planner driven directly: routes worked out by hand on small maps, the
// army rule table, and the limits of the planner's arrays.
//
// Coordinates in these tests are the planner's 1-based (X, Y): X = column + 1,
// Y = row + 1, so the map's top-left block is (1, 1). Marks: 0 not in the
// region, 1 city next to it, 2 unwalked, 3+ the route index of the last visit.
#include "botdriver.h"
#include "botview.h"
#include "planner.h"

#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using namespace dirud;
using bottest::makeMap;
using bottest::Table;

namespace dirud {
void PrintTo(const Point& p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}
} // namespace dirud

namespace {

constexpr Point kEnd = {-1, -1};

// A planner after its first call on the table's map.
std::unique_ptr<Planner> planOn(Table& table)
{
    auto planner = std::make_unique<Planner>();
    Planner* p = planner.get();
    table.call([p](auto a, auto b, auto c) { return p->enter(a, b, c); });
    return planner;
}

// Route entries from 3 up to and including the terminator.
std::vector<Point> route(const Planner& p, int region)
{
    std::vector<Point> r;
    for (int s = kFirstRouteEntry; s < kRouteEntries; ++s) {
        r.push_back(p.routeEntry(region, s));
        if (r.back().x < 0)
            break;
    }
    return r;
}

std::string describe(const std::optional<BotCommand>& c)
{
    return c ? bottest::text(&*c) : "-";
}

BotCell block(int32_t army, int32_t kind)
{
    return {army, 0, kind};
}

// The 3 x 3 square of own blocks, worked through by hand.
//
// Regions: only (2,2) has itself and four neighbours own: one region of 9
// blocks, remaining 9, no cities. Entry: no mark 1; first mark 2 in scan
// order (X outer, Y inner) with fewer than 4 own around is (1,1) (3 own).
// First block: (1,0) is not marked, (1,2) is 2, so C = (1,2).
// 3:(1,1) rem 8; 4:(1,2) rem 7, mark(1,2) = 3; P = (1,1).
// Walk steps (d = last move; e0 right turn, e1 straight, e2 left, e3 back):
//  step 5, C(1,2) d down: e0 (0,2)=0, e1 (1,3)=2 best; left pref: (2,2)=2
//     but (3,2)=2 is not above 2. Append 5:(1,2) (mark 3: rem stays 7).
//  step 6, C(1,3) down: e1 (1,4)=0, e2 (2,3)=2 best. 6:(1,3) rem 6.
//  step 7, C(2,3) right: e0 (2,4)=0, e1 (3,3)=2; (2,2)=2, (2,1)=2: no
//     preference. 7:(2,3) rem 5.
//  step 8, C(3,3) right: e1 (4,3)=0, e2 (3,2)=2. 8:(3,3) rem 4.
//  step 9, C(3,2) up: e1 (3,1)=2 best; left (2,2)=2 and (1,2)=5 > 2, so
//     the left turn wins. 9:(3,2) rem 3.
//  step 10, C(2,2) left: e0 (2,1)=2. 10:(2,2) rem 2.
//  step 11, C(2,1) up: e0 (3,1)=2. 11:(2,1) rem 1.
//  step 12, C(3,1) right: e0 (3,2)=9, e2 (3,0)=0, e3 (2,1)=11: best (3,2).
//     12:(3,1) rem 0: the sweep ends with C = (3,2).
// Return walk to E (1,1), step 13: from (3,2) left to (2,2) (13:(3,2),
// mark 14), left to (1,2) (14:(2,2), mark 15), then sx = 0, up to (1,1)
// (15:(1,2), mark 16). Then 16:(1,1) rem -1, 17:end rem -2.
const std::vector<std::string> kSquare = {"000", "000", "000"};
const std::vector<Point> kSquareRoute = {{1, 1}, {1, 2}, {1, 2}, {1, 3}, {2, 3},
                                         {3, 3}, {3, 2}, {2, 2}, {2, 1}, {3, 1},
                                         {3, 2}, {2, 2}, {1, 2}, {1, 1}, kEnd};

} // namespace

TEST(ArmyRule, CollectingRegion)
{
    // No city around: take every soldier of the block, whatever is carried.
    EXPECT_EQ(describe(armyCommand(kModeCollect, 0, block(7, 0), 100)), "G 7");
    EXPECT_EQ(describe(armyCommand(kModeCollect, 0, block(0, 0), 0)), "G 0");
    // Next to a city, off the city: put down 10 only when carrying more than 32.
    EXPECT_EQ(describe(armyCommand(kModeCollect, 1, block(7, 0), 33)), "P 10");
    EXPECT_EQ(describe(armyCommand(kModeCollect, 1, block(7, 0), 32)), "-");
    // On the city itself: nothing.
    EXPECT_EQ(describe(armyCommand(kModeCollect, 2, block(7, kCityKind), 50)), "-");
}

TEST(ArmyRule, GarrisonKeepingRegion)
{
    // No city around, below 28: fill up to 30 when carrying more than 32, else take all.
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 0, block(27, 0), 33)), "P 3");
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 0, block(1, 0), 40)), "P 29");
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 0, block(27, 0), 32)), "G 27");
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 0, block(0, 0), 0)), "G 0");
    // 28 to 30: leave it.
    for (int32_t army : {28, 29, 30}) {
        EXPECT_EQ(describe(armyCommand(kModeGarrison, 0, block(army, 0), 0)), "-") << army;
        EXPECT_EQ(describe(armyCommand(kModeGarrison, 0, block(army, 0), 99)), "-") << army;
    }
    // Above 30: keep 30.
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 0, block(31, 0), 0)), "G 1");
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 0, block(75, 0), 50)), "G 45");
    // Next to a city, below 100: put down everything carried, even nothing.
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 1, block(99, 0), 17)), "P 17");
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 3, block(5, 0), 0)), "P 0");
    // Next to a city, 100 or more: keep 42 in hand.
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 1, block(100, 0), 43)), "P 1");
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 1, block(250, 0), 42)), "-");
    // On the city itself: nothing.
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 1, block(5, kCityKind), 50)), "-");
    EXPECT_EQ(describe(armyCommand(kModeGarrison, 1, block(150, kCityKind), 90)), "-");
}

TEST(ArmyRule, RegionWithoutModeDoesNothing)
{
    EXPECT_EQ(describe(armyCommand(kModeNone, 0, block(5, 0), 50)), "-");
    EXPECT_EQ(describe(armyCommand(kModeNone, 1, block(5, 0), 50)), "-");
    EXPECT_EQ(describe(armyCommand(7, 0, block(5, 0), 50)), "-");
}

TEST(PlannerRoute, SweepsASquareAndWalksBackToItsEntry)
{
    Table table(makeMap(kSquare, 0, 0));
    const auto p = planOn(table);
    ASSERT_EQ(p->regionCount(), 1);
    EXPECT_EQ(route(*p, 0), kSquareRoute);
    EXPECT_EQ(p->regionRemaining(0), -2);
    EXPECT_EQ(p->regionMode(0), kModeGarrison); // the first region keeps garrisons
    EXPECT_EQ(p->returnEnd(0), ReturnEnd::Reached);
    // Marks as the trace above leaves them; the entry itself is never re-marked.
    const int32_t marks[3][3] = {{2, 11, 12}, {16, 15, 14}, {6, 7, 8}}; // [Y-1][X-1]
    for (int Y = 1; Y <= 3; ++Y)
        for (int X = 1; X <= 3; ++X)
            EXPECT_EQ(p->mark(0, X, Y), marks[Y - 1][X - 1]) << X << "," << Y;
    // Unused entries stay (0, 0).
    EXPECT_EQ(p->routeEntry(0, 2), (Point{0, 0}));
    EXPECT_EQ(p->routeEntry(0, 18), (Point{0, 0}));
}

TEST(PlannerRoute, StartSearchKeepsTheLastMatch)
{
    // (2,2) is at 10 and 14, (3,1) only at 12.
    Table centre(makeMap(kSquare, 1, 1));
    const auto p = planOn(centre);
    EXPECT_EQ(p->currentRegion(), 0);
    EXPECT_EQ(p->currentStep(), 14);

    Table corner(makeMap(kSquare, 2, 0));
    EXPECT_EQ(planOn(corner)->currentStep(), 12);
}

TEST(PlannerRoute, PlayerOnTheEntryStartsAtTheRouteBeginning)
{
    // (1,1) matches 3 and the closing entry 16 (just before the end): 16 would
    // walk past the route, so the walk starts at 3.
    Table table(makeMap(kSquare, 0, 0));
    const auto p = planOn(table);
    EXPECT_EQ(p->currentRegion(), 0);
    EXPECT_EQ(p->currentStep(), 3);
}

TEST(PlannerRoute, RegionWithoutCitiesStartsAtItsFirstBorderBlock)
{
    // Own blocks (columns 6..10):   row 1: 6 7 8 9 .
    //                               row 2: 6 . 8 9 10
    //                               row 3: . . . 9 .
    // Only (9,2) has all four neighbours own: one region of 9 blocks. No
    // cities; scanning columns from the left, (6,1) is the first marked block,
    // with 3 own around: E = (6,1). First block: (6,0) no, (6,2) yes.
    // 3:(6,1) rem 8; 4:(6,2) rem 7. Walk step 5 at (6,2), last move down:
    // right turn (5,2), straight (6,3) and left turn (7,2) are not marked;
    // back to (6,1) (mark 2) is the only choice. 5:(6,2), C = E: the sweep
    // ends at once, nothing to walk back. 6:(6,1) rem 6, 7:end rem 5.
    Table table(makeMap({".....0000.", ".....0.000", "........0."}, 5, 0));
    const auto p = planOn(table);
    ASSERT_EQ(p->regionCount(), 1);
    EXPECT_EQ(route(*p, 0), (std::vector<Point>{{6, 1}, {6, 2}, {6, 2}, {6, 1}, kEnd}));
    EXPECT_EQ(p->regionRemaining(0), 5);
    EXPECT_EQ(p->returnEnd(0), ReturnEnd::Reached);
}

TEST(PlannerRoute, CityEntryAndACollectingSecondRegion)
{
    // Two 3 x 3 squares; the city (5,4) touches the right one only.
    // Region 0 (found at (2,2)) is the plain square: the same route as above.
    // Region 1 (found at (6,2)): the city is marked 1 and has one own block
    // around, so E = (5,4); first block (5,3) above it. rem 9 -> 7.
    //  step 5, C(5,3) up: right turn (6,3)=2. 5:(5,3).
    //  step 6, C(6,3) right: straight (7,3)=2; left (6,2)=2, but (6,1)=2 is
    //     not above 2. 6:(6,3) rem 6.
    //  step 7, C(7,3) right: left turn (7,2). 7:(7,3) rem 5.
    //  step 8, C(7,2) up: straight (7,1); (6,2)=2, (5,2)=2: no preference. rem 4.
    //  step 9, C(7,1) up: left turn (6,1). 9:(7,1) rem 3.
    //  step 10, C(6,1) left: straight (5,1)=2, but left (6,2)=2 with (6,3)=6
    //     beyond it: turn left. 10:(6,1) rem 2.
    //  step 11, C(6,2) down: right turn (5,2)=2. 11:(6,2) rem 1.
    //  step 12, C(5,2) left: right turn (5,1)=2. 12:(5,2) rem 0, C = (5,1).
    // Return walk (E straight below): 13:(5,1) rem -1, 14:(5,2), 15:(5,3),
    // reaching (5,4). 16:(5,4) rem -2, 17:end rem -3.
    Table table(makeMap({"000.000", "000.000", "000.000", "....C.."}, 4, 2));
    const auto p = planOn(table);
    ASSERT_EQ(p->regionCount(), 2);
    EXPECT_EQ(route(*p, 0), kSquareRoute);
    EXPECT_EQ(route(*p, 1), (std::vector<Point>{{5, 4},
                                                {5, 3},
                                                {5, 3},
                                                {6, 3},
                                                {7, 3},
                                                {7, 2},
                                                {7, 1},
                                                {6, 1},
                                                {6, 2},
                                                {5, 2},
                                                {5, 1},
                                                {5, 2},
                                                {5, 3},
                                                {5, 4},
                                                kEnd}));
    EXPECT_EQ(p->mark(1, 5, 4), kCityMark);
    EXPECT_EQ(p->mark(0, 5, 4), kNoMark);
    EXPECT_EQ(p->regionRemaining(1), -3);
    EXPECT_EQ(p->regionMode(0), kModeGarrison);
    EXPECT_EQ(p->regionMode(1), kModeCollect);
    // The player on (5,3): entries 4, 5 and 15 of region 1; the last one wins.
    EXPECT_EQ(p->currentRegion(), 1);
    EXPECT_EQ(p->currentStep(), 15);
}

TEST(PlannerReturn, StuckWalkFinishesAlongTheShortestPath)
{
    // Map (X across, Y down):  Y1: 0 0 . 0 C
    //                          Y2: . 0 . 0 .
    //                          Y3: C . 0 0 0
    //                          Y4: C 0 . 0 .
    // Region from (4,3): (4,1) (4,2) (3,3) (4,3) (5,3) (4,4), 6 blocks; the
    // city (5,1) touches (4,1): E = (5,1) (1 own around), first block (4,1).
    // 3:(5,1) rem 5, 4:(4,1) rem 4.
    //  step 5, C(4,1) left: only the left turn (4,2). step 6, C(4,2) down:
    //  straight (4,3). step 7, C(4,3) down: right turn (3,3). step 8, C(3,3)
    //  left: only back (4,3)=7. step 9, C(4,3) right: right turn (4,4)=2.
    //  step 10, C(4,4) down: only back (4,3)=9. rem 0 after 10:(4,4).
    // Return walk from (4,3), step 11: sx = 1, (5,3) allowed: 11:(4,3).
    // At (5,3): sx = 0, sy = -1; (5,2) and (5,4) are not marked: stuck.
    // Breadth first from (5,3) (left, up, right, down): (4,3); then (3,3),
    // (4,2), (4,4); from (4,2) up to (4,1); from (4,1) right to E. So
    // 12:(5,3) 13:(4,3) 14:(4,2) 15:(4,1), then 16:(5,1) and the end.
    Table table(makeMap({"00.0C", ".0.0.", "C.000", "C0.0."}, 4, 0));
    const auto p = planOn(table);
    ASSERT_EQ(p->regionCount(), 1);
    EXPECT_EQ(p->returnEnd(0), ReturnEnd::Stuck);
    EXPECT_EQ(route(*p, 0), (std::vector<Point>{{5, 1},
                                                {4, 1},
                                                {4, 1},
                                                {4, 2},
                                                {4, 3},
                                                {3, 3},
                                                {4, 3},
                                                {4, 4},
                                                {4, 3},
                                                {5, 3},
                                                {4, 3},
                                                {4, 2},
                                                {4, 1},
                                                {5, 1},
                                                kEnd}));
    // Path blocks are marked as return moves mark them: one past their index.
    EXPECT_EQ(p->mark(0, 5, 3), 13);
    EXPECT_EQ(p->mark(0, 4, 1), 16);
    EXPECT_EQ(p->regionRemaining(0), -3);
}

TEST(PlannerReturn, CirclingWalkFinishesAlongTheShortestPath)
{
    // Map:  Y1: 0 0 C C 0 0
    //       Y2: 0 . . 0 0 0
    //       Y3: 0 . C . 0 C
    //       Y4: C 0 C 0 0 .
    // Region from (5,2): (4,2) (5,1) (5,2) (6,1) (6,2) (5,3) (4,4) (5,4);
    // cities touching it: (4,1), (6,3), (3,4). First city in scan order with
    // fewer than 4 own around: E = (3,4); first block (4,4).
    //  Sweep: 5:(4,4) 6:(5,4) 7:(5,3) 8:(5,2) 9:(6,2) 10:(6,1) 11:(5,1),
    //  rem 0 with C = (5,2); (4,2) is left unwalked.
    // Return walk, E down-left (sx = -1, sy = 1), step 12:
    //  (5,2): left (4,2)=2 allowed. 12:(5,2), mark 13.
    //  (4,2), came from the right: (3,2) and (4,3) unmarked, (5,2)=13 is the
    //    block just left, up to the city (4,1)=1. 13:(4,2), mark 14.
    //  (4,1), from below: (3,1) unmarked, (4,2) just left, right (5,1)=11.
    //    14:(4,1), mark 15.
    //  (5,1), from the left: (4,1) just left, down (5,2)=13. 15:(5,1).
    //  (5,2), from above: left (4,2)=14. 16:(5,2).
    //  (4,2) from the right again: this pair was seen, the walk circles.
    // Breadth first from (4,2): (4,1), (5,2); (5,1); (6,2), (5,3); (6,1);
    // (6,3); (5,4); (4,4); then E. So 17:(4,2) 18:(5,2) 19:(5,3) 20:(5,4)
    // 21:(4,4), then 22:(3,4) and the end.
    Table table(makeMap({"00CC00", "0..000", "0.C.0C", "C0C00."}, 2, 3));
    const auto p = planOn(table);
    ASSERT_EQ(p->regionCount(), 1);
    EXPECT_EQ(p->returnEnd(0), ReturnEnd::Circling);
    EXPECT_EQ(route(*p, 0),
              (std::vector<Point>{{3, 4}, {4, 4}, {4, 4}, {5, 4}, {5, 3}, {5, 2}, {6, 2},
                                  {6, 1}, {5, 1}, {5, 2}, {4, 2}, {4, 1}, {5, 1}, {5, 2},
                                  {4, 2}, {5, 2}, {5, 3}, {5, 4}, {4, 4}, {3, 4}, kEnd}));
    EXPECT_EQ(p->mark(0, 4, 1), 15); // the city on the circle
    EXPECT_EQ(p->mark(0, 3, 1), kNoMark);
    EXPECT_EQ(p->regionRemaining(0), -4);
}

TEST(PlannerLimits, AtMostTenRegions)
{
    // Twelve 3 x 3 squares, two per column band. Scanning X outer, Y inner,
    // the regions are found at (2,2), (2,6), (6,2), (6,6), ... (18,6); the two
    // at X = 22 would be the 11th and 12th and are left out.
    const std::string band = "000.000.000.000.000.000";
    const std::vector<std::string> rows = {band, band, band, std::string(band.size(), '.'),
                                           band, band, band};
    Table table(makeMap(rows, 21, 1)); // standing in an ignored square
    const auto p = planOn(table);
    ASSERT_EQ(p->regionCount(), kMaxRegions);
    for (int r = 0; r < kMaxRegions; ++r) {
        const int32_t X = 2 + 4 * (r / 2), Y = r % 2 == 0 ? 2 : 6;
        EXPECT_EQ(p->mark(r, X, Y), 15) << r; // the centre, as in the plain square
        EXPECT_EQ(p->regionMode(r), r == 0 ? kModeGarrison : kModeCollect);
        for (int X2 = 21; X2 <= 23; ++X2)
            for (int Y2 = 1; Y2 <= 7; ++Y2)
                EXPECT_EQ(p->mark(r, X2, Y2), kNoMark);
    }
    // The last region is the plain square moved by (16, 4).
    std::vector<Point> moved;
    for (Point q : kSquareRoute)
        moved.push_back(q.x < 0 ? q : Point{q.x + 16, q.y + 4});
    EXPECT_EQ(route(*p, 9), moved);
    // On no route: region 0 from entry 0.
    EXPECT_EQ(p->currentRegion(), 0);
    EXPECT_EQ(p->currentStep(), 0);
}

TEST(PlannerLimits, RouteFillsUpAndCloses)
{
    // 40 x 40 own blocks with a city in the top-left corner. The city is the
    // entry; the sweep can never step back onto it, so it spirals inwards
    // until the route is full: down column 1, along row 40, up column 40,
    // back along row 1 to (2,1), then down column 2 (the corner city is never
    // chosen), along row 39, up column 39, along row 2, ...
    std::vector<std::string> rows(40, std::string(40, '0'));
    rows[0][0] = 'C';
    Table table(makeMap(rows, 0, 0));
    const auto p = planOn(table);
    ASSERT_EQ(p->regionCount(), 1);
    const std::pair<int, Point> expected[] = {
        {3, {1, 1}},     {4, {1, 2}},    {5, {1, 2}},    {6, {1, 3}},    {43, {1, 40}},
        {44, {2, 40}},   {82, {40, 40}}, {83, {40, 39}}, {121, {40, 1}}, {122, {39, 1}},
        {159, {2, 1}},   {160, {2, 2}},  {197, {2, 39}}, {198, {3, 39}}, {234, {39, 39}},
        {235, {39, 38}}, {271, {39, 2}}, {272, {38, 2}}, {307, {3, 2}},  {308, {3, 3}},
    };
    for (const auto& [index, block] : expected)
        EXPECT_EQ(p->routeEntry(0, index), block) << index;
    // No move from step 998 on: the entry closes the route at 998, the end at 999.
    EXPECT_EQ(p->returnEnd(0), ReturnEnd::RouteLimit);
    EXPECT_GT(p->routeEntry(0, 997).x, 0);
    EXPECT_EQ(p->routeEntry(0, 998), (Point{1, 1}));
    EXPECT_EQ(p->routeEntry(0, 999), kEnd);
    // Standing on the entry: the closing entry 998 is moved back to 3.
    EXPECT_EQ(p->currentStep(), 3);
}

TEST(PlannerLimits, MarksCoverTheBorderButNeverMarkIt)
{
    // The same full map: blocks in column and row 40 are marked, the border
    // (0 and 41) is read by the sweep but stays 0.
    std::vector<std::string> rows(40, std::string(40, '0'));
    rows[0][0] = 'C';
    Table table(makeMap(rows, 0, 0));
    const auto p = planOn(table);
    for (int i = 0; i <= 41; ++i) {
        EXPECT_EQ(p->mark(0, i, 0), kNoMark);
        EXPECT_EQ(p->mark(0, i, 41), kNoMark);
        EXPECT_EQ(p->mark(0, 0, i), kNoMark);
        EXPECT_EQ(p->mark(0, 41, i), kNoMark);
    }
    EXPECT_EQ(p->mark(0, 1, 1), kCityMark);
    EXPECT_EQ(p->mark(0, 40, 40), 82);
    EXPECT_EQ(p->mark(0, 40, 1), 121);
    EXPECT_EQ(p->mark(0, 20, 20), kUnwalked); // the middle is never reached
}

TEST(PlannerLimits, RegionWithoutEntryIsSkipped)
{
    // Regions are found on a ring of neutral blocks round a 3 x 3 square;
    // the routes are then planned while every block reads as own, so each
    // block of the region has 5 own around and neither entry scan finds one.
    vorlan::Map ring = makeMap({".....", ".000.", ".000.", ".000.", "....."}, 2, 2);
    vorlan::Map full = makeMap({"00000", "00000", "00000", "00000", "00000"}, 2, 2);
    const BotParams params = bottest::paramsOf(ring);
    Planner p;
    vorlan::setBotMap(&ring);
    p.setUp(vorlan::cellInfo, params);
    p.findRegions();
    ASSERT_EQ(p.regionCount(), 1);
    vorlan::setBotMap(&full);
    p.buildRoutes();
    p.finishPlan();
    vorlan::setBotMap(nullptr);
    EXPECT_FALSE(p.hasRoute(0));
    EXPECT_EQ(p.returnEnd(0), ReturnEnd::NoRoute);
    EXPECT_EQ(p.routeEntry(0, 3), (Point{0, 0}));
    EXPECT_EQ(p.currentStep(), 0);

    // Nothing to walk: the three opening answers, then nothing.
    Table table(full);
    const auto entry = [&p](auto a, auto b, auto c) { return p.enter(a, b, c); };
    EXPECT_EQ(table.play(entry, 8),
              (std::vector<std::string>{"i 0", "i 0", "i 0", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(p.currentStep(), 0);
}

TEST(PlannerLimits, SizeAndOwnerOutsideTheContractStayInsideTheArrays)
{
    vorlan::Map m = makeMap(kSquare, 0, 0);
    vorlan::setBotMap(&m);
    // A width and height beyond the largest map are cut to 40: the square
    // reads the same (everything beyond it is outside the grid).
    {
        Planner p;
        const BotParams big = {0, 100, 1000, 2};
        ASSERT_NE(p.enter(vorlan::cellInfo, vorlan::myRecord, &big), nullptr);
        EXPECT_EQ(route(p, 0), kSquareRoute);
    }
    // A negative size and a player number that owns nothing: no region.
    for (const BotParams odd :
         {BotParams{0, -3, -3, 2}, BotParams{8, 3, 3, 2}, BotParams{-1, 3, 3, 2}}) {
        Planner p;
        EXPECT_NE(p.enter(vorlan::cellInfo, vorlan::myRecord, &odd), nullptr);
        EXPECT_EQ(p.regionCount(), 0);
    }
    vorlan::setBotMap(nullptr);
}

TEST(PlannerLimits, MissingArgumentsAreRefused)
{
    vorlan::Map m = makeMap(kSquare, 0, 0);
    vorlan::setBotMap(&m);
    const BotParams params = bottest::paramsOf(m);
    Planner p;
    EXPECT_EQ(p.enter(nullptr, vorlan::myRecord, &params), nullptr);
    EXPECT_EQ(p.enter(vorlan::cellInfo, nullptr, &params), nullptr);
    EXPECT_EQ(p.enter(vorlan::cellInfo, vorlan::myRecord, nullptr), nullptr);
    EXPECT_FALSE(p.planReady());
    // The first complete call still plans.
    const BotCommand* c = p.enter(vorlan::cellInfo, vorlan::myRecord, &params);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->letter, 'i');
    EXPECT_TRUE(p.planReady());
    vorlan::setBotMap(nullptr);
}
