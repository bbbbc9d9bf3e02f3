#pragma once

#include "map.h"

#include <vector>

namespace vorlan {

constexpr int32_t kNotPlaced = 10; ///< place of a record that takes part in no ranking

// The two kinds of game, numbered as the game type list orders them.
enum GameType : int
{
    kTerritoryGame = 0,
    kGoldGame = 1,
};

// The number of player records in use (playerCount, kept within the array).
int recordsInUse(const Map& map);

// Recomputes the four totals and the four places of every record in use:
// army carried, in cities and on own blocks; gold carried and in cities (gold
// lying on blocks counts for nobody); own blocks; soldiers killed. Only named
// records are placed, 1 = the greatest value; among equal values the higher
// player index takes the better place. Unnamed records get kNotPlaced.
void refreshTotals(Map& map);

// The named records in use in the order of their place in the game type's
// ranking (blocks for territory, gold for gold), as left by refreshTotals.
std::vector<int> finishingOrder(const Map& map, int gameType);

// The figure the results show for a player in a game of that type.
int32_t resultValue(const Player& player, int gameType);

} // namespace vorlan
