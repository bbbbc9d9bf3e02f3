#include "view/mappanel.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace vorlan;

namespace {

// Solid pictures with a colour per number, so that pixels tell which
// picture was drawn where.
QColor pictureColor(int i)
{
    return QColor(10 * i + 5, 100, 200 - 5 * i);
}

class MapPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (int i = 0; i < kBlockPictureCount; ++i) {
            QImage img(16, 16, QImage::Format_RGB32);
            img.fill(pictureColor(i));
            ASSERT_TRUE(img.save(dir.filePath(QString::number(i) + ".bmp")));
        }
        pictures = std::make_unique<BlockPictures>(dir.path());
        ASSERT_TRUE(pictures->errors().isEmpty());
        panel = std::make_unique<MapPanel>(pictures.get());
        panel->setMapSource([this] { return &map; });
    }

    // A w x h map of neutral land with player 0 at (1, 1).
    void makeMap(int w, int h, int block = 16)
    {
        QByteArray b;
        b.append(char(w)).append(char(h)).append(char(1));
        b.append(QByteArray(w * h, char(kNeutral)));
        b.append(char(1)).append(char(1));
        map = Map::fromBytes(b);
        map.blockWidth = map.blockHeight = block;
        panel->resize(mapPanelSize(map));
        panel->paintMap();
    }

    QColor at(int x, int y) const { return panel->canvas().pixelColor(x, y); }

    QTemporaryDir dir;
    std::unique_ptr<BlockPictures> pictures;
    std::unique_ptr<MapPanel> panel;
    Map map;
};

const QColor kWhite(255, 255, 255), kBlack(0, 0, 0), kRed(255, 0, 0);

} // namespace

TEST(BlockGeometryTest, PitchAndPictureRectangle)
{
    const BlockGeometry g(0, 0, 16, 16);
    EXPECT_EQ(g.x0, 1);
    EXPECT_EQ(g.y0, 1);
    EXPECT_EQ(g.picture(), QRect(QPoint(3, 3), QPoint(18, 18))); // (3,3)-(19,19) exclusive
    EXPECT_EQ(BlockGeometry(1, 0, 16, 16).x0, 21);
    EXPECT_EQ(BlockGeometry(0, 2, 8, 8).y0, 25);
}

TEST(MapPanelSizeTest, MinimumAndLargestMap)
{
    Map m;
    m.width = m.height = 10;
    EXPECT_EQ(mapPanelSize(m), QSize(400, 360));
    m.width = m.height = 40;
    EXPECT_EQ(mapPanelSize(m), QSize(804, 804));
    m.blockWidth = m.blockHeight = 64;
    EXPECT_EQ(mapPanelSize(m), QSize(40 * 68 + 4, 40 * 68 + 4));
}

TEST(GarrisonPictureTest, Levels)
{
    EXPECT_EQ(garrisonPicture(0), 12);
    EXPECT_EQ(garrisonPicture(9), 12);
    EXPECT_EQ(garrisonPicture(10), 13);
    EXPECT_EQ(garrisonPicture(29), 13);
    EXPECT_EQ(garrisonPicture(30), 14);
    EXPECT_EQ(garrisonPicture(99), 14);
    EXPECT_EQ(garrisonPicture(100), 15);
    EXPECT_EQ(garrisonPicture(999), 16);
    EXPECT_EQ(garrisonPicture(1000), 17);
}

TEST_F(MapPanelTest, RaisedFrameAndPicture)
{
    makeMap(3, 3);
    // Block (0, 0): X0 = Y0 = 1, w = h = 19.
    EXPECT_EQ(at(1, 1), kWhite);                 // top-left corner
    EXPECT_EQ(at(10, 1), kWhite);                // top line
    EXPECT_EQ(at(1, 10), kWhite);                // left line
    EXPECT_EQ(at(20, 10), kBlack);               // inner right at X0 + w
    EXPECT_EQ(at(10, 20), kBlack);               // inner bottom at Y0 + h
    EXPECT_EQ(at(10, 21), kWhite);               // outer bottom at Y0 + h + 1
    EXPECT_EQ(at(2, 2), MapPanel::kWindowColor); // gap between frame and picture
    EXPECT_EQ(at(3, 3), pictureColor(kNeutral));
    EXPECT_EQ(at(18, 18), pictureColor(kNeutral));
    EXPECT_EQ(at(19, 19), MapPanel::kWindowColor);
    // Outside the grid the window colour shows.
    EXPECT_EQ(at(100, 100), MapPanel::kWindowColor);
}

