#include "about.h"

#include "datafiles.h"
#include "view/blockpictures.h"

#include <chrono>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace vorlan {

namespace {

constexpr int kWidth = 544;
constexpr int kHeight = 375;
constexpr int kEmblemSide = 16;
const QColor kMemoColour(0, 64, 64);

} // namespace

void moveSprite(AboutSprite& s, int width, int height)
{
    s.x += kAboutStride * s.dx;
    s.y += kAboutStride * s.dy;
    if (s.x < 0) {
        s.x = 0;
        s.dx = -s.dx;
    }
    if (s.y < 0) {
        s.y = 0;
        s.dy = -s.dy;
    }
    if (width < s.x + kAboutMargin) {
        s.x = width - kAboutMargin;
        s.dx = -s.dx;
    }
    if (height < s.y + kAboutMargin) {
        s.y = height - kAboutMargin;
        s.dy = -s.dy;
    }
}

QStringList aboutCredits()
{
    return {
        QStringLiteral("THE VORLANE"),
        QStringLiteral("a network war game for up to eight players"),
        QStringLiteral("made by The Vorlane team:"),
        QStringLiteral("rules and server - the rules crew"),
        QStringLiteral("client and bot - the code crew"),
        QStringLiteral("pictures, music, voices - the art crew"),
        QString(),
        QStringLiteral("Use this program on your own."),
    };
}

QStringList aboutCreditsRussian()
{
    return {
        QString::fromUtf8("Ворлан - сетевая война для восьми игроков"),
        QString::fromUtf8("Сделано командой The Vorlane"),
        QString::fromUtf8("Правила, программа, картинки и музыка - наши"),
        QString::fromUtf8("Пользуйтесь программой на свой страх и риск."),
        QString(),
    };
}

TMyAbout::TMyAbout(const BlockPictures& pictures, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TMyAbout"));
    setFixedSize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    // Everything outside the child controls comes from the backing image.
    setAttribute(Qt::WA_OpaquePaintEvent);

    for (int i = 0; i < kAboutEmblems; ++i) {
        if (pictures.has(i)) {
            emblems_[i] = pictures.original(i).scaled(
                kEmblemSide, kEmblemSide, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        } else {
            emblems_[i] = QImage(kEmblemSide, kEmblemSide, QImage::Format_RGB32);
            emblems_[i].fill(BlockPictures::fallbackColor(i));
        }
    }
    canvas_ = QImage(size(), QImage::Format_RGB32);
    canvas_.fill(Qt::black);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setGeometry((kWidth - 304) / 2, 12, 304, 204);
    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(2, 2, 300, 200);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(dataFile(QStringLiteral("about.png"))));

    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(52, 224, 440, 142);
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setTextInteractionFlags(Qt::NoTextInteraction);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(13);
    font.setBold(true);
    Memo1->setFont(font);
    QPalette memo = Memo1->palette();
    memo.setColor(QPalette::Base, kMemoColour);
    memo.setColor(QPalette::Text, Qt::white);
    Memo1->setPalette(memo);

    QRandomGenerator rng(quint32(std::chrono::system_clock::now().time_since_epoch().count()));
    for (AboutSprite& s : sprites_) {
        s.x = int(rng.generate() % quint32(kWidth));
        s.y = int(rng.generate() % quint32(kHeight));
        s.dx = rng.generate() % 2 ? 2 : -2;
        s.dy = rng.generate() % 2 ? 2 : -2;
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kAboutTickMs);
    connect(Timer1, &QTimer::timeout, this, &TMyAbout::Timer1Timer);
    retranslate(Language::English);
}

TMyAbout::TMyAbout(QWidget* parent) : TMyAbout(BlockPictures(dataFolders()), parent) {}

void TMyAbout::setCredits(const QStringList& lines)
{
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    QTextCursor c(Memo1->document());
    c.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.mergeBlockFormat(centred);
}

void TMyAbout::retranslate(Language lang)
{
    setWindowTitle(tr2(lang, "About", "О программе и авторе"));
    setCredits(lang == Language::Russian ? aboutCreditsRussian() : aboutCredits());
}

void TMyAbout::Timer1Timer()
{
    const bool visible = isVisible();
    QRegion dirty;
    QPainter p(&canvas_);
    for (int i = 0; i < kAboutSprites; ++i) {
        const bool emblem = i < kAboutEmblems;
        if (emblem && !visible)
            continue;
        AboutSprite& s = sprites_[i];
        moveSprite(s, width(), height());
        if (emblem) {
            p.drawImage(QPoint(s.x, s.y), emblems_[i]);
            dirty += QRect(s.x, s.y, kEmblemSide, kEmblemSide);
        } else {
            p.fillRect(QRect(s.x, s.y, kAboutEraserSide, kAboutEraserSide), Qt::black);
            dirty += QRect(s.x, s.y, kAboutEraserSide, kAboutEraserSide);
        }
    }
    if (visible)
        update(dirty);
}

void TMyAbout::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.drawImage(event->rect(), canvas_, event->rect());
}

void TMyAbout::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (canvas_.size() != size()) {
        canvas_ = QImage(size(), QImage::Format_RGB32);
        canvas_.fill(Qt::black);
    }
}

void TMyAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    Timer1->start();
}

void TMyAbout::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    QDialog::hideEvent(event);
}

} // namespace vorlan
