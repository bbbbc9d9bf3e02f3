// The map file reader, then growth and the rankings on what it built.
//
// The input is a map file. Bytes after its start positions (which the reader
// ignores) set figures before growing: 10 bytes each, x, y, then army and
// gold as 32-bit big-endian ints; a leading x of 0xff names player record y
// (modulo 13) instead and sets its army and cityArmy to the first int, its
// gold to the second. The last byte picks the own player.
// Checked: the reader touches nothing outside the grid it announces, the grid
// and counts stay in range, growth never lowers a figure, and every place is
// 1..records in use or unplaced.
#include "map.h"
#include "rankings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <QByteArray>

using namespace vorlan;

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "contract broken: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what)
{
    if (!ok)
        fail(what);
}

int32_t int32At(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]);
}

bool untouched(const Cell& c)
{
    return c.army == 0 && c.gold == 0 && c.kind == 0;
}

void checkOutsideUntouched(const Map& m)
{
    for (int x = 0; x < kMaxMapSide; ++x)
        for (int y = 0; y < kMaxMapSide; ++y)
            if (!m.contains(x, y))
                check(untouched(m.cells[x][y]), "a cell outside the grid was written");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    Map m = Map::fromBytes(bytes, &error);
    check(m.loaded() == error.isEmpty(), "loaded() disagrees with the error");
    if (!m.loaded()) {
        check(m.width == 0 && m.height == 0, "a refused file left a grid");
        checkOutsideUntouched(m);
        return 0;
    }
    check(m.width >= 1 && m.width <= kMaxMapSide && m.height >= 1 && m.height <= kMaxMapSide,
          "grid size out of range");
    check(m.playerCount >= 1 && m.playerCount <= kMaxOwners + 1, "player count out of range");
    for (int i = m.playerCount - 1; i < kPlayerRecords; ++i)
        check(m.players[i].x == 2 && m.players[i].y == 2, "a record beyond the file was written");
    checkOutsideUntouched(m);

    size_t pos = 3 + size_t(m.width) * size_t(m.height) + 2 * size_t(m.playerCount - 1);
    for (; pos + 10 <= size; pos += 10) {
        const uint8_t* p = data + pos;
        const int32_t a = int32At(p + 2), b = int32At(p + 6);
        if (p[0] == 0xff) {
            Player& r = m.players[p[1] % kPlayerRecords];
            r.name = QStringLiteral("p");
            r.army = a;
            r.cityArmy = a;
            r.gold = b;
        } else if (m.contains(p[0], p[1])) {
            m.cells[p[0]][p[1]].army = a;
            m.cells[p[0]][p[1]].gold = b;
        }
    }

    m.myIndex = data[size - 1] % kMaxOwners;
    m.showArmyLevels = 1;
    int redrawn = 0;
    for (int step = 0; step < 3; ++step) {
        Cell before[kMaxMapSide][kMaxMapSide];
        std::memcpy(before, m.cells, sizeof before);
        m.growBlocks([&](int x, int y) {
            check(m.contains(x, y) && m.cells[x][y].kind == m.myIndex, "redrew a foreign block");
            ++redrawn;
        });
        for (int x = 0; x < m.width; ++x)
            for (int y = 0; y < m.height; ++y) {
                check(m.cells[x][y].army >= before[x][y].army, "growth lowered an army");
                check(m.cells[x][y].gold >= before[x][y].gold, "growth lowered gold");
            }
        checkOutsideUntouched(m);
    }

    refreshTotals(m);
    const int used = recordsInUse(m);
    for (int i = 0; i < used; ++i) {
        const Player& p = m.players[i];
        for (int32_t place : {p.armyPlace, p.goldPlace, p.blocksPlace, p.killedPlace})
            check(place == kNotPlaced || (place >= 1 && place <= used), "place out of range");
        check(p.blocks >= 0 && p.blocks <= m.width * m.height, "block count out of range");
    }
    for (int type : {kTerritoryGame, kGoldGame}) {
        const std::vector<int> order = finishingOrder(m, type);
        check(int(order.size()) <= used, "more finishers than records");
        for (int i : order)
            (void)resultValue(m.players[i], type);
    }
    return 0;
}
