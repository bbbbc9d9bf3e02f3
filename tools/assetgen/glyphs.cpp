// Small pictures: the pause button's two glyphs, the menu highlight brush, the
// two program icons and the four status icons above the map.
#include "assetgen.h"

#include <algorithm>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace assetgen {

namespace {

// Face colour of the glyphs; it is also their corner pixel, which a loader
// can treat as the transparent colour.
const QColor kButtonFace(240, 240, 240);

QImage newGlyph()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(kButtonFace);
    return image;
}

QImage newLayer(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

} // namespace

QImage playGlyph()
{
    QImage image = newGlyph();
    QImage layer = newLayer(16, 16);
    {
        QPainter p(&layer);
        // A triangle pointing right, 6 wide and 11 high, with a lit top edge.
        for (int row = 0; row < 11; ++row) {
            const int width = 1 + std::min(row, 10 - row);
            const QColor c = row < 5 ? QColor(64, 184, 80) : QColor(36, 150, 56);
            p.fillRect(5, 2 + row, width, 1, c);
        }
        p.fillRect(5, 3, 1, 9, QColor(120, 216, 130));
    }
    QPainter p(&image);
    p.drawImage(0, 0, outlined(layer, QColor(16, 72, 28)));
    return image;
}

QImage pauseGlyph()
{
    QImage image = newGlyph();
    QImage layer = newLayer(16, 16);
    {
        QPainter p(&layer);
        for (int left : {3, 10}) {
            p.fillRect(left, 3, 3, 10, QColor(52, 86, 184));
            p.fillRect(left, 3, 1, 10, QColor(112, 146, 228));
        }
    }
    QPainter p(&image);
    p.drawImage(0, 0, outlined(layer, QColor(20, 32, 84)));
    return image;
}

QImage menuBrush()
{
    // Stretched over the highlighted menu label (about 97 x 16), the rows
    // become a glossy teal bar; the dither in the middle rows keeps it from
    // looking like a flat gradient.
    static const QColor rows[8] = {
        QColor(96, 214, 210), QColor(30, 178, 176), QColor(0, 156, 156), QColor(0, 142, 142),
        QColor(0, 128, 128),  QColor(0, 116, 118),  QColor(0, 98, 104),  QColor(0, 64, 76),
    };
    QImage image(8, 8, QImage::Format_RGB32);
    QPainter p(&image);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            QColor c = rows[y];
            if (y >= 2 && y <= 5 && (x + y) % 2 == 0)
                c = shade(c, 1.08);
            p.fillRect(x, y, 1, 1, c);
        }
    return image;
}

