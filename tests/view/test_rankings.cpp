#include "rankings.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

using namespace vorlan;

namespace {

// A w x h map of neutral land with `players` records in use and no names.
Map neutralMap(int w, int h, int players)
{
    Map m;
    m.width = w;
    m.height = h;
    m.playerCount = players;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            m.cells[x][y] = {1, 0, kNeutral};
    return m;
}

struct Places
{
    int army, gold, blocks, killed;
    bool operator==(const Places&) const = default;
};

Places places(const Player& p)
{
    return {p.armyPlace, p.goldPlace, p.blocksPlace, p.killedPlace};
}

void PrintTo(const Places& p, std::ostream* os)
{
    *os << "{army " << p.army << ", gold " << p.gold << ", blocks " << p.blocks << ", killed "
        << p.killed << "}";
}

} // namespace

TEST(Totals, ArmyCountsCarriedCityAndOwnBlocks)
{
    Map m = neutralMap(4, 3, 3);
    m.players[1].name = "Bob";
    m.players[1].army = 10;
    m.players[1].cityArmy = 3;
    m.cells[0][0] = {5, 0, 1};
    m.cells[3][2] = {7, 0, 1};
    m.cells[1][1] = {40, 0, 0}; // somebody else's block
    refreshTotals(m);
    EXPECT_EQ(m.players[1].armyTotal, 25);
    EXPECT_EQ(m.players[1].blocks, 2);
    EXPECT_EQ(m.players[0].armyTotal, 40);
    EXPECT_EQ(m.players[0].blocks, 1);
}

TEST(Totals, GoldOnBlocksAndOtherKindsCountForNobody)
{
    Map m = neutralMap(5, 1, 2);
    m.players[0].name = "Ann";
    m.players[0].gold = 40;
    m.players[0].cityGold = 60;
    m.cells[0][0] = {0, 500, kGoldMine};
    m.cells[1][0] = {3, 70, 0}; // gold lying on her own block
    m.cells[2][0] = {9, 0, kCity};
    m.cells[3][0] = {6, 0, kImpassable};
    m.cells[4][0] = {20, 0, kNeutral};
    refreshTotals(m);
    EXPECT_EQ(m.players[0].goldTotal, 100);
    EXPECT_EQ(m.players[0].armyTotal, 3);
    EXPECT_EQ(m.players[0].blocks, 1);
    EXPECT_EQ(m.players[1].armyTotal, 0);
    EXPECT_EQ(m.players[1].goldTotal, 0);
}

TEST(Totals, KilledIsCopied)
{
    Map m = neutralMap(1, 1, 2);
    m.players[0].killed = 17;
    refreshTotals(m);
    EXPECT_EQ(m.players[0].killedTotal, 17);
}

TEST(Totals, RefreshingAgainGivesTheSameFigures)
{
    Map m = neutralMap(3, 3, 2);
    m.players[0].name = "Ann";
    m.players[0].army = 4;
    m.cells[1][1] = {8, 0, 0};
    refreshTotals(m);
    refreshTotals(m);
    EXPECT_EQ(m.players[0].armyTotal, 12);
    EXPECT_EQ(m.players[0].blocks, 1);
    EXPECT_EQ(places(m.players[0]), (Places{1, 1, 1, 1}));
}

TEST(Totals, OnlyRecordsInUseAreTouched)
{
    // Two start positions: records 0..2 in use. A block of owner code 5
    // belongs to no player of this game.
    Map m = neutralMap(2, 1, 3);
    m.cells[0][0] = {50, 0, 5};
    m.cells[1][0] = {2, 0, 2};
    m.players[5].armyTotal = -7;
    m.players[5].blocksPlace = 0;
    refreshTotals(m);
    EXPECT_EQ(m.players[5].armyTotal, -7);
    EXPECT_EQ(m.players[5].blocks, 0);
    EXPECT_EQ(m.players[5].blocksPlace, 0);
    EXPECT_EQ(m.players[2].armyTotal, 2);
    EXPECT_EQ(m.players[2].blocks, 1);
}

