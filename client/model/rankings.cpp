#include "rankings.h"

#include <algorithm>
#include <limits>

namespace vorlan {

namespace {

// Server figures are 32-bit; a sum of 1,600 blocks of them may not be.
int32_t clamped(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// Gives places 1, 2, ... to the named records by descending value; among
// equal values the higher index first. Everyone else stays unplaced.
void rank(Map& map, const std::vector<int>& named, int32_t Player::*value, int32_t Player::*place)
{
    std::vector<int> order = named;
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int32_t va = map.players[a].*value, vb = map.players[b].*value;
        return va != vb ? va > vb : a > b;
    });
    for (size_t i = 0; i < order.size(); ++i)
        map.players[order[i]].*place = int32_t(i + 1);
}

} // namespace

int recordsInUse(const Map& map)
{
    return std::clamp<int>(map.playerCount, 0, kPlayerRecords);
}

void refreshTotals(Map& map)
{
    const int used = recordsInUse(map);
    int64_t army[kPlayerRecords] = {};
    int32_t blocks[kPlayerRecords] = {};
    for (int i = 0; i < used; ++i)
        army[i] = int64_t(map.players[i].army) + map.players[i].cityArmy;

    // Blocks of an owner code that has no record in this game count for nobody.
    const int w = std::clamp<int>(map.width, 0, kMaxMapSide);
    const int h = std::clamp<int>(map.height, 0, kMaxMapSide);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            const Cell& c = map.cells[x][y];
            if (isOwnerKind(c.kind) && c.kind < used) {
                army[c.kind] += c.army;
                ++blocks[c.kind];
            }
        }
    }

    std::vector<int> named;
    for (int i = 0; i < used; ++i) {
        Player& p = map.players[i];
        p.armyTotal = clamped(army[i]);
        p.goldTotal = clamped(int64_t(p.gold) + p.cityGold);
        p.blocks = blocks[i];
        p.killedTotal = p.killed;
        p.armyPlace = p.goldPlace = p.blocksPlace = p.killedPlace = kNotPlaced;
        if (!p.name.isEmpty())
            named.push_back(i);
    }
    rank(map, named, &Player::armyTotal, &Player::armyPlace);
    rank(map, named, &Player::goldTotal, &Player::goldPlace);
    rank(map, named, &Player::blocks, &Player::blocksPlace);
    rank(map, named, &Player::killedTotal, &Player::killedPlace);
}

std::vector<int> finishingOrder(const Map& map, int gameType)
{
    std::vector<int> order;
    for (int i = 0; i < recordsInUse(map); ++i)
        if (!map.players[i].name.isEmpty())
            order.push_back(i);
    const auto place = [&](int i) {
        const Player& p = map.players[i];
        return gameType == kGoldGame ? p.goldPlace : p.blocksPlace;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return place(a) < place(b); });
    return order;
}

int32_t resultValue(const Player& player, int gameType)
{
    return gameType == kGoldGame ? player.goldTotal : player.blocks;
}

} // namespace vorlan
