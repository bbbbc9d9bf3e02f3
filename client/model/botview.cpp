#include "botview.h"

namespace vorlan {

namespace {
const Map* botMap = nullptr;
} // namespace

BotCell cellView(const Map& map, int32_t x, int32_t y)
{
    if (!map.contains(x, y))
        return {0, 0, kImpassable};
    const Cell& c = map.cell(x, y);
    if (c.kind == map.myIndex || c.kind > kLastOwner)
        return {c.army, c.gold, c.kind};
    return {0, 0, c.kind};
}

BotPlayer playerRecord(const Player& p)
{
    return {0,
            p.gold,
            p.army,
            p.cityGold,
            p.cityArmy,
            p.x,
            p.y,
            p.roundTo,
            p.leaveIfMore,
            p.armyChange,
            p.goldChange,
            p.killed,
            p.killedPlace,
            p.armyPlace,
            p.goldPlace,
            p.blocksPlace,
            p.killedTotal,
            p.armyTotal,
            p.goldTotal,
            p.blocks,
            p.marketOffer,
            p.marketAmount};
}

void setBotMap(const Map* map)
{
    botMap = map;
}

extern "C" const BotCell* cellInfo(int32_t x, int32_t y)
{
    static BotCell view;
    view = botMap ? cellView(*botMap, x, y) : BotCell{0, 0, kImpassable};
    return &view;
}

extern "C" const BotPlayer* myRecord(void)
{
    static BotPlayer record;
    const Player* me = botMap ? botMap->me() : nullptr;
    record = me ? playerRecord(*me) : BotPlayer{};
    return &record;
}

} // namespace vorlan
