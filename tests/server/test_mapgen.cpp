// The shipped maps: the generator's output, valid, symmetric, connected.
#include "gameserver.h"
#include "mapgen.h"

#include <gtest/gtest.h>
#include <QFile>

namespace vorlan {
namespace {

TEST(MapGen, ShippedMapsAreTheGeneratorsOutputAndLoad)
{
    for (const MapRecipe& r : standardMaps()) {
        const QByteArray bytes = generateMap(r);
        EXPECT_EQ(bytes, generateMap(r)) << qPrintable(r.name);
        QFile f("maps/" + r.name + ".map"); // copied beside the programs by the build
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(r.name);
        EXPECT_EQ(f.readAll(), bytes) << qPrintable(r.name) << ": regenerate with vorlan-mapgen";
        QString error;
        const Map m = Map::fromBytes(bytes, &error);
        EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
        EXPECT_EQ(m.playerCount - 1, r.players);
    }
}

TEST(MapGen, EveryStartIsOpenGroundReachableFromTheFirst)
{
    for (const MapRecipe& r : standardMaps()) {
        const Map m = Map::fromBytes(generateMap(r));
        bool seen[kMaxMapSide][kMaxMapSide] = {};
        std::vector<std::pair<int, int>> todo{{m.players[0].x, m.players[0].y}};
        seen[todo[0].first][todo[0].second] = true;
        while (!todo.empty()) {
            const auto [x, y] = todo.back();
            todo.pop_back();
            for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const int nx = x + dx, ny = y + dy;
                if (m.contains(nx, ny) && !seen[nx][ny] && m.cell(nx, ny).kind != kImpassable) {
                    seen[nx][ny] = true;
                    todo.emplace_back(nx, ny);
                }
            }
        }
        for (int i = 0; i < r.players; ++i) {
            const Player& p = m.players[size_t(i)];
            EXPECT_EQ(m.cell(p.x, p.y).kind, kNeutral) << qPrintable(r.name) << " " << i;
            EXPECT_TRUE(seen[p.x][p.y]) << qPrintable(r.name) << " " << i;
        }
        int cities = 0;
        for (int x = 0; x < m.width; ++x)
            for (int y = 0; y < m.height; ++y)
                cities += m.cell(x, y).kind == kCity ? 1 : 0;
        EXPECT_GE(cities, 2) << qPrintable(r.name);
    }
}

} // namespace
} // namespace vorlan
