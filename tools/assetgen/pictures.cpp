// The larger pictures: the main window's title, the results window's
// background and the about box picture; and the map drawn as the game draws it.
#include "assetgen.h"

#include <cmath>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace assetgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

void smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// Text as an outline, scaled to fit `box` and centred in it.
QPainterPath textPath(const QString& text, const QString& family, bool italic, QRectF box)
{
    QFont font(family);
    font.setBold(true);
    font.setItalic(italic);
    font.setPixelSize(200);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF r = path.boundingRect();
    const double scale = std::min(box.width() / r.width(), box.height() / r.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scale, scale);
    t.translate(-r.center().x(), -r.center().y());
    return t.map(path);
}

// Gold lettering: soft shadow, dark rim, metallic fill, fine light edge.
void drawGoldText(QPainter& p, const QPainterPath& path, double rim)
{
    const QRectF r = path.boundingRect();
    for (int i = 3; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawPath(path.translated(i * 0.9, i * 1.2));
    }
    p.setPen(QPen(QColor(48, 18, 0), rim, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QLinearGradient gold(0, r.top(), 0, r.bottom());
    gold.setColorAt(0.00, QColor(255, 250, 196));
    gold.setColorAt(0.40, QColor(250, 204, 72));
    gold.setColorAt(0.52, QColor(200, 132, 16));
    gold.setColorAt(0.70, QColor(236, 176, 40));
    gold.setColorAt(1.00, QColor(255, 226, 120));
    p.setPen(QPen(QColor(255, 244, 200, 150), 0.8));
    p.setBrush(gold);
    p.drawPath(path);
}

// A block as the map shows it: light top and left, dark right and bottom.
void drawRaisedBlock(QPainter& p, const QImage& picture, QRect r,
                     const QColor& light = QColor(255, 255, 255),
                     const QColor& dark = QColor(0, 0, 0))
{
    p.fillRect(r.adjusted(-1, -1, 1, 1), light);
    p.fillRect(QRect(r.left(), r.bottom() + 1, r.width() + 1, 1), dark);
    p.fillRect(QRect(r.right() + 1, r.top(), 1, r.height() + 1), dark);
    p.drawImage(r, picture);
}

} // namespace

QImage renderLandscape(const Landscape& land, const BlockSet& blocks, int blockSize, QSize canvas)
{
    const int pitch = blockSize + 4;
    if (canvas.isEmpty())
        canvas = QSize(land.width * pitch + 4, land.height * pitch + 4);
    QImage image(canvas, QImage::Format_RGB32);
    image.fill(QColor(0, 128, 128));
    QPainter p(&image);
    const QColor white(255, 255, 255), black(0, 0, 0);
    for (int x = 0; x < land.width; ++x)
        for (int y = 0; y < land.height; ++y) {
            const int x0 = pitch * x + 1, y0 = pitch * y + 1, w = blockSize + 3, h = blockSize + 3;
            p.fillRect(x0 + w + 1, y0, 1, h, white);
            p.fillRect(x0, y0 + h + 1, w, 1, white);
            p.fillRect(x0, y0, w, 1, white);
            p.fillRect(x0, y0, 1, h, white);
            p.fillRect(x0 + w, y0, 1, h, black);
            p.fillRect(x0, y0 + h, w, 1, black);
            const QImage scaled = blocks[land.at(x, y)].scaled(
                blockSize, blockSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            p.drawImage(x0 + 2, y0 + 2, scaled);
        }
    return image;
}

QImage titlePicture(const BlockSet& blocks)
{
    const int w = 337, h = 113;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    smooth(p);

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(70, 20, 128));
    sky.setColorAt(1.0, QColor(18, 2, 44));
    p.fillRect(image.rect(), sky);
    // A faint grid of blocks, the game's own ground.
    p.setPen(QPen(QColor(255, 255, 255, 16), 1.0));
    for (int x = 4; x < w; x += 12)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, h));
    for (int y = 4; y < h; y += 12)
        p.drawLine(QPointF(0, y + 0.5), QPointF(w, y + 0.5));
    QRadialGradient glow(QPointF(w / 2.0, 44), 170);
    glow.setColorAt(0.0, QColor(255, 200, 80, 90));
    glow.setColorAt(1.0, QColor(255, 200, 80, 0));
    p.fillRect(image.rect(), glow);

    // "The" small and slanted, "Vorlane" large.
    const QPainterPath the = textPath(QStringLiteral("The"), QStringLiteral("DejaVu Serif"), true,
                                      QRectF(16, 8, 58, 26));
    const QPainterPath vorlane = textPath(QStringLiteral("Vorlane"), QStringLiteral("DejaVu Serif"),
                                          false, QRectF(34, 20, 286, 64));
    drawGoldText(p, vorlane, 4.0);
    drawGoldText(p, the, 2.6);

    // The eight players' emblems along the bottom.
    const int side = 11, gap = 7, count = kPlayers;
    const int left = (w - (count * side + (count - 1) * gap)) / 2;
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (int i = 0; i < count; ++i)
        drawRaisedBlock(
            p,
            blocks[size_t(i)].scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
            QRect(left + i * (side + gap), 92, side, side));
    p.setPen(QPen(QColor(236, 184, 60), 1.0));
    p.drawLine(QPointF(16, 97.5), QPointF(left - 10, 97.5));
    p.drawLine(QPointF(w - left + 10, 97.5), QPointF(w - 16, 97.5));

    // Golden frame.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(16, 0, 30), 1.0));
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    p.setPen(QPen(QColor(226, 172, 50), 2.0));
    p.drawRect(QRectF(2, 2, w - 4, h - 4));
    p.setPen(QPen(QColor(90, 50, 10), 1.0));
    p.drawRect(QRectF(3.5, 3.5, w - 7, h - 7));
    return image;
}

