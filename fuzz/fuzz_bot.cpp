// The bot library's export, _DirudEnter, called the way the client calls it:
// with the client's own cellInfo and myRecord over a Map, a fresh library
// state for every input.
//
// Input: byte 0 picks the own player (modulo 8), byte 1 the number of calls
// (1..256), then a map file. Bytes after the map's start positions change the
// world between calls, 10 bytes per call: x, y, then army and gold of that
// block as 32-bit big-endian ints, sign bit cleared. Between calls the player's record follows
// the bot's moves and soldier orders as a server would apply them.
// Checked: every answer is null or one of the letters the contract names,
// with a soldier count that is not negative.
#include "botview.h"
#include "contract.h"
#include "map.h"

// The export's own source, so that every input can start from the state of a
// freshly loaded library (its planner is static data of this file).
#include "../bot/dirud.cpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <QByteArray>

using namespace vorlan;

namespace {

int32_t int32At(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]);
}

int32_t clampedSum(int64_t a, int64_t b)
{
    return int32_t(std::clamp<int64_t>(a + b, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// What the server does with an order, roughly: moves within the grid onto
// passable blocks, soldiers between the hand and an own block.
void apply(Map& m, const BotCommand& c)
{
    Player& me = *m.me();
    int dx = 0, dy = 0;
    switch (c.letter) {
    case 'L':
        dx = -1;
        break;
    case 'R':
        dx = 1;
        break;
    case 'U':
        dy = -1;
        break;
    case 'D':
        dy = 1;
        break;
    case 'G':
    case 'P':
        if (m.contains(me.x, me.y) && m.cell(me.x, me.y).kind == m.myIndex) {
            Cell& b = m.cell(me.x, me.y);
            const int32_t n = c.letter == 'G' ? std::min(c.value == 0 ? b.army : c.value, b.army)
                                              : std::min(c.value, me.army);
            const int32_t moved = std::max(n, 0);
            b.army = clampedSum(b.army, c.letter == 'G' ? -int64_t(moved) : moved);
            me.army = clampedSum(me.army, c.letter == 'G' ? moved : -int64_t(moved));
        }
        return;
    default:
        return;
    }
    const int x = me.x + dx, y = me.y + dy;
    if (m.contains(x, y) && m.cell(x, y).kind != kImpassable) {
        me.x = x;
        me.y = y;
        if (m.cell(x, y).kind == kNeutral)
            m.cell(x, y).kind = m.myIndex;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    static const dirud::Planner freshlyLoaded{};
    planner = freshlyLoaded;

    const QByteArray file(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    Map m = Map::fromBytes(file); // a refused file leaves an empty grid, as in the client
    m.myIndex = data[0] % kMaxOwners;
    const int calls = 1 + data[1];
    size_t pos =
        2 + (m.loaded() ? 3 + size_t(m.width) * size_t(m.height) + 2 * size_t(m.playerCount - 1)
                        : size - 2);

    const BotParams params{m.myIndex, m.width, m.height, m.playerCount};
    for (int i = 0; i < calls; ++i) {
        if (pos + 10 <= size) {
            const uint8_t* p = data + pos;
            if (m.contains(p[0], p[1])) {
                // Figures as a server sends them: never negative.
                m.cells[p[0]][p[1]].army = int32At(p + 2) & 0x7fffffff;
                m.cells[p[0]][p[1]].gold = int32At(p + 6) & 0x7fffffff;
            }
            pos += 10;
        }
        setBotMap(&m);
        const BotCommand* c = _DirudEnter(cellInfo, myRecord, &params);
        setBotMap(nullptr);
        if (!c)
            continue;
        check(std::strchr("iGPLRUD", c->letter) && c->letter != 0, "unknown command letter");
        check(c->value >= 0 || (c->letter != 'G' && c->letter != 'P'), "negative soldier count");
        BotCommand copy;
        std::memcpy(&copy, c, sizeof copy); // the client copies at once
        apply(m, copy);
    }
    return 0;
}
