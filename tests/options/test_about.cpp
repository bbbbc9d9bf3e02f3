// The about box: sprites bouncing off the edges, the animation drawing into
// its backing image only while shown, and the credits in both languages.
#include "options/about.h"
#include "view/blockpictures.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

using namespace vorlan;

namespace {

int nonBlackPixels(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xffffff) != 0;
    return n;
}

class AboutTest : public ::testing::Test
{
protected:
    // Every sprite in a row of its own 20 pixels, below the spot a test watches.
    void park()
    {
        for (int i = 0; i < kAboutSprites; ++i)
            about.sprites()[i] = {20 + 20 * i, 250, 2, 2};
    }

    BlockPictures pictures{QDir::currentPath()};
    TMyAbout about{pictures};
};

} // namespace

TEST(AboutSpriteTest, BouncesOffEachEdge)
{
    AboutSprite s{530, 100, 2, 2};
    moveSprite(s, 544, 375);
    EXPECT_EQ(s.x, 528) << "put back 16 pixels inside the right edge";
    EXPECT_EQ(s.dx, -2);
    EXPECT_EQ(s.y, 114);
    EXPECT_EQ(s.dy, 2);

    s = {5, 9, -2, -2};
    moveSprite(s, 544, 375);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.dx, 2);
    EXPECT_EQ(s.y, 0);
    EXPECT_EQ(s.dy, 2);

    s = {100, 360, 2, 2};
    moveSprite(s, 544, 375);
    EXPECT_EQ(s.y, 359);
    EXPECT_EQ(s.dy, -2);
    EXPECT_EQ(s.x, 114);

    // Exactly touching the edge is still inside.
    s = {514, 100, 2, 2};
    moveSprite(s, 544, 375);
    EXPECT_EQ(s.x, 528);
    EXPECT_EQ(s.dx, 2);
}

TEST_F(AboutTest, StartsBlackWithSpritesInsideTheWindow)
{
    EXPECT_EQ(about.size(), QSize(544, 375));
    EXPECT_EQ(about.canvas().size(), about.size());
    EXPECT_EQ(nonBlackPixels(about.canvas()), 0);
    for (const AboutSprite& s : about.sprites()) {
        EXPECT_TRUE(s.x >= 0 && s.x < 544 && s.y >= 0 && s.y < 375);
        EXPECT_TRUE(s.dx == 2 || s.dx == -2);
        EXPECT_TRUE(s.dy == 2 || s.dy == -2);
    }
    EXPECT_EQ(about.Timer1->interval(), 16); // about 60 ticks a second
}

TEST_F(AboutTest, EmblemsLeaveTrailsThatErasersCut)
{
    about.show();
    about.Timer1->stop(); // the test drives the ticks
    park();
    about.sprites()[0] = {100, 100, 2, 2};  // emblem 0 lands on (114, 114)
    about.sprites()[12] = {100, 100, 2, 2}; // an eraser after it, on the same spot
    about.Timer1Timer();

    const QImage& c = about.canvas();
    const QImage emblem = pictures.original(0);
    ASSERT_EQ(emblem.size(), QSize(16, 16));
    int covered = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb got = c.pixel(114 + x, 114 + y);
            if (x < 15 && y < 15) {
                EXPECT_EQ(got & 0xffffff, 0u) << x << "," << y;
                covered += (emblem.pixel(x, y) & 0xffffff) != 0;
            } else {
                EXPECT_EQ(got, emblem.pixel(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(covered, 0) << "the eraser wiped part of the emblem";

    // The next tick leaves the old trail and draws further on.
    about.sprites()[12] = {300, 300, 2, 2};
    about.Timer1Timer();
    EXPECT_EQ(about.sprites()[0].x, 128);
    EXPECT_EQ(c.pixel(114 + 15, 114), emblem.pixel(15, 0));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(c.pixel(128 + x, 128 + y), emblem.pixel(x, y));

    // Sprite i shows picture i.
    for (int i = 1; i < kAboutEmblems; ++i) {
        const AboutSprite& s = about.sprites()[i];
        for (const QPoint p : {QPoint(0, 0), QPoint(8, 8), QPoint(15, 15)})
            EXPECT_EQ(c.pixel(s.x + p.x(), s.y + p.y()), pictures.original(i).pixel(p)) << i;
    }
}

TEST_F(AboutTest, NoEmblemIsDrawnOrMovedWhileHidden)
{
    ASSERT_FALSE(about.isVisible());
    const auto before = about.sprites();
    for (int i = 0; i < 50; ++i)
        about.Timer1Timer();
    EXPECT_EQ(nonBlackPixels(about.canvas()), 0);
    for (int i = 0; i < kAboutSprites; ++i) {
        const bool moved =
            about.sprites()[i].x != before[i].x || about.sprites()[i].y != before[i].y;
        EXPECT_EQ(moved, i >= kAboutEmblems) << i;
    }
}

TEST_F(AboutTest, TheTimerAnimatesWhileShownAndStopsWhenHidden)
{
    EXPECT_FALSE(about.Timer1->isActive());
    about.show();
    EXPECT_TRUE(about.Timer1->isActive());
    const auto start = about.sprites();
    QTest::qWait(100);
    EXPECT_NE(about.sprites()[0].x, start[0].x);
    EXPECT_GT(nonBlackPixels(about.canvas()), 0);

    // What is shown is the backing image (outside the child controls).
    const AboutSprite s = about.sprites()[3];
    about.Timer1->stop();
    const QImage shown = about.grab().toImage();
    const QPoint corner(4, 340); // left of the credits, below nothing
    EXPECT_EQ(shown.pixel(corner), about.canvas().pixel(corner));
    if (!about.Panel1->geometry().intersects(QRect(s.x, s.y, 16, 16)) &&
        !about.Memo1->geometry().intersects(QRect(s.x, s.y, 16, 16))) {
        EXPECT_EQ(shown.pixel(s.x + 8, s.y + 8), about.canvas().pixel(s.x + 8, s.y + 8));
    }

    about.Timer1->start();
    about.hide();
    EXPECT_FALSE(about.Timer1->isActive());
    const QImage frozen = about.canvas().copy();
    QTest::qWait(50);
    EXPECT_EQ(about.canvas(), frozen);
}

TEST_F(AboutTest, CreditsAndPictureInBothLanguages)
{
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.Memo1->document()->lastBlock().text(), "Use this program on your own.");
    EXPECT_EQ(about.Memo1->document()->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    ASSERT_FALSE(about.Image1->pixmap().isNull()) << "about.png beside the program";
    EXPECT_FALSE(about.Panel1->geometry().intersects(about.Memo1->geometry()));
    EXPECT_TRUE(about.rect().contains(about.Memo1->geometry()));

    about.retranslate(Language::Russian);
    EXPECT_EQ(about.windowTitle(), QString::fromUtf8("О программе и авторе"));
    const QTextDocument* doc = about.Memo1->document();
    ASSERT_EQ(doc->blockCount(), 5) << "four lines and an empty one";
    for (QTextBlock b = doc->firstBlock(); b != doc->lastBlock(); b = b.next()) {
        EXPECT_FALSE(b.text().isEmpty());
        EXPECT_EQ(b.blockFormat().alignment(), Qt::AlignHCenter);
    }
    EXPECT_TRUE(doc->lastBlock().text().isEmpty());
    EXPECT_NE(doc->toPlainText().indexOf(QString::fromUtf8("Ворлан")), -1);
}
