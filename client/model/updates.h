#pragma once
// What the server's record messages change in a Map, in one place for the
// client and for the server's computer players, so both see a game alike.

#include "map.h"
#include "messages.h"

namespace vorlan {

// Stores a player's record. One for no player, or one that puts him off the
// map, is dropped whole; returns whether it was stored.
bool applyPlayerUpdate(Map& map, const PlayerUpdate& m);

} // namespace vorlan