TEST_F(MapPanelTest, CursorOnlyWithAPlace)
{
    makeMap(3, 3);
    EXPECT_EQ(at(21, 21), kWhite); // idle map: no red anywhere
    map.myIndex = 0;
    panel->paintMap();
    // Player 0 stands on (1, 1): X0 = Y0 = 21.
    EXPECT_EQ(at(21, 21), kRed);
    EXPECT_EQ(at(30, 21), kRed);
    EXPECT_EQ(at(41, 30), kRed); // outer right
    EXPECT_EQ(at(40, 30), kRed); // inner right
    EXPECT_EQ(at(30, 40), kRed); // inner bottom
    EXPECT_EQ(at(30, 41), kRed); // outer bottom
    EXPECT_EQ(at(25, 25), pictureColor(kNeutral));
}

TEST_F(MapPanelTest, RedrawingANeighbourKeepsTheCursorWhole)
{
    makeMap(3, 3);
    map.myIndex = 0;
    map.cells[1][1].kind = 0;
    panel->paintMap();
    // The block left of the cursor shares the cursor's left line (x = 21).
    panel->paintBlock(0, 1);
    EXPECT_EQ(at(21, 30), kRed);
    panel->paintBlock(2, 1); // shares the cursor's outer right line (x = 41)
    EXPECT_EQ(at(41, 30), kRed);
    panel->paintBlock(1, 2); // shares its outer bottom line (y = 41)
    EXPECT_EQ(at(30, 41), kRed);
}

TEST_F(MapPanelTest, HatchWhilePausedLetsThePictureShowThrough)
{
    makeMap(2, 2);
    map.paused = true;
    panel->paintMap();
    int grey = 0, picture = 0;
    for (int y = 3; y < 19; ++y)
        for (int x = 3; x < 19; ++x) {
            const QColor c = at(x, y);
            grey += c == QColor(128, 128, 128);
            picture += c == pictureColor(kNeutral);
        }
    EXPECT_GT(grey, 16);
    EXPECT_GT(picture, 16);
    EXPECT_EQ(grey + picture, 256);
    // The frame is not hatched.
    EXPECT_EQ(at(10, 1), kWhite);
}

TEST_F(MapPanelTest, GarrisonPicturesOnlyForOwnBlocksWhileOn)
{
    makeMap(4, 1);
    map.myIndex = 2;
    map.players[2].x = 3;
    map.players[2].y = 0;
    map.cells[0][0] = {9, 0, 2};
    map.cells[1][0] = {1000, 0, 2};
    map.cells[2][0] = {1000, 0, 3}; // another player's block
    panel->paintMap();
    EXPECT_EQ(at(5, 5), pictureColor(2));
    map.showArmyLevels = 1;
    panel->paintMap();
    EXPECT_EQ(at(5, 5), pictureColor(12));
    EXPECT_EQ(at(25, 5), pictureColor(17));
    EXPECT_EQ(at(45, 5), pictureColor(3));
}

TEST_F(MapPanelTest, ScaledPicturesAndSmallerMapsLeaveNoRemains)
{
    makeMap(5, 5, 64);
    EXPECT_EQ(at(3 + 63, 3 + 63), pictureColor(kNeutral));
    // Shrink: the old drawing must not remain around the smaller one.
    map.blockWidth = map.blockHeight = 8;
    panel->paintMap();
    EXPECT_EQ(at(3, 3), pictureColor(kNeutral));
    EXPECT_EQ(at(10, 10), pictureColor(kNeutral));
    EXPECT_EQ(at(11, 11), MapPanel::kWindowColor);
    EXPECT_EQ(at(200, 200), MapPanel::kWindowColor);
}

TEST_F(MapPanelTest, MissingPictureIsAPlainColourAndNamed)
{
    QFile::remove(dir.filePath("9.bmp"));
    BlockPictures partial(dir.path());
    ASSERT_EQ(partial.errors().size(), 1);
    EXPECT_TRUE(partial.errors().first().contains("9.bmp"));
    MapPanel p(&partial);
    makeMap(1, 1);
    p.setMapSource([this] { return &map; });
    p.resize(400, 360);
    p.paintMap();
    EXPECT_EQ(p.canvas().pixelColor(5, 5), BlockPictures::fallbackColor(9));
}
