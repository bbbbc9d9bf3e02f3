// The idle map: a landscape the player sees behind the title on every start.
// It is built by code from a fixed seed: a mountain massif with a gorge
// running from it to the bottom edge, winding mountain ranges, a small realm
// of blocks round each player's start near the edge, cities on open land and
// gold mines at the foot of the mountains. Every open block can be reached.
#include "assetgen.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <QByteArray>

namespace assetgen {

namespace {

constexpr int kWidth = 30; // 30 x 20 blocks fill the map area of the main window at size 16
constexpr int kHeight = 20;
constexpr uint64_t kSeed = 1999;
constexpr int kRanges = 5; ///< mountain ranges besides the massif and the gorge
constexpr double kMassifRadius = 3.4;
constexpr int kRocks = 6; ///< lone rocks
constexpr double kPi = 3.14159265358979323846;

constexpr uint8_t kImpassable = 8;
constexpr uint8_t kNeutral = 9;
constexpr uint8_t kGoldMine = 10;
constexpr uint8_t kCity = 11;

bool isOwner(uint8_t kind)
{
    return kind < kPlayers;
}

const QPoint kSteps[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

bool inside(const Landscape& land, QPoint c)
{
    return c.x() >= 0 && c.y() >= 0 && c.x() < land.width && c.y() < land.height;
}

// Labels the passable blocks by connected region; returns the region count.
int regions(const Landscape& land, std::vector<int>& label)
{
    label.assign(land.kinds.size(), -1);
    int count = 0;
    for (int y = 0; y < land.height; ++y)
        for (int x = 0; x < land.width; ++x) {
            if (land.at(x, y) == kImpassable || label[size_t(y * land.width + x)] >= 0)
                continue;
            std::deque<QPoint> queue{QPoint(x, y)};
            label[size_t(y * land.width + x)] = count;
            while (!queue.empty()) {
                const QPoint c = queue.front();
                queue.pop_front();
                for (const QPoint& s : kSteps) {
                    const QPoint n = c + s;
                    if (!inside(land, n) || land.at(n.x(), n.y()) == kImpassable)
                        continue;
                    int& l = label[size_t(n.y() * land.width + n.x())];
                    if (l < 0) {
                        l = count;
                        queue.push_back(n);
                    }
                }
            }
            ++count;
        }
    return count;
}

// Joins every passable region to the one holding `root`: small pockets are
// filled with rock, larger ones get the cheapest pass cut through the rock.
void connect(Landscape& land, QPoint root)
{
    std::vector<int> label;
    while (regions(land, label) > 1) {
        const int main = label[size_t(root.y() * land.width + root.x())];
        // 0-1 breadth-first search from the main region, counting rock crossed.
        const int n = int(land.kinds.size());
        std::vector<int> cost(size_t(n), std::numeric_limits<int>::max()), from(size_t(n), -1);
        std::deque<int> queue;
        for (int i = 0; i < n; ++i)
            if (label[size_t(i)] == main) {
                cost[size_t(i)] = 0;
                queue.push_back(i);
            }
        while (!queue.empty()) {
            const int i = queue.front();
            queue.pop_front();
            const QPoint c(i % land.width, i / land.width);
            for (const QPoint& s : kSteps) {
                const QPoint nb = c + s;
                if (!inside(land, nb))
                    continue;
                const int j = nb.y() * land.width + nb.x();
                const int step = land.kinds[size_t(j)] == kImpassable ? 1 : 0;
                if (cost[size_t(i)] + step < cost[size_t(j)]) {
                    cost[size_t(j)] = cost[size_t(i)] + step;
                    from[size_t(j)] = i;
                    step ? queue.push_back(j) : queue.push_front(j);
                }
            }
        }
        // The first region that is not the main one, in reading order.
        int other = -1, size = 0;
        for (int i = 0; i < n; ++i)
            if (label[size_t(i)] >= 0 && label[size_t(i)] != main) {
                if (other < 0)
                    other = label[size_t(i)];
                if (label[size_t(i)] == other)
                    ++size;
            }
        if (size < 6) {
            for (int i = 0; i < n; ++i)
                if (label[size_t(i)] == other)
                    land.kinds[size_t(i)] = kImpassable;
            continue;
        }
        int best = -1;
        for (int i = 0; i < n; ++i)
            if (label[size_t(i)] == other && (best < 0 || cost[size_t(i)] < cost[size_t(best)]))
                best = i;
        for (int i = best; i >= 0 && label[size_t(i)] != main; i = from[size_t(i)])
            if (land.kinds[size_t(i)] == kImpassable)
                land.kinds[size_t(i)] = kNeutral;
    }
}

int distance2(QPoint a, QPoint b)
{
    const QPoint d = a - b;
    return d.x() * d.x() + d.y() * d.y();
}

bool nearKind(const Landscape& land, QPoint c, int radius, auto predicate)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint n = c + QPoint(dx, dy);
            if ((dx || dy) && inside(land, n) && predicate(land.at(n.x(), n.y())))
                return true;
        }
    return false;
}

// Lays a winding line of rock: a walker that turns by up to `wiggle` radians
// a step (drawn back a little towards its first heading), leaves a 4-connected trail and, in
// `thickPercent` of its steps, makes the trail two blocks thick. Stops at the edge of the map.
void carve(Landscape& land, Rng& rng, QPointF at, double heading, double wiggle, int steps,
           int thickPercent, std::vector<QPoint>* trail)
{
    auto put = [&](QPoint c) {
        if (!inside(land, c))
            return;
        land.at(c.x(), c.y()) = kImpassable;
        if (trail)
            trail->push_back(c);
    };
    const double course = heading;
    QPoint last(int(std::floor(at.x())), int(std::floor(at.y())));
    put(last);
    for (int i = 0; i < steps; ++i) {
        heading += (rng.unit() * 2 - 1) * wiggle + (course - heading) * 0.25;
        at += QPointF(std::cos(heading), std::sin(heading));
        const QPoint c(int(std::floor(at.x())), int(std::floor(at.y())));
        if (!inside(land, c))
            break;
        if (c.x() != last.x() && c.y() != last.y())
            put(QPoint(c.x(), last.y())); // no diagonal gaps
        put(c);
        if (rng.below(100) < thickPercent)
            put(c + kSteps[rng.below(4)]);
        last = c;
    }
}

} // namespace