TEST(Totals, HugeFiguresSaturateInsteadOfWrapping)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    Map m = neutralMap(2, 1, 2);
    m.players[0].name = "Ann";
    m.players[0].army = kMax;
    m.players[0].gold = kMax;
    m.players[0].cityGold = kMax;
    m.cells[0][0] = {kMax, 0, 0};
    m.cells[1][0] = {kMax, 0, 0};
    refreshTotals(m);
    EXPECT_EQ(m.players[0].armyTotal, kMax);
    EXPECT_EQ(m.players[0].goldTotal, kMax);
}

TEST(Totals, PlayerCountOutsideTheRecordsIsKeptInBounds)
{
    Map m = neutralMap(1, 1, 100);
    m.players[12].name = "Last";
    refreshTotals(m);
    EXPECT_EQ(recordsInUse(m), kPlayerRecords);
    EXPECT_EQ(m.players[12].armyPlace, 1);
    m.playerCount = -3;
    EXPECT_EQ(recordsInUse(m), 0);
    refreshTotals(m); // nothing in use, nothing written
    EXPECT_EQ(m.players[12].armyPlace, 1);
}

// Three named players of four records on a 3 x 3 map, worked by hand:
//   record 0 "Ann": carries 10 soldiers, 5 gold; city 2 soldiers, 20 gold;
//                   blocks with 4 and 6 soldiers; killed 3
//   record 1 "":    free, owns one block with 100 soldiers
//   record 2 "Cid": carries 0; city 0 soldiers, 25 gold; blocks with 1, 1, 1
//                   and 19 soldiers; killed 3
//   record 3 "Dee": carries 22 soldiers; no blocks; killed 0
// Totals: Ann army 22, gold 25, blocks 2; Cid army 22, gold 25, blocks 4;
// Dee army 22, gold 0, blocks 0. All three tie on army (the highest index
// first: Dee, Cid, Ann), Ann and Cid tie on gold and on killed.
TEST(Places, HandWorkedExampleWithTiesAndAFreeRecord)
{
    Map m = neutralMap(3, 3, 4);
    Player& ann = m.players[0];
    ann.name = "Ann";
    ann.army = 10;
    ann.gold = 5;
    ann.cityArmy = 2;
    ann.cityGold = 20;
    ann.killed = 3;
    m.cells[0][0] = {4, 0, 0};
    m.cells[1][0] = {6, 0, 0};
    m.cells[2][0] = {100, 0, 1};
    Player& cid = m.players[2];
    cid.name = "Cid";
    cid.cityGold = 25;
    cid.killed = 3;
    m.cells[0][1] = {1, 0, 2};
    m.cells[1][1] = {1, 0, 2};
    m.cells[2][1] = {1, 0, 2};
    m.cells[0][2] = {19, 0, 2};
    Player& dee = m.players[3];
    dee.name = "Dee";
    dee.army = 22;

    refreshTotals(m);

    EXPECT_EQ(ann.armyTotal, 22);
    EXPECT_EQ(ann.goldTotal, 25);
    EXPECT_EQ(ann.blocks, 2);
    EXPECT_EQ(cid.armyTotal, 22);
    EXPECT_EQ(cid.goldTotal, 25);
    EXPECT_EQ(cid.blocks, 4);
    EXPECT_EQ(dee.armyTotal, 22);
    EXPECT_EQ(dee.blocks, 0);
    EXPECT_EQ(places(ann), (Places{3, 2, 2, 2}));
    EXPECT_EQ(places(cid), (Places{2, 1, 1, 1}));
    EXPECT_EQ(places(dee), (Places{1, 3, 3, 3}));
    // The free record has totals but no place, however big its army.
    EXPECT_EQ(m.players[1].armyTotal, 100);
    EXPECT_EQ(places(m.players[1]), (Places{10, 10, 10, 10}));
}

