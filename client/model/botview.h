#pragma once

#include "botcontract.h"
#include "map.h"

namespace vorlan {

// What the bot may see of block (x, y): outside the grid is impassable, and
// the army and gold of other players' blocks are hidden.
BotCell cellView(const Map& map, int32_t x, int32_t y);

// The fixed-layout copy of a player record that the bot reads.
BotPlayer playerRecord(const Player& player);

// The map the two callbacks below read. Set it before calling the bot and
// clear it when the map is replaced.
void setBotMap(const Map* map);

extern "C" {
// Callbacks handed to the bot library. Each returns one static buffer that
// the next call overwrites, as the contract allows.
const BotCell* cellInfo(int32_t x, int32_t y);
const BotPlayer* myRecord(void);
}

} // namespace vorlan
