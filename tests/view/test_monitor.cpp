#include "appstate.h"
#include "view/blockpictures.h"
#include "view/monitor.h"

#include <gtest/gtest.h>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;

namespace {

QColor emblemColor(int i)
{
    return QColor(20 * i + 10, 200 - 20 * i, 60);
}

class MonitorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (int i = 0; i < kBlockPictureCount; ++i) {
            QImage img(16, 16, QImage::Format_RGB32);
            img.fill(emblemColor(i));
            ASSERT_TRUE(img.save(dir.filePath(QString::number(i) + ".bmp")));
        }
        pictures = std::make_unique<BlockPictures>(dir.path());
        form = std::make_unique<TForm3>(state, *pictures);
        map.width = map.height = 2;
        map.playerCount = 8;
        for (int x = 0; x < 2; ++x)
            for (int y = 0; y < 2; ++y)
                map.cells[x][y] = {1, 0, kNeutral};
    }

    QString cell(int col, int row) const { return form->cellText(col, row); }
    QStringList row(int r) const
    {
        QStringList texts;
        for (int c = 1; c < TForm3::kColumns; ++c)
            texts << cell(c, r);
        return texts;
    }
    int rowHeight(int r) const { return form->monitor->rowHeight(r - 1); }

    QTemporaryDir dir;
    AppState state;
    std::unique_ptr<BlockPictures> pictures;
    std::unique_ptr<TForm3> form;
    Map map;
};

} // namespace

TEST_F(MonitorTest, WindowAndEnglishHeaders)
{
    EXPECT_EQ(form->objectName(), "TForm3");
    EXPECT_EQ(form->windowTitle(), "Monitor");
    EXPECT_EQ(form->size(), QSize(643, 165));
    EXPECT_EQ(form->monitor->objectName(), "monitor");
    EXPECT_EQ(form->monitor->columnCount(), 12);
    EXPECT_EQ(form->monitor->rowCount(), 8);
    const QStringList headers{"",         " Name", "  Army",   "Pl", "  Gold", "Pl",
                              "  Blocks", "Pl",    "  Killed", "Pl", "Oper",   "Number"};
    const int widths[] = {20, 70, 80, 20, 80, 20, 80, 20, 80, 20, 45, 80};
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(cell(c, 0), headers[c]) << c;
        EXPECT_EQ(form->monitor->columnWidth(c), widths[c]) << c;
    }
    EXPECT_TRUE(form->monitor->horizontalHeader()->sectionsMovable());
    EXPECT_EQ(form->monitor->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
    EXPECT_EQ(form->monitor->font().pixelSize(), 13);
    EXPECT_TRUE(form->monitor->font().bold());
    EXPECT_EQ(rowHeight(1), 18); // before any refresh
}

TEST_F(MonitorTest, RussianCaptionAndHeaders)
{
    form->retranslate(Language::Russian);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Монитор игроков"));
    const QStringList headers{"",
                              QString::fromUtf8(" Имя"),
                              QString::fromUtf8("  Армия"),
                              QString::fromUtf8("М"),
                              QString::fromUtf8(" Золото"),
                              QString::fromUtf8("М"),
                              QString::fromUtf8("  Клеток"),
                              QString::fromUtf8("М"),
                              QString::fromUtf8("  Убито"),
                              QString::fromUtf8("М"),
                              QString::fromUtf8("Опер"),
                              QString::fromUtf8("Количество")};
    for (int c = 0; c < 12; ++c)
        EXPECT_EQ(cell(c, 0), headers[c]) << c;
    // Every Russian header and offer fits its column.
    const QFontMetrics m(form->monitor->font());
    for (int c = 0; c < 12; ++c)
        EXPECT_LT(m.horizontalAdvance(headers[c]), form->monitor->columnWidth(c)) << c;
    for (int offer = 0; offer < 3; ++offer)
        EXPECT_LT(m.horizontalAdvance(marketOfferText(offer, true)),
                  form->monitor->columnWidth(10));
}

