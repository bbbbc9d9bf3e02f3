// The 18 block pictures. They are 16 x 16 pixel art drawn without
// antialiasing, so that a nearest-neighbour stretch to any block size from 8
// to 64 keeps hard, clean edges.
#include "assetgen.h"

#include <algorithm>
#include <cmath>
#include <QPainter>

namespace assetgen {

QColor shade(const QColor& c, double factor)
{
    auto f = [factor](int v) {
        if (factor <= 1.0)
            return std::clamp(int(std::lround(v * factor)), 0, 255);
        // Lighten towards white, so bright colours keep their hue.
        return std::clamp(int(std::lround(v + (255 - v) * (factor - 1.0))), 0, 255);
    };
    return QColor(f(c.red()), f(c.green()), f(c.blue()));
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    auto m = [t](int x, int y) { return std::clamp(int(std::lround(x + (y - x) * t)), 0, 255); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()),
                  m(a.alpha(), b.alpha()));
}

void drawMask(QPainter& painter, const Mask& mask, int x, int y, const QColor& colour)
{
    for (int row = 0; row < int(mask.size()); ++row)
        for (int col = 0; mask[size_t(row)][col] != '\0'; ++col)
            if (mask[size_t(row)][col] == '#')
                painter.fillRect(x + col, y + row, 1, 1, colour);
}

QImage outlined(const QImage& layer, const QColor& colour)
{
    QImage out = layer.convertToFormat(QImage::Format_ARGB32);
    const QImage src = out;
    auto opaque = [&src](int x, int y) {
        return x >= 0 && y >= 0 && x < src.width() && y < src.height() &&
               qAlpha(src.pixel(x, y)) > 0;
    };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (!opaque(x, y) &&
                (opaque(x - 1, y) || opaque(x + 1, y) || opaque(x, y - 1) || opaque(x, y + 1)))
                out.setPixel(x, y, colour.rgba());
    return out;
}

