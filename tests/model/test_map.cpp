#include "map.h"

#include <gtest/gtest.h>
#include <limits>
#include <QFile>
#include <QTemporaryDir>

using namespace vorlan;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// A 3 x 2 map with two start positions: kinds row by row, then (x, y) pairs.
const QByteArray kSmall =
    bytes({3, 2, 2, /* y=0 */ 0, 8, 9, /* y=1 */ 10, 11, 5, /* starts */ 1, 0, 2, 1});

} // namespace

TEST(MapReader, ReadsSizeKindsAndStartPositions)
{
    QString error;
    const Map m = Map::fromBytes(kSmall, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(m.width, 3);
    EXPECT_EQ(m.height, 2);
    EXPECT_EQ(m.playerCount, 3);
    EXPECT_EQ(m.cells[2][1].kind, 5); // the sixth kind byte
    EXPECT_EQ(m.cells[1][0].kind, 8);
    EXPECT_EQ(m.players[0].x, 1);
    EXPECT_EQ(m.players[0].y, 0);
    EXPECT_EQ(m.players[1].x, 2);
    EXPECT_EQ(m.players[1].y, 1);
    // The record beyond the start positions keeps its defaults.
    EXPECT_EQ(m.players[2].x, 2);
    EXPECT_EQ(m.players[2].y, 2);
    EXPECT_EQ(m.myIndex, -1);
    EXPECT_EQ(m.blockWidth, 16);
    EXPECT_EQ(m.blockHeight, 16);
    EXPECT_FALSE(m.paused);
    EXPECT_EQ(m.showArmyLevels, 0);
}

TEST(MapReader, KindsGiveInitialArmyAndGold)
{
    const Map m = Map::fromBytes(kSmall);
    auto ag = [&](int x, int y) { return std::pair(m.cells[x][y].army, m.cells[x][y].gold); };
    EXPECT_EQ(ag(0, 0), std::pair(1, 0));   // player 0
    EXPECT_EQ(ag(1, 0), std::pair(0, 0));   // impassable
    EXPECT_EQ(ag(2, 0), std::pair(1, 0));   // neutral
    EXPECT_EQ(ag(0, 1), std::pair(0, 100)); // gold mine
    EXPECT_EQ(ag(1, 1), std::pair(0, 0));   // city
    EXPECT_EQ(ag(2, 1), std::pair(1, 0));   // player 5
}

TEST(MapReader, NoStartPositions)
{
    const Map m = Map::fromBytes(bytes({1, 1, 0, 9}));
    ASSERT_TRUE(m.loaded());
    EXPECT_EQ(m.playerCount, 1);
    for (const Player& p : m.players) {
        EXPECT_EQ(p.x, 2);
        EXPECT_EQ(p.y, 2);
        EXPECT_TRUE(p.name.isEmpty());
        EXPECT_EQ(p.leaveIfMore, 1000);
    }
}

TEST(MapReader, IgnoresTrailingBytesAndAcceptsTheLargestMap)
{
    QByteArray big = bytes({40, 40, 8});
    big.append(QByteArray(1600, char(9)));
    for (int i = 0; i < 8; ++i)
        big.append(bytes({39, i}));
    big.append("trailing");
    const Map m = Map::fromBytes(big);
    ASSERT_TRUE(m.loaded()) << m.loadError().toStdString();
    EXPECT_EQ(m.cells[39][39].kind, 9);
    EXPECT_EQ(m.players[7].x, 39);
    EXPECT_EQ(m.players[7].y, 7);
    EXPECT_EQ(m.playerCount, 9);
}

TEST(MapReader, RefusesMalformedFilesWithoutHarm)
{
    const struct
    {
        const char* what;
        QByteArray data;
    } cases[] = {
        {"empty", QByteArray()},
        {"short header", bytes({3, 2})},
        {"width 0", bytes({0, 2, 0})},
        {"height 0", bytes({2, 0, 0})},
        {"width 41",
         [] {
             QByteArray b = bytes({41, 1, 0});
             b.append(QByteArray(41, 9));
             return b;
         }()},
        {"height 255",
         [] {
             QByteArray b = bytes({1, 255, 0});
             b.append(QByteArray(255, 9));
             return b;
         }()},
        {"nine players",
         [] {
             QByteArray b = bytes({1, 1, 9, 9});
             b.append(QByteArray(18, 0));
             return b;
         }()},
        {"kind 12", bytes({2, 1, 0, 9, 12})},
        {"kind 255", bytes({1, 1, 0, 255})},
        {"kinds cut short", bytes({3, 2, 0, 9, 9, 9, 9})},
        {"start positions cut short", bytes({1, 1, 2, 9, 0, 0, 0})},
    };
    for (const auto& c : cases) {
        QString error;
        const Map m = Map::fromBytes(c.data, &error);
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_FALSE(m.loaded()) << c.what;
        EXPECT_EQ(m.width, 0) << c.what;
        EXPECT_EQ(m.height, 0) << c.what;
        EXPECT_EQ(m.players[0].x, 2) << c.what;
    }
}

TEST(MapReader, ReadsAFileAndReportsAMissingOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("small.map");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kSmall);
    }
    const Map m(path);
    EXPECT_TRUE(m.loaded());
    EXPECT_EQ(m.cells[2][1].kind, 5);

    const Map missing(dir.filePath("nothing-here.map"));
    EXPECT_FALSE(missing.loaded());
    EXPECT_EQ(missing.width, 0);
}