QByteArray Landscape::toMapFile() const
{
    QByteArray bytes;
    bytes.append(char(width));
    bytes.append(char(height));
    bytes.append(char(starts.size()));
    for (uint8_t k : kinds)
        bytes.append(char(k));
    for (const QPoint& s : starts) {
        bytes.append(char(s.x()));
        bytes.append(char(s.y()));
    }
    return bytes;
}

Landscape idleLandscape()
{
    Rng rng(kSeed);
    Landscape land;
    land.width = kWidth;
    land.height = kHeight;
    land.kinds.assign(size_t(kWidth * kHeight), kNeutral);

    // A mountain massif near the top, and a gorge that runs from it down to
    // the bottom edge, with two fords.
    const QPointF massif(rng.range(17, 20) + 0.5, rng.range(1, 2) + 0.5);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const QPointF d = QPointF(x + 0.5, y + 0.5) - massif;
            const double r = std::sqrt(d.x() * d.x() + d.y() * d.y() * 1.8);
            if (r < kMassifRadius + (rng.unit() - 0.5) * 1.4)
                land.at(x, y) = kImpassable;
        }
    {
        std::vector<QPoint> gorge;
        carve(land, rng, massif, kPi / 2 + 0.35, 0.5, kHeight * 3, 0, &gorge);
        for (int ford : {8 + rng.below(3), 14 + rng.below(3)})
            for (const QPoint& c : gorge)
                if (c.y() == ford)
                    land.at(c.x(), c.y()) = kNeutral;
    }
    // Mountain ranges, some of them two blocks thick, and a few lone rocks.
    for (int i = 0; i < kRanges; ++i) {
        const QPointF from(rng.range(1, kWidth - 2) + 0.5, rng.range(1, kHeight - 2) + 0.5);
        carve(land, rng, from, rng.unit() * 2 * kPi, 0.45, rng.range(8, 15), 45, nullptr);
    }
    for (int i = 0; i < kRocks; ++i)
        land.at(rng.below(kWidth), rng.below(kHeight)) = kImpassable;

    // The players' starts lie round the edge, where the title picture does
    // not hide them.
    const QPoint anchors[kPlayers] = {{3, 2},   {14, 2},  {26, 2}, {27, 10},
                                      {26, 17}, {15, 17}, {3, 17}, {2, 10}};
    for (int i = 0; i < kPlayers; ++i) {
        QPoint a = anchors[i] + QPoint(rng.range(-1, 1), rng.range(-1, 1));
        a.setX(std::clamp(a.x(), 1, kWidth - 2));
        a.setY(std::clamp(a.y(), 1, kHeight - 2));
        land.starts.push_back(a);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                land.at(a.x() + dx, a.y() + dy) = kNeutral;
    }
    connect(land, land.starts[0]);

    // A small realm round each start, grown block by block.
    for (int i = 0; i < kPlayers; ++i) {
        const QPoint start = land.starts[size_t(i)];
        std::vector<QPoint> realm{start};
        land.at(start.x(), start.y()) = uint8_t(i);
        const int size = rng.range(5, 7);
        for (int tries = 0; int(realm.size()) < size && tries < 200; ++tries) {
            const QPoint from = realm[size_t(rng.below(int(realm.size())))];
            const QPoint c = from + kSteps[rng.below(4)];
            if (!inside(land, c) || land.at(c.x(), c.y()) != kNeutral)
                continue;
            // Keep realms apart by at least one block of open land.
            if (nearKind(land, c, 1, [i](uint8_t k) { return isOwner(k) && k != i; }))
                continue;
            land.at(c.x(), c.y()) = uint8_t(i);
            realm.push_back(c);
        }
    }

    // Cities on open land, away from the realms and from each other.
    auto placeCities = [&](int count, QRect area, int spacing) {
        for (int placed = 0, tries = 0; placed < count && tries < 2000; ++tries) {
            const QPoint c(rng.range(area.left(), area.right()),
                           rng.range(area.top(), area.bottom()));
            if (land.at(c.x(), c.y()) != kNeutral ||
                nearKind(land, c, 1, [](uint8_t k) { return k != kNeutral; }) ||
                nearKind(land, c, spacing, [](uint8_t k) { return k == kCity; }))
                continue;
            bool farFromStarts = true;
            for (const QPoint& s : land.starts)
                farFromStarts = farFromStarts && distance2(s, c) >= 9;
            if (!farFromStarts)
                continue;
            land.at(c.x(), c.y()) = kCity;
            ++placed;
        }
    };
    placeCities(2, QRect(8, 6, 14, 8), 4);                   // the middle
    placeCities(5, QRect(1, 1, kWidth - 2, kHeight - 2), 5); // the rest

    // Gold mines at the foot of the mountains, none next to another.
    for (int placed = 0, tries = 0; placed < 9 && tries < 4000; ++tries) {
        const QPoint c(rng.below(kWidth), rng.below(kHeight));
        if (land.at(c.x(), c.y()) != kNeutral)
            continue;
        if (!nearKind(land, c, 1, [](uint8_t k) { return k == kImpassable; }) ||
            nearKind(land, c, 2, [](uint8_t k) { return k == kGoldMine || isOwner(k); }))
            continue;
        land.at(c.x(), c.y()) = kGoldMine;
        ++placed;
    }
    return land;
}

