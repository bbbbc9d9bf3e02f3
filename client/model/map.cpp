#include "map.h"

#include <limits>
#include <QFile>

namespace vorlan {

namespace {

constexpr int kHeaderBytes = 3;

// Why the bytes are not a map this program can hold, or empty when they are.
QString validate(const QByteArray& b)
{
    if (b.size() < kHeaderBytes)
        return QStringLiteral("the file is shorter than its 3-byte header");
    const int w = uint8_t(b[0]), h = uint8_t(b[1]), n = uint8_t(b[2]);
    if (w == 0 || h == 0 || w > kMaxMapSide || h > kMaxMapSide)
        return QStringLiteral("size %1 x %2 is outside 1..%3").arg(w).arg(h).arg(kMaxMapSide);
    if (n > kMaxOwners)
        return QStringLiteral("%1 start positions, at most %2 allowed").arg(n).arg(kMaxOwners);
    const qsizetype needed = kHeaderBytes + qsizetype(w) * h + 2 * n;
    if (b.size() < needed)
        return QStringLiteral("%1 bytes, %2 announced").arg(b.size()).arg(needed);
    for (int i = 0; i < w * h; ++i) {
        const int k = uint8_t(b[kHeaderBytes + i]);
        if (k > kLastKind)
            return QStringLiteral("block kind %1 at (%2, %3) is above %4")
                .arg(k)
                .arg(i % w)
                .arg(i / w)
                .arg(kLastKind);
    }
    return {};
}

} // namespace

int32_t grownBy(int32_t value, int32_t growth)
{
    // Figures come from the server as any int32; growth stops at the top.
    constexpr int32_t top = std::numeric_limits<int32_t>::max();
    return value > top - growth ? top : value + growth;
}

int32_t armyGrowth(int32_t army)
{
    if (army < 30)
        return 1;
    if (army < 100)
        return 2;
    return 3;
}

Map::Map() = default;

Map::Map(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        loadError_ = QStringLiteral("cannot open: %1").arg(f.errorString());
        return;
    }
    // A valid map is at most 3 + 1600 + 16 bytes; read a little more so that
    // trailing bytes are seen (and ignored) without reading a huge file.
    QString error;
    *this = fromBytes(f.read(64 * 1024), &error);
    loadError_ = error;
}

Map Map::fromBytes(const QByteArray& bytes, QString* error)
{
    Map m;
    m.loadError_ = validate(bytes);
    if (error)
        *error = m.loadError_;
    if (!m.loadError_.isEmpty())
        return m;

    const auto byte = [&](qsizetype i) { return int32_t(uint8_t(bytes[i])); };
    m.width = byte(0);
    m.height = byte(1);
    const int n = byte(2);
    m.playerCount = n + 1;
    qsizetype pos = kHeaderBytes;
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            Cell& c = m.cells[x][y];
            c.kind = byte(pos++);
            if (c.kind != kImpassable && c.kind != kGoldMine && c.kind != kCity)
                c.army = 1;
            if (c.kind == kGoldMine)
                c.gold = 100;
        }
    }
    for (int i = 0; i < n; ++i) {
        m.players[i].x = byte(pos++);
        m.players[i].y = byte(pos++);
    }
    return m;
}

Player* Map::me()
{
    return myIndex >= 0 && myIndex < kPlayerRecords ? &players[myIndex] : nullptr;
}

const Player* Map::me() const
{
    return const_cast<Map*>(this)->me();
}

void Map::growBlocks(const std::function<void(int, int)>& redrawBlock)
{
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            Cell& c = cells[x][y];
            switch (c.kind) {
            case kImpassable:
            case kCity:
                break;
            case kGoldMine:
                c.gold = grownBy(c.gold, kGoldMineGrowth);
                break;
            default:
                c.army = grownBy(c.army, armyGrowth(c.army));
                break;
            }
            if (c.kind == myIndex && showArmyLevels == 1 && redrawBlock)
                redrawBlock(x, y);
        }
    }
}

} // namespace vorlan