QImage resultsPicture()
{
    const int w = 305, h = 481;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    smooth(p);
    Rng rng(2);

    // Night sky fading into the window's own purple at the bottom.
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(16, 4, 40));
    sky.setColorAt(1.0, QColor(61, 33, 97));
    p.fillRect(image.rect(), sky);
    for (int i = 0; i < 90; ++i) {
        const double x = rng.unit() * w, y = rng.unit() * h * 0.75;
        const double r = 0.4 + rng.unit() * 0.9;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 230, 90 + rng.below(160)));
        p.drawEllipse(QPointF(x, y), r, r);
    }

    // Rays of light behind the cup.
    const QPointF centre(w / 2.0, 200);
    for (int i = 0; i < 18; ++i) {
        const double a0 = (i * 20.0) * kPi / 180, a1 = (i * 20.0 + 9.0) * kPi / 180;
        QPainterPath ray;
        ray.moveTo(centre);
        ray.lineTo(centre + QPointF(std::cos(a0), std::sin(a0)) * 340);
        ray.lineTo(centre + QPointF(std::cos(a1), std::sin(a1)) * 340);
        ray.closeSubpath();
        QRadialGradient g(centre, 300);
        g.setColorAt(0.0, QColor(255, 214, 110, 70));
        g.setColorAt(1.0, QColor(255, 214, 110, 0));
        p.setBrush(g);
        p.drawPath(ray);
    }

    // Pennants in the eight players' colours on a string across the top.
    QPainterPath string;
    string.moveTo(-4, 22);
    string.quadTo(w / 2.0, 62, w + 4, 22);
    p.setPen(QPen(QColor(220, 210, 190), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(string);
    for (int i = 0; i < kPlayers; ++i) {
        const double t = (i + 1.0) / (kPlayers + 1.0);
        const QPointF at = string.pointAtPercent(t);
        QPainterPath flag;
        flag.moveTo(at + QPointF(-10, 0));
        flag.lineTo(at + QPointF(10, 0));
        flag.lineTo(at + QPointF(0, 24));
        flag.closeSubpath();
        p.setPen(QPen(shade(playerColour(i), 0.45), 1.0));
        p.setBrush(playerColour(i));
        p.drawPath(flag);
    }

    // Laurel branches round the cup: a stem, then pairs of leaves along it.
    auto laurelPoint = [&](int side, double i) {
        const double a = (112 + i * 12.5) * kPi / 180;
        return QPointF(centre.x() + side * std::cos(a) * 118, 212 - std::sin(a) * 118);
    };
    for (int side : {-1, 1}) {
        QPainterPath stem;
        stem.moveTo(laurelPoint(side, -0.5));
        for (int i = 0; i <= 21; ++i)
            stem.lineTo(laurelPoint(side, i * 0.5));
        p.setPen(QPen(QColor(40, 104, 40), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(stem);
    }
    for (int side : {-1, 1})
        for (int i = 0; i < 11; ++i) {
            const QPointF at = laurelPoint(side, i);
            p.save();
            p.translate(at);
            p.rotate(side * (i * 12.5 - 60));
            const QColor leaf = i % 2 ? QColor(70, 160, 70) : QColor(96, 186, 84);
            p.setPen(QPen(QColor(24, 70, 30), 1.0));
            p.setBrush(leaf);
            p.drawEllipse(QPointF(-side * 8, 0), 9, 4);
            p.drawEllipse(QPointF(side * 8, 0), 9, 4);
            p.restore();
        }

    // The cup.
    QLinearGradient gold(95, 0, 210, 0);
    gold.setColorAt(0.00, QColor(150, 90, 10));
    gold.setColorAt(0.30, QColor(255, 236, 140));
    gold.setColorAt(0.45, QColor(250, 200, 60));
    gold.setColorAt(1.00, QColor(160, 100, 12));
    const QPen rim(QColor(70, 36, 0), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(QPen(QColor(70, 36, 0), 12.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(72, 128, 60, 70), 90 * 16, 180 * 16);
    p.drawArc(QRectF(173, 128, 60, 70), -90 * 16, 180 * 16);
    p.setPen(QPen(QColor(236, 180, 44), 8.0, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(72, 128, 60, 70), 90 * 16, 180 * 16);
    p.drawArc(QRectF(173, 128, 60, 70), -90 * 16, 180 * 16);
    QPainterPath bowl;
    bowl.moveTo(92, 112);
    bowl.lineTo(213, 112);
    bowl.cubicTo(213, 190, 190, 236, 164, 246);
    bowl.lineTo(141, 246);
    bowl.cubicTo(115, 236, 92, 190, 92, 112);
    bowl.closeSubpath();
    p.setPen(rim);
    p.setBrush(gold);
    p.drawPath(bowl);
    p.drawRect(QRectF(141, 246, 23, 30));
    p.drawEllipse(QRectF(133, 260, 39, 12));
    QPainterPath foot;
    foot.moveTo(130, 276);
    foot.lineTo(175, 276);
    foot.lineTo(196, 302);
    foot.lineTo(109, 302);
    foot.closeSubpath();
    p.drawPath(foot);
    p.drawRect(QRectF(100, 302, 105, 12));
    QLinearGradient inside(0, 104, 0, 120);
    inside.setColorAt(0.0, QColor(120, 70, 6));
    inside.setColorAt(1.0, QColor(200, 140, 30));
    p.setBrush(inside);
    p.drawEllipse(QRectF(92, 104, 121, 16));
    // A star on the cup and a shine on its left.
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double a = (-90 + i * 36) * kPi / 180;
        const double r = i % 2 ? 9.0 : 22.0;
        const QPointF pt(152.5 + std::cos(a) * r, 168 + std::sin(a) * r);
        i ? star.lineTo(pt) : star.moveTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(110, 20, 20), 1.5));
    p.setBrush(QColor(214, 40, 40));
    p.drawPath(star);
    p.setPen(QPen(QColor(255, 255, 240, 170), 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(108, 128), QPointF(112, 176));

    // The podium: second, first and third place.
    struct Step
    {
        double left, top, width;
        const char* place;
    };
    const Step steps[] = {{22, 366, 92, "2"}, {106, 314, 94, "1"}, {192, 392, 92, "3"}};
    const double ground = 462;
    for (const Step& s : steps) {
        const QRectF front(s.left, s.top + 10, s.width, ground - s.top - 10);
        QPainterPath top;
        top.moveTo(s.left, s.top + 10);
        top.lineTo(s.left + 10, s.top);
        top.lineTo(s.left + s.width + 10, s.top);
        top.lineTo(s.left + s.width, s.top + 10);
        top.closeSubpath();
        QLinearGradient stone(0, s.top, 0, ground);
        stone.setColorAt(0.0, QColor(150, 126, 190));
        stone.setColorAt(1.0, QColor(86, 62, 126));
        p.setPen(QPen(QColor(30, 16, 54), 1.5));
        p.setBrush(QColor(190, 172, 222));
        p.drawPath(top);
        p.setBrush(stone);
        p.drawRect(front);
        const double size = std::min(42.0, front.height() - 14);
        drawGoldText(p,
                     textPath(QString::fromLatin1(s.place), QStringLiteral("DejaVu Serif"), false,
                              QRectF(front.center().x() - size / 2, front.top() + 8, size, size)),
                     2.0);
    }
    p.fillRect(QRectF(0, ground, w, h - ground), QColor(40, 18, 66));
    p.setPen(QPen(QColor(110, 84, 150), 1.0));
    p.drawLine(QPointF(0, ground + 0.5), QPointF(w, ground + 0.5));
    return image;
}

QImage aboutPicture(const Landscape& land, const BlockSet& blocks)
{
    // The idle map in miniature (blocks of 8 on a pitch of 10) under the title.
    const int w = 300, h = 200;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(0, 80, 84));
    QPainter p(&image);
    for (int y = 0; y < land.height && y * 10 < h; ++y)
        for (int x = 0; x < land.width && x * 10 < w; ++x)
            drawRaisedBlock(
                p,
                blocks[land.at(x, y)].scaled(8, 8, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                QRect(x * 10 + 1, y * 10 + 1, 8, 8), QColor(150, 200, 190), QColor(0, 40, 44));
    smooth(p);
    QLinearGradient band(0, 66, 0, 134);
    band.setColorAt(0.0, QColor(20, 0, 44, 150));
    band.setColorAt(0.5, QColor(20, 0, 44, 225));
    band.setColorAt(1.0, QColor(20, 0, 44, 150));
    p.fillRect(QRectF(0, 66, w, 68), band);
    p.setPen(QPen(QColor(226, 172, 50), 1.0));
    p.drawLine(QPointF(0, 66.5), QPointF(w, 66.5));
    p.drawLine(QPointF(0, 133.5), QPointF(w, 133.5));
    drawGoldText(p,
                 textPath(QStringLiteral("The Vorlane"), QStringLiteral("DejaVu Serif"), false,
                          QRectF(20, 74, 260, 52)),
                 3.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(226, 172, 50), 2.0));
    p.drawRect(QRectF(1, 1, w - 2, h - 2));
    return image;
}

} // namespace assetgen
