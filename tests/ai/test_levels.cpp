// Each level's choice on small positions where the right move is plain.
#include "ai_support.h"

#include <gtest/gtest.h>

namespace vorlan::ai {
namespace {

using test::Position;

class EveryLevel : public ::testing::TestWithParam<Level>
{};

INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel,
                         ::testing::Values(Level::Easy, Level::Normal, Level::Hard),
                         [](const auto& info) { return levelName(info.param).toStdString(); });

TEST_P(EveryLevel, TakesTheWeakerOfTwoBlocksHeCanTake)
{
    Position p(GetParam(), {"#####", //
                            "#.01#", //
                            "#####"});
    p.place(0, 2, 1, 20);
    p.garrison(1, 1, 15); // neutral, could be taken
    p.garrison(3, 1, 3);  // the rival's, cheaper
    const auto order = p.decide();
    ASSERT_TRUE(order);
    EXPECT_EQ(order->subCode, 'R');
}

TEST_P(EveryLevel, NeverThrowsHisArmyAtAStrongerGarrison)
{
    Position p(GetParam(), {"#######", //
                            "#.000.#", //
                            "#######"});
    p.place(0, 3, 1, 12);
    p.garrison(1, 1, 30);
    p.garrison(5, 1, 12); // equal is not enough: the attacker loses all
    p.garrison(2, 1, 9);  // soldiers to collect on the left
    p.garrison(4, 1, 1);
    // Walks to collect first, then attacks the block he can now take.
    for (int i = 0; i < 6; ++i) {
        const auto order = p.decide();
        ASSERT_TRUE(order);
        Player& me = p.map().players[0];
        const int x = me.x + (order->subCode == 'R') - (order->subCode == 'L');
        const Cell& target = p.map().cell(x, me.y);
        if (x != me.x && target.kind != 0) {
            EXPECT_GT(me.army, target.army) << "step " << i;
            return;
        }
        if (order->subCode == 'G') {
            const int taken = std::min(order->argument, p.map().cell(me.x, me.y).army);
            me.army += taken;
            p.map().cell(me.x, me.y).army -= taken;
        }
        me.x = x;
    }
    ADD_FAILURE() << "never attacked";
}

TEST_P(EveryLevel, GoesForTheRichestMineInAGoldGameWithNoSoldiersToHinder)
{
    Position p(GetParam(),
               {"########", //
                "#$0...$#", //
                "########"},
               1);
    p.place(0, 2, 1, 50);
    p.map().cell(1, 1).gold = 100;
    p.map().cell(6, 1).gold = 900;
    // Soldiers cannot walk over others' blocks: they are left at home.
    auto order = p.decide();
    ASSERT_TRUE(order);
    EXPECT_EQ(order->subCode, 'i');
    EXPECT_EQ(order->argument, 0);
    p.map().players[0].leaveIfMore = 0;
    order = p.decide();
    ASSERT_TRUE(order);
    EXPECT_EQ(order->subCode, 'P');
    EXPECT_EQ(order->argument, 50);
    p.map().players[0].army = 0;
    order = p.decide();
    ASSERT_TRUE(order);
    EXPECT_EQ(order->subCode, 'R');
}

TEST_P(EveryLevel, BanksLargeArmiesOnceTheOpeningIsOver)
{
    Position p(GetParam(), {"#####", //
                            "#.0.#", //
                            "#####"});
    p.place(0, 2, 1, 20);
    p.view().stepNumber({400});
    auto order = p.decide();
    ASSERT_TRUE(order);
    EXPECT_EQ(order->subCode, 'i');
    p.map().players[0].leaveIfMore = order->argument;
    order = p.decide();
    ASSERT_TRUE(order);
    EXPECT_EQ(order->subCode, 't');
    EXPECT_TRUE(order->argument == 30 || order->argument == 100);
}

// A rival with 60 soldiers stands next to a block of 40; a cheap neutral
// block lies on the other side.
#define THREATENED(p, level)                                                                       \
    Position p(level, {"########", "#.00001#", "########"});                                       \
    p.place(0, 2, 1, 50);                                                                          \
    p.garrison(5, 1, 40);                                                                          \
    p.place(1, 6, 1, 60)

TEST(Defence, NormalAndHardReturnToReinforceAThreatenedBlock)
{
    for (Level level : {Level::Normal, Level::Hard}) {
        THREATENED(p, level);
        auto order = p.decide();
        ASSERT_TRUE(order);
        EXPECT_EQ(order->subCode, 'R') << levelName(level).toStdString();
        p.place(0, 5, 1, 50);
        order = p.decide();
        ASSERT_TRUE(order);
        EXPECT_EQ(order->subCode, 'P');
        EXPECT_GT(order->argument + 40, 60); // more than the rival carries
    }
}

TEST(Defence, EasyLeavesHisBlocksToThemselves)
{
    THREATENED(p, Level::Easy);
    const auto order = p.decide();
    ASSERT_TRUE(order);
    EXPECT_EQ(order->subCode, 'L');
}

} // namespace
} // namespace vorlan::ai