TEST(Places, EqualBlocksGoToTheHigherIndex)
{
    Map m = neutralMap(2, 1, 3);
    m.players[0].name = "A";
    m.players[1].name = "B";
    m.cells[0][0] = {1, 0, 0};
    m.cells[1][0] = {1, 0, 1};
    refreshTotals(m);
    EXPECT_EQ(m.players[1].blocksPlace, 1);
    EXPECT_EQ(m.players[0].blocksPlace, 2);
}

TEST(Places, NoNamesNoPlaces)
{
    Map m = neutralMap(2, 2, 8);
    m.cells[0][0] = {3, 0, 0};
    refreshTotals(m);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(places(m.players[i]), (Places{10, 10, 10, 10})) << i;
}

TEST(Places, NegativeFiguresComeLastWithoutMovingOthers)
{
    Map m = neutralMap(1, 1, 5);
    const int32_t golds[] = {5, -3, -1, 0, -3};
    for (int i = 0; i < 5; ++i) {
        m.players[i].name = QString::number(i);
        m.players[i].gold = golds[i];
    }
    refreshTotals(m);
    EXPECT_EQ(m.players[0].goldPlace, 1);
    EXPECT_EQ(m.players[3].goldPlace, 2);
    EXPECT_EQ(m.players[2].goldPlace, 3);
    EXPECT_EQ(m.players[4].goldPlace, 4);
    EXPECT_EQ(m.players[1].goldPlace, 5);
}

TEST(FinishingOrder, FollowsTheGameTypesRanking)
{
    Map m = neutralMap(3, 1, 4);
    m.players[0].name = "A";
    m.players[0].gold = 90;
    m.cells[0][0] = {1, 0, 0};
    m.players[2].name = "C";
    m.players[2].cityGold = 10;
    m.cells[1][0] = {1, 0, 2};
    m.cells[2][0] = {1, 0, 2};
    m.players[3].name = ""; // free: never listed
    refreshTotals(m);
    EXPECT_EQ(finishingOrder(m, kTerritoryGame), (std::vector<int>{2, 0}));
    EXPECT_EQ(finishingOrder(m, kGoldGame), (std::vector<int>{0, 2}));
    EXPECT_EQ(resultValue(m.players[2], kTerritoryGame), 2);
    EXPECT_EQ(resultValue(m.players[2], kGoldGame), 10);
}

// The places of one ranking chosen one at a time, as a person would: for
// place p, among the named records not yet placed, the greatest value,
// taking a later record on an equal value.
std::vector<int> placesByHand(const std::vector<int32_t>& values, const std::vector<bool>& named)
{
    std::vector<int> place(values.size(), kNotPlaced);
    const int n = int(std::count(named.begin(), named.end(), true));
    for (int p = 1; p <= n; ++p) {
        int best = -1;
        int32_t bestValue = -1;
        for (size_t i = 0; i < values.size(); ++i)
            if (named[i] && place[i] == kNotPlaced && values[i] >= bestValue) {
                best = int(i);
                bestValue = values[i];
            }
        place[best] = p;
    }
    return place;
}

TEST(Places, AgreeWithPlacingOneAtATime)
{
    uint32_t seed = 12345;
    auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % uint32_t(range));
    };
    for (int round = 0; round < 500; ++round) {
        Map m = neutralMap(0, 0, 8);
        std::vector<int32_t> gold(8);
        std::vector<bool> named(8);
        for (int i = 0; i < 8; ++i) {
            named[i] = next(4) != 0;
            m.players[i].name = named[i] ? QStringLiteral("p%1").arg(i) : QString();
            m.players[i].gold = gold[i] = next(5) - 1; // -1..3: many ties
        }
        refreshTotals(m);
        const std::vector<int> expected = placesByHand(gold, named);
        for (int i = 0; i < 8; ++i)
            ASSERT_EQ(m.players[i].goldPlace, expected[i]) << "round " << round << " record " << i;
    }
}
