#pragma once
// The generator of the maps the server offers. Deterministic: the same recipe
// always gives the same bytes, so the committed files can be checked against it.

#include <cstdint>
#include <QByteArray>
#include <QString>
#include <vector>

namespace vorlan {

struct MapRecipe
{
    QString name; ///< the map's name in the lobby; the file is name + ".map"
    int width = 16;
    int height = 12;
    int players = 2; ///< start positions: 2, 4, 6 or 8
    uint32_t seed = 1;
    int rockPercent = 12; ///< share of impassable blocks
    int goldMines = 2;    ///< before mirroring
    int cities = 1;       ///< before mirroring
};

// The maps shipped with the server.
std::vector<MapRecipe> standardMaps();

// A map file: every start position is reachable from every other, the map is
// mirror-symmetric on both axes so no start position is favoured.
QByteArray generateMap(const MapRecipe& recipe);

} // namespace vorlan
