#include "updates.h"

namespace vorlan {

bool applyPlayerUpdate(Map& map, const PlayerUpdate& m)
{
    if (m.player < 0 || m.player >= kMaxOwners || !map.contains(m.x, m.y))
        return false;
    Player& p = map.players[m.player];
    p.army = m.army;
    p.gold = m.gold;
    p.cityArmy = m.cityArmy;
    p.cityGold = m.cityGold;
    p.x = m.x;
    p.y = m.y;
    p.killed = m.killed;
    p.marketOffer = m.marketOffer;
    p.marketAmount = m.marketAmount;
    p.armyChange = m.armyChange;
    p.goldChange = m.goldChange;
    p.name = m.name;
    return true;
}

} // namespace vorlan