QStringList landscapeProblems(const Landscape& land)
{
    QStringList problems;
    if (land.width < 1 || land.width > 40 || land.height < 1 || land.height > 40)
        problems
            << QStringLiteral("size %1 x %2 is outside 1..40").arg(land.width).arg(land.height);
    if (land.kinds.size() != size_t(land.width * land.height))
        return problems << QStringLiteral("kind count does not match the size");
    if (land.starts.size() > size_t(kPlayers))
        problems << QStringLiteral("more than 8 start positions");
    int counts[12] = {};
    for (uint8_t k : land.kinds) {
        if (k > kCity)
            return problems << QStringLiteral("block kind %1 above 11").arg(k);
        ++counts[k];
    }
    for (size_t i = 0; i < land.starts.size(); ++i) {
        const QPoint s = land.starts[i];
        if (!inside(land, s))
            problems << QStringLiteral("start %1 is outside the map").arg(i);
        else if (land.at(s.x(), s.y()) != i)
            problems << QStringLiteral("start %1 is not on its own block").arg(i);
    }
    for (int i = 0; i < int(land.starts.size()); ++i)
        if (counts[i] < 3)
            problems << QStringLiteral("player %1 has fewer than 3 blocks").arg(i);
    if (counts[kCity] < 4)
        problems << QStringLiteral("fewer than 4 cities");
    if (counts[kGoldMine] < 4)
        problems << QStringLiteral("fewer than 4 gold mines");
    std::vector<int> label;
    if (regions(land, label) != 1)
        problems << QStringLiteral("the open land is not one connected region");
    return problems;
}

} // namespace assetgen
