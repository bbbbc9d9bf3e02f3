#pragma once

#include "blockpictures.h"
#include "map.h"

#include <functional>
#include <QImage>
#include <QRect>
#include <QWidget>

namespace vorlan {

// Where block (x, y) lies for block pictures of W x H pixels: blocks sit on a
// pitch of W + 4 across and H + 4 down, each with a raised frame.
struct BlockGeometry
{
    BlockGeometry(int x, int y, int W, int H)
        : x0((W + 4) * x + 1), y0((H + 4) * y + 1), w(W + 3), h(H + 3), W(W), H(H)
    {}
    QRect picture() const { return QRect(x0 + 2, y0 + 2, W, H); }
    // Everything paintBlock draws: the frame including its outer light lines.
    QRect bounds() const { return QRect(x0, y0, w + 2, h + 2); }

    int x0, y0, w, h, W, H;
};

// The size of the paint box for a freshly built game map.
QSize mapPanelSize(const Map& map);

// The paint box of the main window (`mapPanel`). It draws into a backing
// image at the moment of each call and the paint event only copies that
// image, so blocks can be redrawn one at a time as server messages arrive.
class MapPanel : public QWidget
{
    Q_OBJECT

public:
    static inline const QColor kWindowColor{0, 128, 128}; ///< teal, the main window's colour

    MapPanel(BlockPictures* pictures, QWidget* parent = nullptr);

    // Where the panel reads the current map; it may return null while the
    // map is being replaced.
    void setMapSource(std::function<const Map*()> source) { mapSource_ = std::move(source); }

    // Whole map: clears the image to the window colour first.
    void paintMap();
    // One block: frame, picture, hatch while paused. Restores the cursor if
    // the block's frame touched it.
    void paintBlock(int x, int y);
    // The local player's cursor as a red frame.
    void paintCursor();

    const QImage& canvas() const { return canvas_; }

signals:
    // After every full repaint, so that views of the totals can follow.
    void mapRepainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const Map* currentMap() const { return mapSource_ ? mapSource_() : nullptr; }
    void ensureCanvas();
    int pictureNumber(const Map& map, int x, int y) const;
    const QImage& tile(int picture, bool paused, int W, int H);
    void drawBlock(const Map& map, int x, int y);
    void drawBlockRow(const Map& map, int y);
    void drawOuterLines(QPainter& p, const BlockGeometry& g);
    void drawCursor(QPainter& p, const Map& map);

    BlockPictures* pictures_;
    std::function<const Map*()> mapSource_;
    QImage canvas_;
    // One pitch cell per picture and pause state at the current block size:
    // frame top, left, inner right and bottom, and the picture (hatched when
    // paused). A block is drawn by copying its tile; the outer light lines
    // coincide with the neighbours' own frame lines.
    QImage tiles_[kBlockPictureCount][2];
    QSize tileSize_;
};

} // namespace vorlan
