#include "mappanel.h"

#include <algorithm>
#include <cstring>
#include <QPainter>
#include <QPaintEvent>
#include <QRegion>

namespace vorlan {

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kGrey(128, 128, 128);
const QColor kRed(255, 0, 0);

// One-pixel lines from the first point towards the second, the end point
// not drawn. Only horizontal and vertical lines are needed.
void hline(QPainter& p, int x1, int x2, int y, const QColor& c)
{
    if (x2 > x1)
        p.fillRect(x1, y, x2 - x1, 1, c);
}

void vline(QPainter& p, int x, int y1, int y2, const QColor& c)
{
    if (y2 > y1)
        p.fillRect(x, y1, 1, y2 - y1, c);
}

} // namespace

QSize mapPanelSize(const Map& map)
{
    return QSize(std::max(map.width * (map.blockWidth + 4) + 4, 400),
                 std::max(map.height * (map.blockHeight + 4) + 4, 360));
}

MapPanel::MapPanel(BlockPictures* pictures, QWidget* parent) : QWidget(parent), pictures_(pictures)
{
    setObjectName(QStringLiteral("mapPanel"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapPanel::ensureCanvas()
{
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (canvas_.size() != size)
        canvas_ = QImage(size, QImage::Format_RGB32);
}

void MapPanel::paintMap()
{
    ensureCanvas();
    const Map* map = currentMap();
    if (!map) {
        canvas_.fill(kWindowColor);
    } else {
        // The tiles cover the grid completely, so only the rest is cleared.
        const int gridW = map->width * (map->blockWidth + 4) + 1;
        const int gridH = map->height * (map->blockHeight + 4) + 1;
        QPainter p(&canvas_);
        const QRect all = canvas_.rect();
        const QRect grid = map->width > 0 && map->height > 0 ? QRect(0, 0, gridW, gridH) : QRect();
        for (const QRect& r : QRegion(all).subtracted(grid))
            p.fillRect(r, kWindowColor);
        if (!grid.isEmpty()) {
            hline(p, 0, gridW, 0, kWindowColor);
            vline(p, 0, 0, gridH, kWindowColor);
        }
        // Tiles do not overlap, so the order does not matter: going row by
        // row writes the canvas in memory order, which is what makes large
        // block sizes fast.
        for (int y = 0; y < map->height; ++y)
            drawBlockRow(*map, y);
        // Outer light lines along the right and bottom edge of the grid.
        for (int y = 0; y < map->height; ++y)
            drawOuterLines(p, BlockGeometry(map->width - 1, y, map->blockWidth, map->blockHeight));
        for (int x = 0; x < map->width; ++x)
            drawOuterLines(p, BlockGeometry(x, map->height - 1, map->blockWidth, map->blockHeight));
        if (map->myIndex >= 0)
            drawCursor(p, *map);
    }
    update();
    emit mapRepainted();
}

void MapPanel::paintBlock(int x, int y)
{
    const Map* map = currentMap();
    if (!map || !map->contains(x, y))
        return;
    ensureCanvas();
    drawBlock(*map, x, y);
    QPainter p(&canvas_);
    const BlockGeometry g(x, y, map->blockWidth, map->blockHeight);
    drawOuterLines(p, g);
    QRect dirty = g.bounds();
    // Neighbouring frames share their outer lines, so a redrawn block can
    // cut into the cursor's frame: draw the cursor again over it.
    if (const Player* me = map->me()) {
        const BlockGeometry c(me->x, me->y, map->blockWidth, map->blockHeight);
        if (c.bounds().intersects(g.bounds())) {
            drawCursor(p, *map);
            dirty |= c.bounds();
        }
    }
    update(dirty);
}

void MapPanel::paintCursor()
{
    const Map* map = currentMap();
    if (!map || !map->me())
        return;
    ensureCanvas();
    QPainter p(&canvas_);
    drawCursor(p, *map);
    const Player& me = *map->me();
    update(BlockGeometry(me.x, me.y, map->blockWidth, map->blockHeight).bounds());
}

int MapPanel::pictureNumber(const Map& map, int x, int y) const
{
    const Cell& c = map.cell(x, y);
    if (map.showArmyLevels != 0 && c.kind == map.myIndex)
        return garrisonPicture(c.army);
    return c.kind;
}

const QImage& MapPanel::tile(int picture, bool paused, int W, int H)
{
    const QSize size(W + 4, H + 4);
    if (size != tileSize_) {
        for (auto& pair : tiles_)
            pair[0] = pair[1] = QImage();
        tileSize_ = size;
    }
    QImage& t = tiles_[picture][paused];
    if (t.isNull()) {
        t = QImage(size, QImage::Format_RGB32);
        t.fill(kWindowColor);
        QPainter p(&t);
        const BlockGeometry g(0, 0, W, H);
        const int o = -g.x0; // tile coordinates start at the block's X0, Y0
        hline(p, 0, g.w, 0, kWhite);
        vline(p, 0, 0, g.h, kWhite);
        vline(p, g.w, 0, g.h, kBlack);
        hline(p, 0, g.w, g.h, kBlack);
        const QRect pic = g.picture().translated(o, o);
        p.drawImage(pic.topLeft(), pictures_->scaled(picture, W, H));
        if (paused)
            p.fillRect(pic, QBrush(kGrey, Qt::DiagCrossPattern));
    }
    return t;
}

void MapPanel::drawBlock(const Map& map, int x, int y)
{
    const int picture = pictureNumber(map, x, y);
    if (picture < 0 || picture >= kBlockPictureCount)
        return;
    const BlockGeometry g(x, y, map.blockWidth, map.blockHeight);
    const QImage& t = tile(picture, map.paused, g.W, g.H);
    // Copy the tile row by row, clipped to the canvas (the window may be
    // smaller than the map).
    const int left = std::max(g.x0, 0), right = std::min(g.x0 + t.width(), canvas_.width());
    const int top = std::max(g.y0, 0), bottom = std::min(g.y0 + t.height(), canvas_.height());
    if (left >= right)
        return;
    const size_t bytes = size_t(right - left) * 4;
    for (int row = top; row < bottom; ++row) {
        const uchar* src = t.constScanLine(row - g.y0) + (left - g.x0) * 4;
        std::memcpy(canvas_.scanLine(row) + left * 4, src, bytes);
    }
}

void MapPanel::drawBlockRow(const Map& map, int y)
{
    const QImage* rowTiles[kMaxMapSide] = {};
    for (int x = 0; x < map.width; ++x) {
        const int picture = pictureNumber(map, x, y);
        if (picture >= 0 && picture < kBlockPictureCount)
            rowTiles[x] = &tile(picture, map.paused, map.blockWidth, map.blockHeight);
    }
    const int pitchX = map.blockWidth + 4;
    const BlockGeometry first(0, y, map.blockWidth, map.blockHeight);
    const int top = std::max(first.y0, 0);
    const int bottom = std::min(first.y0 + tileSize_.height(), canvas_.height());
    const int visibleRight = canvas_.width();
    for (int row = top; row < bottom; ++row) {
        uchar* dst = canvas_.scanLine(row);
        const int tileRow = row - first.y0;
        for (int x = 0; x < map.width; ++x) {
            const int x0 = first.x0 + x * pitchX;
            if (x0 >= visibleRight)
                break;
            if (!rowTiles[x])
                continue;
            const int right = std::min(x0 + pitchX, visibleRight);
            std::memcpy(dst + x0 * 4, rowTiles[x]->constScanLine(tileRow), size_t(right - x0) * 4);
        }
    }
}

void MapPanel::drawOuterLines(QPainter& p, const BlockGeometry& g)
{
    vline(p, g.x0 + g.w + 1, g.y0, g.y0 + g.h, kWhite);
    hline(p, g.x0, g.x0 + g.w, g.y0 + g.h + 1, kWhite);
}

void MapPanel::drawCursor(QPainter& p, const Map& map)
{
    const Player& me = *map.me();
    const BlockGeometry g(me.x, me.y, map.blockWidth, map.blockHeight);
    hline(p, g.x0, g.x0 + g.w, g.y0, kRed);
    vline(p, g.x0, g.y0, g.y0 + g.h, kRed);
    vline(p, g.x0 + g.w + 1, g.y0, g.y0 + g.h, kRed);
    hline(p, g.x0, g.x0 + g.w, g.y0 + g.h + 1, kRed);
    vline(p, g.x0 + g.w, g.y0, g.y0 + g.h, kRed);
    hline(p, g.x0, g.x0 + g.w, g.y0 + g.h, kRed);
}

void MapPanel::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.drawImage(event->rect().topLeft(), canvas_, event->rect());
}

void MapPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    paintMap();
}

} // namespace vorlan
