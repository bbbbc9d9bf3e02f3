#include "mapgen.h"

#include "map.h"

#include <array>
#include <utility>

namespace vorlan {

namespace {

// A small linear congruential generator: the standard library's engines are
// deterministic too, but their distributions are not portable.
class Lcg
{
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t next(uint32_t bound)
    {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) % bound;
    }

private:
    uint32_t state_;
};

using Grid = std::array<std::array<uint8_t, kMaxMapSide>, kMaxMapSide>; // [x][y]

std::vector<std::pair<int, int>> startPositions(int w, int h, int players)
{
    const int l = 2, r = w - 3, t = 2, b = h - 3, cx = w / 2, cy = h / 2;
    std::vector<std::pair<int, int>> s;
    if (players == 2)
        s = {{l, t}, {r, b}};
    else if (players == 4)
        s = {{l, t}, {r, b}, {r, t}, {l, b}};
    else if (players == 6)
        s = {{l, t}, {r, b}, {r, t}, {l, b}, {cx, t}, {w - 1 - cx, b}};
    else
        s = {{l, t}, {r, b}, {r, t}, {l, b}, {cx, t}, {w - 1 - cx, b}, {l, cy}, {r, h - 1 - cy}};
    return s;
}

// Sets a cell and its mirror images on both axes.
void putMirrored(Grid& g, int w, int h, int x, int y, uint8_t kind)
{
    g[x][y] = kind;
    g[w - 1 - x][y] = kind;
    g[x][h - 1 - y] = kind;
    g[w - 1 - x][h - 1 - y] = kind;
}

// Cells reachable from (x, y) over passable blocks.
Grid reachable(const Grid& g, int w, int h, int x, int y)
{
    Grid seen{};
    std::vector<std::pair<int, int>> todo{{x, y}};
    seen[x][y] = 1;
    while (!todo.empty()) {
        auto [cx, cy] = todo.back();
        todo.pop_back();
        const int dx[] = {-1, 1, 0, 0}, dy[] = {0, 0, -1, 1};
        for (int d = 0; d < 4; ++d) {
            const int nx = cx + dx[d], ny = cy + dy[d];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || seen[nx][ny] || g[nx][ny] == kImpassable)
                continue;
            seen[nx][ny] = 1;
            todo.emplace_back(nx, ny);
        }
    }
    return seen;
}

} // namespace

std::vector<MapRecipe> standardMaps()
{
    return {
        {QStringLiteral("duel"), 16, 12, 2, 7, 12, 2, 1},
        {QStringLiteral("crossroads"), 24, 20, 4, 11, 14, 3, 2},
        {QStringLiteral("highlands"), 32, 24, 6, 23, 18, 4, 3},
        {QStringLiteral("warfield"), 40, 40, 8, 42, 15, 6, 4},
    };
}

QByteArray generateMap(const MapRecipe& rc)
{
    const int w = qBound(6, rc.width, kMaxMapSide), h = qBound(6, rc.height, kMaxMapSide);
    Grid g{};
    for (auto& column : g)
        column.fill(kNeutral);
    Lcg rnd(rc.seed);
    const int hw = (w + 1) / 2, hh = (h + 1) / 2;
    for (int x = 0; x < hw; ++x)
        for (int y = 0; y < hh; ++y)
            if (int(rnd.next(100)) < rc.rockPercent)
                putMirrored(g, w, h, x, y, kImpassable);
    const auto place = [&](int count, uint8_t kind) {
        for (int i = 0, tries = 0; i < count && tries < 1000; ++tries) {
            const int x = int(rnd.next(uint32_t(hw))), y = int(rnd.next(uint32_t(hh)));
            if (g[x][y] != kNeutral)
                continue;
            putMirrored(g, w, h, x, y, kind);
            ++i;
        }
    };
    place(rc.goldMines, kGoldMine);
    place(rc.cities, kCity);

    const auto starts = startPositions(w, h, rc.players);
    // Open ground around every start, then carve a path to any start that
    // the rocks have cut off from the first one.
    for (auto [sx, sy] : starts)
        for (int x = sx - 1; x <= sx + 1; ++x)
            for (int y = sy - 1; y <= sy + 1; ++y)
                g[x][y] = kNeutral;
    for (std::size_t i = 1; i < starts.size(); ++i) {
        if (reachable(g, w, h, starts[0].first,
                      starts[0].second)[starts[i].first][starts[i].second])
            continue;
        int x = starts[0].first, y = starts[0].second;
        while (x != starts[i].first || y != starts[i].second) {
            x += x < starts[i].first ? 1 : x > starts[i].first ? -1 : 0;
            if (x == starts[i].first)
                y += y < starts[i].second ? 1 : y > starts[i].second ? -1 : 0;
            if (g[x][y] == kImpassable)
                g[x][y] = kNeutral;
        }
    }

    QByteArray out;
    out.append(char(w)).append(char(h)).append(char(starts.size()));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.append(char(g[x][y]));
    for (auto [sx, sy] : starts)
        out.append(char(sx)).append(char(sy));
    return out;
}

} // namespace vorlan
