#include "botview.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace vorlan;

namespace {
Map threeBlocks()
{
    QByteArray b;
    for (int v : {3, 1, 1, /* kinds */ 0, 3, 9, /* start */ 1, 0})
        b.append(char(v));
    Map m = Map::fromBytes(b);
    m.myIndex = 0;
    m.cells[1][0].army = 50; // another player's garrison
    m.cells[2][0].army = 7;
    return m;
}
} // namespace

TEST(BotView, OutsideTheGridIsImpassable)
{
    const Map m = threeBlocks();
    for (auto [x, y] : {std::pair(-1, 0), std::pair(0, -1), std::pair(3, 0), std::pair(0, 1)}) {
        const BotCell c = cellView(m, x, y);
        EXPECT_EQ(c.army, 0);
        EXPECT_EQ(c.gold, 0);
        EXPECT_EQ(c.kind, kImpassable);
    }
}

TEST(BotView, HidesOtherPlayersContentsOnly)
{
    const Map m = threeBlocks();
    const BotCell enemy = cellView(m, 1, 0);
    EXPECT_EQ(enemy.army, 0);
    EXPECT_EQ(enemy.kind, 3);
    const BotCell neutral = cellView(m, 2, 0);
    EXPECT_EQ(neutral.army, 7);
    EXPECT_EQ(neutral.kind, kNeutral);
    const BotCell own = cellView(m, 0, 0);
    EXPECT_EQ(own.army, 1);
    EXPECT_EQ(own.kind, 0);
}

TEST(BotView, CallbacksReadTheCurrentMapThroughFixedOffsets)
{
    Map m = threeBlocks();
    m.players[0].army = 123;
    m.players[0].gold = 45;
    m.players[0].x = 1;
    m.players[0].y = 0;
    setBotMap(&m);
    const BotPlayer* rec = myRecord();
    const auto* raw = reinterpret_cast<const unsigned char*>(rec);
    int32_t army, x, y;
    std::memcpy(&army, raw + 8, 4);
    std::memcpy(&x, raw + 20, 4);
    std::memcpy(&y, raw + 24, 4);
    EXPECT_EQ(army, 123);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(rec->gold, 45);
    EXPECT_EQ(rec->leaveIfMore, 1000);

    // One static buffer, overwritten by the next call.
    const BotCell* first = cellInfo(2, 0);
    EXPECT_EQ(first->army, 7);
    const BotCell* second = cellInfo(-5, 0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->kind, kImpassable);

    setBotMap(nullptr);
    EXPECT_EQ(cellInfo(0, 0)->kind, kImpassable);
}