namespace {

QImage newBlock()
{
    QImage image(kBlockSide, kBlockSide, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QImage newLayer(int w = kBlockSide, int h = kBlockSide)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Fills the block with `base`, a little lighter at the top and darker at the
// bottom, so a field of blocks does not look flat.
void verticalShade(QPainter& p, const QColor& base, double top, double bottom)
{
    for (int y = 0; y < kBlockSide; ++y) {
        const double t = double(y) / (kBlockSide - 1);
        const double f = top + (bottom - top) * t;
        p.fillRect(0, y, kBlockSide, 1, shade(base, f));
    }
}

// One emblem per player, 10 x 10, drawn at (3, 3) with an outline around it.
const std::array<Mask, kPlayers> kEmblems = {{
    // 0: disc
    {"...####...", ".########.", ".########.", "##########", "##########", "##########",
     "##########", ".########.", ".########.", "...####..."},
    // 1: triangle
    {"....##....", "....##....", "...####...", "...####...", "..######..", "..######..",
     ".########.", ".########.", "##########", "##########"},
    // 2: cross
    {"...####...", "...####...", "...####...", "##########", "##########", "##########",
     "##########", "...####...", "...####...", "...####..."},
    // 3: diamond
    {"....##....", "...####...", "..######..", ".########.", "##########", "##########",
     ".########.", "..######..", "...####...", "....##...."},
    // 4: star
    {"....##....", "....##....", "...####...", "##########", ".########.", "..######..",
     "..######..", ".###..###.", ".##....##.", "##......##"},
    // 5: saltire
    {"##......##", "###....###", ".###..###.", "..######..", "...####...", "...####...",
     "..######..", ".###..###.", "###....###", "##......##"},
    // 6: crescent
    {"...####...", "..####....", ".####.....", ".###......", "####......", "####......",
     ".###......", ".####.....", "..####....", "...####..."},
    // 7: ring
    {"...####...", ".########.", ".###..###.", "###....###", "##......##", "##......##",
     "###....###", ".###..###.", ".########.", "...####..."},
}};

struct OwnerStyle
{
    QColor base;
    QColor emblem;
    QColor outline;
};

OwnerStyle ownerStyle(int player)
{
    const QColor base = playerColour(player);
    const QColor white(250, 250, 250);
    const QColor ink(28, 28, 36);
    switch (player) {
    case 3: // yellow
    case 5: // cyan
    case 7: // white
        return {base, ink, shade(base, 1.6)};
    default:
        return {base, white, shade(base, 0.42)};
    }
}

QImage ownerPicture(int player)
{
    const OwnerStyle style = ownerStyle(player);
    QImage image = newBlock();
    QPainter p(&image);
    verticalShade(p, style.base, 1.25, 0.80);

    QImage layer = newLayer();
    {
        QPainter lp(&layer);
        // The crescent leans left; shift it so its weight sits in the middle.
        const int dx = player == 6 ? 4 : 3;
        drawMask(lp, kEmblems[size_t(player)], dx, 3, style.emblem);
    }
    p.drawImage(0, 0, outlined(layer, style.outline));
    return image;
}

// Speckles of `colour` on about `percent` of the pixels, from a fixed seed.
void speckle(QPainter& p, Rng& rng, int percent, const QColor& colour, QRect area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (rng.below(100) < percent)
                p.fillRect(x, y, 1, 1, colour);
}

const QColor kGrass(78, 138, 50);

void drawGrass(QPainter& p, uint64_t seed)
{
    Rng rng(seed);
    p.fillRect(0, 0, kBlockSide, kBlockSide, kGrass);
    speckle(p, rng, 14, shade(kGrass, 0.78), QRect(0, 0, kBlockSide, kBlockSide));
    // Blades: short light strokes, two pixels high with a brighter tip.
    for (int i = 0; i < 15; ++i) {
        const int x = rng.below(kBlockSide);
        const int y = rng.range(1, kBlockSide - 1);
        p.fillRect(x, y - 1, 1, 1, QColor(150, 200, 92));
        p.fillRect(x, y, 1, 1, QColor(112, 172, 66));
    }
}

QImage neutralPicture()
{
    QImage image = newBlock();
    QPainter p(&image);
    drawGrass(p, 9);
    return image;
}

QImage impassablePicture()
{
    QImage image = newBlock();
    QPainter p(&image);
    Rng rng(8);
    const QColor ground(92, 104, 66);
    p.fillRect(0, 0, kBlockSide, kBlockSide, ground);
    speckle(p, rng, 20, shade(ground, 0.78), QRect(0, 0, kBlockSide, kBlockSide));

    // Two steep peaks, a small one behind on the right and a big one in
    // front: lit from the left, shaded on the right, snow on the top.
    struct Peak
    {
        int centre; ///< the ridge runs between columns centre - 1 and centre
        int top;
        double spread; ///< half width gained per row
        int snowRows;
    };
    const Peak peaks[] = {{12, 4, 0.55, 3}, {6, 1, 0.5, 5}};
    const QColor lit(170, 160, 148), dark(102, 94, 90), snow(250, 250, 252),
        snowShade(188, 198, 218), edge(40, 36, 36);
    for (const Peak& pk : peaks)
        for (int y = pk.top; y < kBlockSide; ++y) {
            const double half = 1 + (y - pk.top) * pk.spread;
            const int left = int(std::lround(pk.centre - half));
            const int right = int(std::lround(pk.centre + half)) - 1;
            for (int x = std::max(0, left); x <= std::min(kBlockSide - 1, right); ++x) {
                const bool leftFace = x < pk.centre;
                const bool snowy = y - pk.top < pk.snowRows + ((x + y) % 3 == 0 ? 1 : 0);
                QColor c = snowy ? (leftFace ? snow : snowShade) : (leftFace ? lit : dark);
                if (x == left || x == right || y == pk.top)
                    c = edge;
                p.fillRect(x, y, 1, 1, c);
            }
        }
    // Gullies in the big peak's faces.
    const QColor gully = shade(dark, 0.8);
    p.fillRect(4, 8, 1, 2, dark);
    p.fillRect(3, 11, 1, 3, dark);
    p.fillRect(7, 7, 1, 3, gully);
    p.fillRect(8, 11, 1, 3, gully);
    p.fillRect(13, 10, 1, 2, gully);
    return image;
}

QImage goldMinePicture()
{
    QImage image = newBlock();
    QPainter p(&image);
    Rng rng(10);
    const QColor earth(110, 82, 52);
    p.fillRect(0, 0, kBlockSide, kBlockSide, earth);
    speckle(p, rng, 16, shade(earth, 0.78), QRect(0, 0, kBlockSide, kBlockSide));

    // Timbered entrance of the shaft.
    const QColor timber(176, 118, 56), timberDark(110, 66, 28), hole(20, 14, 10);
    p.fillRect(4, 3, 8, 9, hole);
    p.fillRect(3, 2, 10, 2, timber);
    p.fillRect(3, 3, 10, 1, timberDark);
    p.fillRect(3, 4, 2, 8, timber);
    p.fillRect(11, 4, 2, 8, timber);
    p.fillRect(4, 4, 1, 8, timberDark);
    p.fillRect(12, 4, 1, 8, timberDark);

    // A heap of nuggets in front of it.
    QImage layer = newLayer();
    {
        QPainter lp(&layer);
        const Mask heap = {"....##..##....", "..##########..", ".############.", "##############"};
        drawMask(lp, heap, 1, 11, QColor(236, 184, 30));
        const Mask light = {"....#...#.....", "..#...#...#...", ".#..#...#..#..",
                            "..............."};
        drawMask(lp, light, 1, 11, QColor(255, 244, 150));
    }
    p.drawImage(0, 0, outlined(layer, QColor(96, 58, 8)));
    // Sparkles.
    p.fillRect(2, 9, 1, 1, QColor(255, 250, 200));
    p.fillRect(13, 8, 1, 1, QColor(255, 250, 200));
    return image;
}

QImage cityPicture()
{
    QImage image = newBlock();
    QPainter p(&image);
    drawGrass(p, 11);

    const QColor wall(214, 206, 190), wallLight(240, 234, 222), wallDark(150, 140, 124),
        roof(204, 40, 32), roofDark(136, 22, 18), window(36, 30, 40), flag(250, 212, 40);
    QImage layer = newLayer();
    {
        QPainter lp(&layer);
        // Keep in the middle, with battlements and a gate.
        lp.fillRect(5, 5, 6, 10, wall);
        lp.fillRect(6, 4, 1, 1, wall);
        lp.fillRect(9, 4, 1, 1, wall);
        lp.fillRect(10, 5, 1, 10, wallDark);
        lp.fillRect(7, 10, 2, 5, window);
        lp.fillRect(7, 6, 2, 2, window);
        // Towers with pointed roofs.
        for (int left : {1, 11}) {
            lp.fillRect(left, 5, 4, 10, wall);
            lp.fillRect(left, 5, 1, 10, wallLight);
            lp.fillRect(left + 3, 5, 1, 10, wallDark);
            lp.fillRect(left + 1, 8, 2, 2, window);
            lp.fillRect(left - 1, 4, 6, 1, roof);
            lp.fillRect(left, 3, 4, 1, roof);
            lp.fillRect(left + 1, 2, 2, 1, roof);
            lp.fillRect(left + 2, 2, 1, 1, roofDark);
            lp.fillRect(left + 2, 3, 2, 1, roofDark);
            lp.fillRect(left + 3, 4, 2, 1, roofDark);
        }
        // Flag on the keep.
        lp.fillRect(8, 0, 1, 4, QColor(60, 50, 40));
        lp.fillRect(9, 0, 3, 2, flag);
    }
    p.drawImage(0, 0, outlined(layer, QColor(44, 40, 36)));
    return image;
}

// Garrison pictures: dice-like pips, one to six, on a steel tone that deepens
// as the garrison grows; the two largest have golden pips.
QImage garrisonPicture(int level) // level 1..6
{
    const double t = (level - 1) / 5.0;
    const QColor base = mix(QColor(150, 164, 184), QColor(54, 66, 104), t);
    QImage image = newBlock();
    QPainter p(&image);
    verticalShade(p, base, 1.18, 0.84);

    static const std::array<std::vector<QPoint>, 6> kPips = {{
        {{1, 1}},
        {{0, 0}, {2, 2}},
        {{0, 0}, {1, 1}, {2, 2}},
        {{0, 0}, {2, 0}, {0, 2}, {2, 2}},
        {{0, 0}, {2, 0}, {1, 1}, {0, 2}, {2, 2}},
        {{0, 0}, {0, 1}, {0, 2}, {2, 0}, {2, 1}, {2, 2}},
    }};
    const QColor pip = level >= 5 ? QColor(255, 214, 64) : QColor(246, 248, 252);
    const QColor pipLight = level >= 5 ? QColor(255, 248, 190) : QColor(255, 255, 255);
    QImage layer = newLayer();
    {
        QPainter lp(&layer);
        for (const QPoint& cell : kPips[size_t(level - 1)]) {
            const int x = 3 + cell.x() * 4, y = 3 + cell.y() * 4;
            lp.fillRect(x, y, 3, 3, pip);
            lp.fillRect(x, y, 1, 1, pipLight);
        }
    }
    p.drawImage(0, 0, outlined(layer, QColor(24, 28, 44)));
    return image;
}

} // namespace

QColor playerColour(int player)
{
    static const std::array<QColor, kPlayers> kColours = {{
        QColor(216, 36, 36),   // red
        QColor(36, 82, 224),   // blue
        QColor(40, 188, 56),   // green
        QColor(244, 212, 32),  // yellow
        QColor(190, 48, 200),  // magenta
        QColor(40, 206, 222),  // cyan
        QColor(244, 126, 20),  // orange
        QColor(238, 238, 238), // white
    }};
    return kColours[size_t(std::clamp(player, 0, kPlayers - 1))];
}

QImage blockPicture(int number)
{
    if (number >= 0 && number < kPlayers)
        return ownerPicture(number);
    switch (number) {
    case 8:
        return impassablePicture();
    case 9:
        return neutralPicture();
    case 10:
        return goldMinePicture();
    case 11:
        return cityPicture();
    default:
        return garrisonPicture(std::clamp(number - 11, 1, 6));
    }
}

BlockSet blockPictures()
{
    BlockSet set;
    for (int i = 0; i < kBlockPictures; ++i)
        set[size_t(i)] = blockPicture(i);
    return set;
}

} // namespace assetgen
