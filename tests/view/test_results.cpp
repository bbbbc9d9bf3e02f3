#include "modal.h"
#include "rankings.h"
#include "view/results.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace vorlan;

namespace {

class ResultsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        map.width = kMaxMapSide;
        map.height = 2;
        map.playerCount = 3;
        for (int x = 0; x < map.width; ++x)
            for (int y = 0; y < map.height; ++y)
                map.cells[x][y] = {1, 0, kNeutral};
    }

    // Gives record `i` the name and the first `blocks` free cells.
    void own(int i, const QString& name, int blocks)
    {
        map.players[i].name = name;
        for (int y = 0; y < map.height; ++y)
            for (int x = 0; x < map.width && blocks > 0; ++x)
                if (map.cells[x][y].kind == kNeutral) {
                    map.cells[x][y].kind = i;
                    --blocks;
                }
    }

    QStringList row(int r) const { return {form.cellText(0, r), form.cellText(1, r)}; }

    Map map;
    TForm2 form;
};

} // namespace

TEST_F(ResultsTest, WindowAsDefined)
{
    EXPECT_EQ(form.objectName(), "TForm2");
    EXPECT_EQ(form.windowTitle(), "Game finished");
    EXPECT_EQ(form.size(), QSize(648, 507));
    EXPECT_EQ(form.cool->text(), "OK, That's COOL !");
    EXPECT_EQ(form.cool->font().pixelSize(), 19);
    EXPECT_EQ(form.table->rowCount(), 9);
    EXPECT_EQ(form.table->columnCount(), 2);
    EXPECT_EQ(form.table->columnWidth(0), 120);
    EXPECT_EQ(form.table->rowHeight(8), 25);
    EXPECT_EQ(form.table->focusPolicy(), Qt::NoFocus);
    // The picture is a data file beside the program.
    ASSERT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_EQ(form.Image1->pixmap().size(), QSize(305, 481));
    EXPECT_LE(form.Image1->geometry().right(), form.table->geometry().left());
}

TEST_F(ResultsTest, TerritoryRowsByPlace)
{
    own(0, "A", 12);
    own(1, "B", 30);
    form.fill(map, kTerritoryGame, false);
    EXPECT_EQ(row(0), (QStringList{"", "Territory"}));
    EXPECT_EQ(row(1), (QStringList{"B", "30"}));
    EXPECT_EQ(row(2), (QStringList{"A", "12"}));
    EXPECT_EQ(row(3), (QStringList{"", ""}));
    EXPECT_EQ(form.windowTitle(), "Game finished");
}

TEST_F(ResultsTest, GoldCountsCarriedAndCityGoldOnly)
{
    own(0, "A", 1);
    map.players[0].gold = 30;
    map.players[0].cityGold = 20;
    map.cells[0][0].gold = 1000; // on her block
    map.cells[5][0] = {0, 5000, kGoldMine};
    own(2, "C", 3);
    map.players[2].gold = 60;
    form.fill(map, kGoldGame, false);
    EXPECT_EQ(row(0), (QStringList{"", "Gold"}));
    EXPECT_EQ(row(1), (QStringList{"C", "60"}));
    EXPECT_EQ(row(2), (QStringList{"A", "50"}));
}

TEST_F(ResultsTest, EqualGoldPutsTheHigherIndexFirst)
{
    own(0, "A", 0);
    own(1, "B", 0);
    map.players[0].gold = 40;
    map.players[1].cityGold = 40;
    form.fill(map, kGoldGame, false);
    EXPECT_EQ(row(1), (QStringList{"B", "40"}));
    EXPECT_EQ(row(2), (QStringList{"A", "40"}));
}

TEST_F(ResultsTest, RussianHeadersCaptionAndButton)
{
    own(0, "A", 2);
    form.fill(map, kGoldGame, true);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Игра закончена со следующими результатами:"));
    EXPECT_EQ(form.cool->text(), QString::fromUtf8("О'кей, это было круто"));
    EXPECT_EQ(row(0), (QStringList{QString::fromUtf8("Борцы"), QString::fromUtf8("Золотишко")}));
    form.fill(map, kTerritoryGame, true);
    EXPECT_EQ(row(0), (QStringList{QString::fromUtf8("Борцы"), QString::fromUtf8("Территория")}));
    EXPECT_EQ(row(1), (QStringList{"A", "2"}));
}

TEST_F(ResultsTest, AnEarlierGameLeavesNoRowsBehind)
{
    own(0, "A", 1);
    own(1, "B", 2);
    own(2, "C", 3);
    form.fill(map, kTerritoryGame, false);
    EXPECT_EQ(row(3), (QStringList{"A", "1"}));

    Map next;
    next.width = next.height = 1;
    next.playerCount = 2;
    next.cells[0][0] = {1, 0, 0};
    next.players[0].name = "Zed";
    form.fill(next, kTerritoryGame, false);
    EXPECT_EQ(row(1), (QStringList{"Zed", "1"}));
    for (int r = 2; r < 9; ++r)
        EXPECT_EQ(row(r), (QStringList{"", ""})) << r;
}

TEST_F(ResultsTest, ShownModallyAndClosedByTheButton)
{
    own(1, "B", 4);
    int result = -1;
    const QStringList opened =
        closeModals([&] { result = form.showResults(map, kTerritoryGame, false); });
    EXPECT_EQ(opened, QStringList{"TForm2"});
    EXPECT_EQ(row(1), (QStringList{"B", "4"}));
    EXPECT_EQ(map.players[1].blocksPlace, 1); // the places were computed first

    QTimer::singleShot(50, [&] { form.cool->click(); });
    EXPECT_EQ(form.showResults(map, kTerritoryGame, false), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
}