TEST(MapGrowth, ArmyThresholdsGoldMinesAndStillBlocks)
{
    Map m = Map::fromBytes(bytes({6, 1, 0, 9, 9, 0, 10, 11, 8}));
    m.cells[0][0].army = 29;
    m.cells[1][0].army = 30;
    m.cells[2][0].army = 99;
    m.growBlocks();
    EXPECT_EQ(m.cells[0][0].army, 30);
    EXPECT_EQ(m.cells[1][0].army, 32);
    EXPECT_EQ(m.cells[2][0].army, 101);
    EXPECT_EQ(m.cells[3][0].gold, 200);
    EXPECT_EQ(m.cells[3][0].army, 0);
    EXPECT_EQ(m.cells[4][0].army, 0);
    EXPECT_EQ(m.cells[5][0].army, 0);
    m.cells[0][0].army = 100;
    m.growBlocks();
    EXPECT_EQ(m.cells[0][0].army, 103);
    EXPECT_EQ(m.cells[4][0].gold, 0);
}

TEST(MapGrowth, StopsAtTheLargestFigureInsteadOfWrapping)
{
    constexpr int32_t top = std::numeric_limits<int32_t>::max();
    Map m = Map::fromBytes(bytes({3, 1, 0, 9, 10, 2}));
    m.cells[0][0].army = top - 1;
    m.cells[1][0].gold = top - 50;
    m.cells[2][0].army = top;
    m.growBlocks();
    EXPECT_EQ(m.cells[0][0].army, top);
    EXPECT_EQ(m.cells[1][0].gold, top);
    EXPECT_EQ(m.cells[2][0].army, top);
    m.cells[0][0].army = top - 3;
    m.growBlocks();
    EXPECT_EQ(m.cells[0][0].army, top);
}

TEST(MapGrowth, RedrawsOnlyOwnBlocksInGarrisonView)
{
    Map m = Map::fromBytes(bytes({3, 1, 0, 1, 2, 1}));
    m.myIndex = 1;
    std::vector<std::pair<int, int>> redrawn;
    auto record = [&](int x, int y) { redrawn.emplace_back(x, y); };
    m.growBlocks(record);
    EXPECT_TRUE(redrawn.empty());
    m.showArmyLevels = 1;
    m.growBlocks(record);
    EXPECT_EQ(redrawn, (std::vector<std::pair<int, int>>{{0, 0}, {2, 0}}));
}
