#pragma once

#include <array>
#include <cstdint>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <vector>

// Draws the program's pictures and builds its idle map. Everything here is
// deterministic: the same build gives the same bytes on every run.
namespace assetgen {

// A small, fully specified random generator (splitmix64), so that textures
// and the landscape do not depend on the standard library's distributions.
class Rng
{
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % uint64_t(n)); }
    int range(int lo, int hi) { return lo + below(hi - lo + 1); }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    uint64_t state_;
};

constexpr int kBlockPictures = 18;
constexpr int kBlockSide = 16; ///< native size of the block pictures
constexpr int kPlayers = 8;
using BlockSet = std::array<QImage, kBlockPictures>;

// Colour helpers.
QColor shade(const QColor& c, double factor); ///< < 1 darker, > 1 lighter
QColor mix(const QColor& a, const QColor& b, double t);

// A pixel mask: one string per row, '#' for a set pixel.
using Mask = std::vector<const char*>;

// Draws a mask with its top-left at (x, y), one 1 x 1 rectangle per set pixel.
void drawMask(QPainter& painter, const Mask& mask, int x, int y, const QColor& colour);

// Puts a one-pixel outline of `colour` around every opaque pixel of an ARGB
// layer (4-neighbourhood), so small shapes stay readable on any background.
QImage outlined(const QImage& layer, const QColor& colour);

// Block pictures 0..17: owners, impassable, neutral, gold mine, city, garrisons.
QColor playerColour(int player);
QImage blockPicture(int number);
BlockSet blockPictures();

// Small pictures: pause button glyphs, menu highlight brush, icons, status icons.
QImage playGlyph();
QImage pauseGlyph();
QImage menuBrush();
// The program icon, drawn for a side of 32 pixels and scaled as a drawing to
// `side` (the desktop icons of the other sizes).
QImage programIcon(int side = 32);
QImage disguiseIcon();
QImage playerStatusIcon();
QImage blockStatusIcon();
QImage leaveStatusIcon();
QImage roundStatusIcon();

// The idle map.
struct Landscape
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> kinds; ///< row by row
    std::vector<QPoint> starts; ///< one per player

    uint8_t at(int x, int y) const { return kinds[size_t(y * width + x)]; }
    uint8_t& at(int x, int y) { return kinds[size_t(y * width + x)]; }
    QByteArray toMapFile() const;
};
Landscape idleLandscape();
QStringList landscapeProblems(const Landscape& land); ///< empty when the map is sound

// Draws the map as the game does: pitch size + 4, raised frames, teal window.
QImage renderLandscape(const Landscape& land, const BlockSet& blocks, int blockSize,
                       QSize canvas = QSize());

// Larger pictures.
QImage titlePicture(const BlockSet& blocks);
QImage resultsPicture();
QImage aboutPicture(const Landscape& land, const BlockSet& blocks);

} // namespace assetgen