TEST_F(MonitorTest, RowsBelongToRecordsAndFreeRecordsShrink)
{
    // Named records 0, 2 and 3; record 1 is a gap in the middle.
    Player& a = map.players[0];
    a.name = "Ann";
    a.army = 10;
    a.cityArmy = 3;
    a.gold = 7;
    a.cityGold = 8;
    a.killed = 4;
    a.marketOffer = 1;
    a.marketAmount = 150;
    map.cells[0][0] = {5, 0, 0};
    map.cells[1][0] = {7, 900, 0}; // the gold lying here counts for nobody
    map.players[2].name = "Cid";
    map.players[2].marketOffer = 2;
    map.players[2].marketAmount = 40;
    map.cells[0][1] = {2, 0, 2};
    map.players[3].name = "Dee";
    map.players[3].killed = 9;

    form->refreshMonitor(map, false);

    EXPECT_EQ(row(1),
              (QStringList{" Ann", "25", "1", "15", "1", "2", "1", "4", "2", "Buy", "150"}));
    EXPECT_EQ(row(3), (QStringList{" Cid", "2", "2", "0", "3", "1", "2", "0", "3", "Sell", "40"}));
    EXPECT_EQ(row(4), (QStringList{" Dee", "0", "3", "0", "2", "0", "3", "9", "1", "None", "0"}));
    EXPECT_EQ(row(2), QStringList(11, QString())); // never written
    EXPECT_EQ(rowHeight(1), 20);
    EXPECT_EQ(rowHeight(2), 1);
    EXPECT_EQ(rowHeight(3), 20);
    EXPECT_EQ(rowHeight(4), 20);
    for (int r = 5; r <= 8; ++r)
        EXPECT_EQ(rowHeight(r), 1) << r;
    // The refresh left the totals and places in the records.
    EXPECT_EQ(map.players[0].armyTotal, 25);
    EXPECT_EQ(map.players[3].killedPlace, 1);
}

TEST_F(MonitorTest, MarketOfferTexts)
{
    map.players[0].name = "Ann";
    map.players[0].marketOffer = 1;
    form->refreshMonitor(map, true);
    EXPECT_EQ(cell(10, 1), QString::fromUtf8("Куплю"));
    map.players[0].marketOffer = 2;
    form->refreshMonitor(map, true);
    EXPECT_EQ(cell(10, 1), QString::fromUtf8("Продам"));
    map.players[0].marketOffer = 0;
    form->refreshMonitor(map, true);
    EXPECT_EQ(cell(10, 1), QString::fromUtf8("Нет"));
    // A code without a text leaves the cell as it was.
    map.players[0].marketOffer = 7;
    form->refreshMonitor(map, true);
    EXPECT_EQ(cell(10, 1), QString::fromUtf8("Нет"));
    EXPECT_EQ(marketOfferText(-1, false), QString());
}

TEST_F(MonitorTest, EmblemsAreDrawnUnscaledInTheFirstColumn)
{
    map.players[0].name = "Ann";
    map.players[2].name = "Cid";
    form->refreshMonitor(map, false);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QImage shot = form->monitor->viewport()->grab().toImage();
    for (int record : {0, 2}) {
        const QRect r = form->monitor->visualRect(form->monitor->model()->index(record, 0));
        EXPECT_EQ(shot.pixelColor(r.topLeft() + QPoint(2, 2)), emblemColor(record)) << record;
        EXPECT_EQ(shot.pixelColor(r.topLeft() + QPoint(17, 17)), emblemColor(record)) << record;
        EXPECT_NE(shot.pixelColor(r.topLeft() + QPoint(18, 18)), emblemColor(record)) << record;
        EXPECT_NE(shot.pixelColor(r.topLeft() + QPoint(1, 1)), emblemColor(record)) << record;
    }
}

TEST_F(MonitorTest, WorksOnTheCurrentMapWhenShown)
{
    form->refreshMonitor(); // no map: nothing to do
    EXPECT_EQ(cell(1, 1), QString());

    state.map = std::make_unique<Map>(map);
    state.map->players[4].name = "Eve";
    form->refreshIfVisible(); // hidden: nothing
    EXPECT_EQ(cell(1, 5), QString());

    form->show();
    EXPECT_EQ(cell(1, 5), " Eve");
    state.map->players[4].name = "Eva";
    form->refreshIfVisible();
    EXPECT_EQ(cell(1, 5), " Eva");
    EXPECT_EQ(state.map->players[4].armyPlace, 1);
}

TEST_F(MonitorTest, HidingHandsTheFocusBack)
{
    QSignalSpy hidden(form.get(), &TForm3::hidden);
    form->show();
    EXPECT_EQ(hidden.count(), 0);
    form->hide();
    EXPECT_EQ(hidden.count(), 1);
    form->show();
    QTest::keyClick(form.get(), Qt::Key_Escape); // Esc closes the tool window
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(hidden.count(), 2);
}

TEST_F(MonitorTest, KeysSetTheModifierFlags)
{
    form->show();
    QKeyEvent shiftCtrl(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier);
    QApplication::sendEvent(form->monitor, &shiftCtrl);
    EXPECT_TRUE(state.Shifted);
    EXPECT_TRUE(state.Ctrled);
    EXPECT_FALSE(state.Alted);
    QKeyEvent alt(QEvent::KeyRelease, Qt::Key_A, Qt::AltModifier);
    QApplication::sendEvent(form->monitor, &alt);
    EXPECT_FALSE(state.Shifted);
    EXPECT_FALSE(state.Ctrled);
    EXPECT_TRUE(state.Alted);
    QKeyEvent none(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &none);
    EXPECT_FALSE(state.Alted);
}
