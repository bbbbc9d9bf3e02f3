// vorlan-assetgen: draws the program's pictures and icons and builds the idle
// map, writing them into a folder (normally assets/).
//
//   vorlan-assetgen OUTDIR [--sheet FILE] [--preview FILE]
//
// --sheet writes one picture with everything enlarged, for a look by eye;
// --preview writes the map area of the main window as it appears at start
// (idle map at block size 16 with the title picture over it).
#include "assetgen.h"

#include <cstdio>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>

namespace {

using namespace assetgen;

struct Picture
{
    QString file;
    QImage image;
};

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        err() << "cannot write " << path << ": " << f.errorString() << "\n";
        return false;
    }
    return true;
}

bool writeImage(const QString& path, const QImage& image)
{
    const QByteArray format = QFileInfo(path).suffix().toLatin1();
    // Opaque pictures are stored without an alpha channel (BMP never has one
    // here); icons and status icons keep theirs.
    const bool alpha = format != "bmp" && image.hasAlphaChannel();
    const QImage out = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QImageWriter writer(path, format);
    if (!writer.write(out)) {
        err() << "cannot write " << path << ": " << writer.errorString() << "\n";
        return false;
    }
    // Read it back as the game will, to be sure the format kept every pixel.
    const QImage back(path);
    if (back.isNull() || back.convertToFormat(out.format()) != out) {
        err() << path << " does not read back as it was drawn\n";
        return false;
    }
    return true;
}

// Everything on one sheet, enlarged, with the file name under each picture.
QImage contactSheet(const std::vector<Picture>& pictures, const QImage& mapPicture)
{
    struct Item
    {
        QString label;
        QImage image;
    };
    std::vector<Item> items;
    for (const Picture& pic : pictures) {
        const int side = std::max(pic.image.width(), pic.image.height());
        const int scale = side <= 20 ? 4 : side <= 40 ? 4 : 1;
        items.push_back({pic.file, pic.image.scaled(pic.image.size() * scale, Qt::IgnoreAspectRatio,
                                                    Qt::FastTransformation)});
    }
    items.push_back({QStringLiteral("coolgame.map at block size 16"), mapPicture});

    const int width = 1300, margin = 12, label = 16;
    // First pass: lay out in rows to find the height.
    auto layout = [&](QPainter* p) {
        int x = margin, y = margin, rowHeight = 0;
        for (const Item& item : items) {
            const int w = std::max(item.image.width(), 72);
            if (x + w > width - margin) {
                x = margin;
                y += rowHeight + label + margin;
                rowHeight = 0;
            }
            if (p) {
                p->fillRect(QRect(QPoint(x - 1, y - 1), item.image.size() + QSize(2, 2)),
                            QColor(20, 20, 20));
                p->drawImage(x, y, item.image);
                p->setPen(Qt::white);
                p->drawText(QRect(x, y + item.image.height() + 2, w + margin, label),
                            Qt::AlignLeft | Qt::AlignTop, item.label);
            }
            x += w + margin;
            rowHeight = std::max(rowHeight, item.image.height());
        }
        return y + rowHeight + label + margin;
    };
    QImage sheet(width, layout(nullptr), QImage::Format_RGB32);
    sheet.fill(QColor(70, 76, 84));
    QPainter p(&sheet);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    p.setFont(font);
    layout(&p);
    return sheet;
}

} // namespace

int main(int argc, char* argv[])
{
    // Fonts need a GUI application, but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString outDir, sheetFile, previewFile;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sheet") && i + 1 < args.size())
            sheetFile = args[++i];
        else if (args[i] == QLatin1String("--preview") && i + 1 < args.size())
            previewFile = args[++i];
        else if (outDir.isEmpty() && !args[i].startsWith(QLatin1Char('-')))
            outDir = args[i];
        else {
            err() << "usage: vorlan-assetgen OUTDIR [--sheet FILE] [--preview FILE]\n";
            return 2;
        }
    }
    if (outDir.isEmpty()) {
        err() << "usage: vorlan-assetgen OUTDIR [--sheet FILE] [--preview FILE]\n";
        return 2;
    }
    // The lettering is drawn from DejaVu outlines; another font would give
    // other bytes, so refuse rather than fall back silently.
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Serif"))) {
        err() << "the font DejaVu Serif is missing (Debian package fonts-dejavu-core)\n";
        return 1;
    }
    QDir dir(outDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        err() << "cannot create " << outDir << "\n";
        return 1;
    }

    const BlockSet blocks = blockPictures();
    const Landscape land = idleLandscape();
    const QStringList problems = landscapeProblems(land);
    if (!problems.isEmpty()) {
        err() << "the idle map is not sound: " << problems.join(QStringLiteral("; ")) << "\n";
        return 1;
    }

    std::vector<Picture> pictures;
    for (int i = 0; i < kBlockPictures; ++i)
        pictures.push_back({QStringLiteral("%1.bmp").arg(i), blocks[size_t(i)]});
    pictures.push_back({QStringLiteral("play.bmp"), playGlyph()});
    pictures.push_back({QStringLiteral("pause.bmp"), pauseGlyph()});
    pictures.push_back({QStringLiteral("brush.bmp"), menuBrush()});
    pictures.push_back({QStringLiteral("vorlan.ico"), programIcon()});
    pictures.push_back({QStringLiteral("far.ico"), disguiseIcon()});
    // The desktop's launcher icons (hicolor theme), the same drawing.
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        pictures.push_back({QStringLiteral("icon-%1.png").arg(side), programIcon(side)});
    pictures.push_back({QStringLiteral("imageplayer.png"), playerStatusIcon()});
    pictures.push_back({QStringLiteral("imageblock.png"), blockStatusIcon()});
    pictures.push_back({QStringLiteral("imageleave.png"), leaveStatusIcon()});
    pictures.push_back({QStringLiteral("imageround.png"), roundStatusIcon()});
    pictures.push_back({QStringLiteral("image1.png"), titlePicture(blocks)});
    pictures.push_back({QStringLiteral("about.png"), aboutPicture(land, blocks)});
    pictures.push_back({QStringLiteral("results.png"), resultsPicture()});

    bool ok = true;
    for (const Picture& pic : pictures)
        ok = writeImage(dir.filePath(pic.file), pic.image) && ok;
    ok = writeBytes(dir.filePath(QStringLiteral("coolgame.map")), land.toMapFile()) && ok;
    if (!ok)
        return 1;

    if (!sheetFile.isEmpty())
        ok = writeImage(sheetFile, contactSheet(pictures, renderLandscape(land, blocks, 16))) && ok;
    if (!previewFile.isEmpty()) {
        // The map area of the main window (609 x 417) with the title picture
        // where the window places it.
        QImage screen = renderLandscape(land, blocks, 16, QSize(609, 417));
        QPainter p(&screen);
        p.drawImage(208 - 104, 184 - 72, titlePicture(blocks));
        p.end();
        ok = writeImage(previewFile, screen) && ok;
    }
    return ok ? 0 : 1;
}