QImage programIcon(int side)
{
    QImage image = newLayer(side, side);
    QPainter p(&image);
    smooth(p);
    p.scale(side / 32.0, side / 32.0);
    // A shield with a golden rim and a golden V.
    QPainterPath shield;
    shield.moveTo(3.5, 3.5);
    shield.lineTo(28.5, 3.5);
    shield.lineTo(28.5, 15.0);
    shield.cubicTo(28.5, 23.0, 22.0, 27.0, 16.0, 30.5);
    shield.cubicTo(10.0, 27.0, 3.5, 23.0, 3.5, 15.0);
    shield.closeSubpath();
    QLinearGradient body(0, 3, 0, 30);
    body.setColorAt(0.0, QColor(126, 46, 204));
    body.setColorAt(1.0, QColor(46, 0, 104));
    p.setPen(QPen(QColor(40, 20, 4), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shield);
    p.setPen(QPen(QColor(244, 196, 52), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(body);
    p.drawPath(shield);

    QPainterPath vee;
    vee.moveTo(8.5, 8.0);
    vee.lineTo(13.5, 8.0);
    vee.lineTo(16.0, 17.5);
    vee.lineTo(18.5, 8.0);
    vee.lineTo(23.5, 8.0);
    vee.lineTo(17.6, 25.0);
    vee.lineTo(14.4, 25.0);
    vee.closeSubpath();
    QLinearGradient gold(0, 8, 0, 25);
    gold.setColorAt(0.0, QColor(255, 244, 168));
    gold.setColorAt(0.5, QColor(240, 184, 40));
    gold.setColorAt(1.0, QColor(190, 120, 10));
    p.setPen(QPen(QColor(60, 30, 0), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(gold);
    p.drawPath(vee);
    return image;
}

QImage disguiseIcon()
{
    // A plain office folder with a sheet of paper in it.
    QImage image = newLayer(32, 32);
    QPainter p(&image);
    smooth(p);
    const QPen outline(QColor(138, 96, 24), 1.0);
    QPainterPath back;
    back.moveTo(2.5, 7.5);
    back.lineTo(11.5, 7.5);
    back.lineTo(14.0, 10.5);
    back.lineTo(29.5, 10.5);
    back.lineTo(29.5, 27.5);
    back.lineTo(2.5, 27.5);
    back.closeSubpath();
    p.setPen(outline);
    p.setBrush(QColor(222, 168, 56));
    p.drawPath(back);

    p.setPen(QPen(QColor(150, 150, 150), 1.0));
    p.setBrush(QColor(252, 252, 252));
    p.drawRect(QRectF(6.5, 5.5, 19, 16));
    p.setPen(QPen(QColor(150, 170, 200), 1.0));
    for (int y = 9; y <= 17; y += 3)
        p.drawLine(QPointF(9, y + 0.5), QPointF(23, y + 0.5));

    QPainterPath front;
    front.moveTo(2.5, 14.5);
    front.lineTo(29.5, 14.5);
    front.lineTo(29.5, 27.5);
    front.lineTo(2.5, 27.5);
    front.closeSubpath();
    QLinearGradient g(0, 14, 0, 28);
    g.setColorAt(0.0, QColor(255, 224, 120));
    g.setColorAt(1.0, QColor(238, 184, 64));
    p.setPen(outline);
    p.setBrush(g);
    p.drawPath(front);
    p.setPen(QPen(QColor(255, 240, 190), 1.0));
    p.drawLine(QPointF(3.5, 15.5), QPointF(28.5, 15.5));
    return image;
}

QImage playerStatusIcon()
{
    // A soldier with helmet, shield and spear.
    QImage image = newLayer(24, 25);
    QPainter p(&image);
    smooth(p);
    const QColor ink(30, 22, 20);
    const QPen line(ink, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // Spear behind the figure.
    p.setPen(QPen(QColor(120, 76, 36), 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(19.5, 4.0), QPointF(19.5, 24.0));
    QPainterPath tip;
    tip.moveTo(19.5, 0.3);
    tip.lineTo(21.6, 5.0);
    tip.lineTo(17.4, 5.0);
    tip.closeSubpath();
    p.setPen(line);
    p.setBrush(QColor(214, 222, 232));
    p.drawPath(tip);

    // Legs and body.
    p.setBrush(QColor(80, 52, 32));
    p.drawRoundedRect(QRectF(7.5, 18.5, 3, 6), 1, 1);
    p.drawRoundedRect(QRectF(12.5, 18.5, 3, 6), 1, 1);
    p.setBrush(QColor(196, 40, 40));
    p.drawRoundedRect(QRectF(6.5, 10.5, 10, 10), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 70, 30));
    p.drawRect(QRectF(7.0, 16.0, 9, 1.6));
    // Arm holding the spear.
    p.setPen(line);
    p.setBrush(QColor(242, 200, 160));
    p.drawRoundedRect(QRectF(15.0, 12.5, 5, 2.6), 1.2, 1.2);

    // Head and helmet.
    p.drawEllipse(QRectF(7.5, 3.5, 8, 8));
    QPainterPath helmet;
    helmet.moveTo(6.5, 7.5);
    helmet.cubicTo(6.5, 1.2, 16.5, 1.2, 16.5, 7.5);
    helmet.closeSubpath();
    QLinearGradient steel(0, 2, 0, 8);
    steel.setColorAt(0.0, QColor(236, 240, 246));
    steel.setColorAt(1.0, QColor(130, 140, 158));
    p.setBrush(steel);
    p.drawPath(helmet);
    p.setPen(QPen(ink, 1.2));
    p.drawLine(QPointF(5.8, 7.6), QPointF(17.2, 7.6));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QRectF(9.4, 8.4, 1.4, 1.4));
    p.drawEllipse(QRectF(12.4, 8.4, 1.4, 1.4));

    // Shield on the left arm.
    QPainterPath shield;
    shield.moveTo(1.5, 11.5);
    shield.lineTo(9.5, 11.5);
    shield.lineTo(9.5, 16.5);
    shield.cubicTo(9.5, 19.5, 7.0, 21.0, 5.5, 22.0);
    shield.cubicTo(4.0, 21.0, 1.5, 19.5, 1.5, 16.5);
    shield.closeSubpath();
    QLinearGradient gold(0, 11, 0, 22);
    gold.setColorAt(0.0, QColor(255, 236, 140));
    gold.setColorAt(1.0, QColor(210, 146, 20));
    p.setPen(line);
    p.setBrush(gold);
    p.drawPath(shield);
    p.setPen(QPen(QColor(150, 30, 30), 1.4));
    p.drawLine(QPointF(5.5, 13.0), QPointF(5.5, 20.0));
    p.drawLine(QPointF(3.0, 15.5), QPointF(8.0, 15.5));
    return image;
}

QImage blockStatusIcon()
{
    // A raised block of land seen from above at an angle.
    QImage image = newLayer(24, 24);
    QPainter p(&image);
    smooth(p);
    const QPen line(QColor(28, 24, 20), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QPointF top(12, 2.5), right(22, 7.5), front(12, 12.5), left(2, 7.5);
    const QPointF down(0, 9);
    p.setPen(line);
    p.setBrush(QColor(150, 104, 60));
    p.drawPolygon(QPolygonF({left, front, front + down, left + down}));
    p.setBrush(QColor(104, 68, 38));
    p.drawPolygon(QPolygonF({front, right, right + down, front + down}));
    QLinearGradient grass(0, 2, 0, 13);
    grass.setColorAt(0.0, QColor(140, 206, 90));
    grass.setColorAt(1.0, QColor(70, 146, 48));
    p.setBrush(grass);
    p.drawPolygon(QPolygonF({top, right, front, left}));
    // A few tufts and strata.
    p.setPen(QPen(QColor(190, 236, 140), 1.0));
    p.drawLine(QPointF(9, 6), QPointF(10, 5));
    p.drawLine(QPointF(14, 9), QPointF(15, 8));
    p.drawLine(QPointF(16, 5.5), QPointF(17, 4.5));
    p.setPen(QPen(QColor(120, 80, 44), 1.0));
    p.drawLine(QPointF(3, 12.5), QPointF(11, 16.5));
    p.setPen(QPen(QColor(84, 54, 30), 1.0));
    p.drawLine(QPointF(13, 16.5), QPointF(21, 12.5));
    return image;
}

QImage leaveStatusIcon()
{
    // A limit sign: a red ring with "at least" inside.
    QImage image = newLayer(18, 18);
    QPainter p(&image);
    smooth(p);
    p.setPen(QPen(QColor(60, 10, 10), 1.0));
    p.setBrush(QColor(212, 28, 28));
    p.drawEllipse(QRectF(0.5, 0.5, 17, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(252, 252, 252));
    p.drawEllipse(QRectF(3.2, 3.2, 11.6, 11.6));
    p.setPen(QPen(QColor(20, 20, 24), 1.7, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(6.6, 5.4), QPointF(11.4, 8.0), QPointF(6.6, 10.6)}));
    p.drawLine(QPointF(6.6, 12.8), QPointF(11.4, 12.8));
    return image;
}

QImage roundStatusIcon()
{
    // A blue disc with "approximately" in white.
    QImage image = newLayer(18, 18);
    QPainter p(&image);
    smooth(p);
    QRadialGradient g(QPointF(7, 6), 11);
    g.setColorAt(0.0, QColor(90, 150, 240));
    g.setColorAt(1.0, QColor(24, 64, 170));
    p.setPen(QPen(QColor(10, 24, 70), 1.0));
    p.setBrush(g);
    p.drawEllipse(QRectF(0.5, 0.5, 17, 17));
    p.setPen(QPen(QColor(255, 255, 255), 1.7, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (double y : {7.0, 11.5}) {
        QPainterPath wave;
        wave.moveTo(4.2, y + 0.6);
        wave.cubicTo(6.0, y - 1.8, 7.6, y - 1.2, 9.0, y);
        wave.cubicTo(10.4, y + 1.2, 12.0, y + 1.8, 13.8, y - 0.6);
        p.drawPath(wave);
    }
    return image;
}

} // namespace assetgen
