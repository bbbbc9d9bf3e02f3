// The market dialog: the figures it shows for each operation, the amounts it
// corrects, the order Ok produces in either language, and Cancel.
#include "map.h"
#include "options/market.h"
#include "view/blockpictures.h"

#include <gtest/gtest.h>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace vorlan;

namespace {

class MarketTest : public ::testing::Test
{
protected:
    // Clicks the operation whose item reads `text`, as the player would.
    void chooseByText(const QString& text)
    {
        for (QAbstractButton* b : dlg.marketOperButtons->buttons()) {
            if (b->text() == text) {
                b->click();
                return;
            }
        }
        ADD_FAILURE() << "no operation item " << text.toStdString();
    }
    void choose(int op) { dlg.marketOperButtons->button(op)->click(); }

    BlockPictures pictures{QDir::currentPath()};
    TForm6 dlg{pictures};
};

Map mapWithFunds(int32_t cityGold, int32_t cityArmy)
{
    Map m;
    m.myIndex = 3;
    m.players[3].name = QStringLiteral("me");
    m.players[3].cityGold = cityGold;
    m.players[3].cityArmy = cityArmy;
    m.players[3].gold = 777; // carried gold is not the market's
    return m;
}

} // namespace

TEST_F(MarketTest, StartsOnCancelWithAmountsDisabledAndNoRecipient)
{
    EXPECT_EQ(dlg.operation(), kMarketCancel);
    EXPECT_EQ(dlg.howMany->value(), 100);
    EXPECT_EQ(dlg.price->value(), 1);
    EXPECT_FALSE(dlg.howMany->isEnabled());
    EXPECT_FALSE(dlg.price->isEnabled());
    EXPECT_EQ(dlg.imageYouPrefer->currentIndex(), -1);
    EXPECT_FALSE(dlg.imageYouPrefer->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.order()) << "nothing was confirmed yet";
}

TEST_F(MarketTest, BuyShowsWhatTheCityGoldPaysFor)
{
    dlg.prepare(MarketFunds{1000, 15}, false);
    choose(kMarketBuy);
    EXPECT_TRUE(dlg.howMany->isEnabled());
    EXPECT_TRUE(dlg.price->isEnabled());
    EXPECT_EQ(dlg.labelSell->text(), "You can buy");
    EXPECT_EQ(dlg.labelMoney->text(), "Gold you have");
    EXPECT_EQ(dlg.money->text(), "1000");
    dlg.price->setValue(3);
    EXPECT_EQ(dlg.soldiers->text(), "333");

    // Nothing is bought at no price or in no quantity: both go back to 1 at once.
    dlg.price->setValue(0);
    EXPECT_EQ(dlg.price->value(), 1);
    EXPECT_EQ(dlg.soldiers->text(), "1000");
    dlg.howMany->setValue(0);
    EXPECT_EQ(dlg.howMany->value(), 1);

    dlg.howMany->setValue(40);
    dlg.price->setValue(6);
    EXPECT_EQ(dlg.currentOrder(), (MarketOrder{'B', 40, 6}));
}

TEST_F(MarketTest, SellShowsWhatAllCitySoldiersWouldBring)
{
    dlg.prepare(MarketFunds{500, 15}, false);
    choose(kMarketSell);
    EXPECT_EQ(dlg.howMany->value(), 15) << "offers every soldier kept in cities";
    EXPECT_EQ(dlg.soldiers->text(), "15");
    EXPECT_EQ(dlg.labelSell->text(), "You can sell");
    EXPECT_EQ(dlg.labelMoney->text(), "Gold you'll receive");
    dlg.price->setValue(2);
    EXPECT_EQ(dlg.money->text(), "30");
    dlg.howMany->setValue(4);
    EXPECT_EQ(dlg.money->text(), "30") << "independent of the soldiers offered";
    dlg.price->setValue(0);
    EXPECT_EQ(dlg.price->value(), 1);
    EXPECT_EQ(dlg.money->text(), "15");
    EXPECT_EQ(dlg.currentOrder(), (MarketOrder{'S', 4, 1}));

    // No soldiers in cities: the offer is corrected to 1, like a zero typed in.
    dlg.prepare(MarketFunds{500, 0}, false);
    EXPECT_EQ(dlg.howMany->value(), 1);
    EXPECT_EQ(dlg.money->text(), "0");
}

TEST_F(MarketTest, ClickingTheChosenOperationAgainRecomputesIt)
{
    dlg.prepare(MarketFunds{500, 15}, false);
    choose(kMarketSell);
    dlg.howMany->setValue(4);
    choose(kMarketSell);
    EXPECT_EQ(dlg.howMany->value(), 15);
}

TEST_F(MarketTest, SaleProceedsBeyondThirtyTwoBitsAreShownWhole)
{
    dlg.prepare(MarketFunds{0, 1'000'000'000}, false);
    choose(kMarketSell);
    EXPECT_EQ(dlg.howMany->value(), 50000) << "the entry's own limit";
    dlg.price->setValue(500000);
    EXPECT_EQ(dlg.money->text(), "500000000000000");
}

TEST_F(MarketTest, GiftShowsTheRecipientAndAllowsZero)
{
    dlg.prepare(MarketFunds{250, 40}, false);
    choose(kMarketGift);
    EXPECT_EQ(dlg.imageYouPrefer->currentIndex(), 0) << "a gift always has a recipient";
    EXPECT_TRUE(dlg.imageYouPrefer->isVisibleTo(&dlg));
    EXPECT_TRUE(dlg.Label3->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.Label3->text(), "Whom to gift");
    EXPECT_EQ(dlg.Label1->text(), "Soldiers to gift");
    EXPECT_EQ(dlg.howMany->value(), 40);
    EXPECT_EQ(dlg.soldiers->text(), "40");
    EXPECT_EQ(dlg.money->text(), "250");

    dlg.price->setValue(0);
    dlg.howMany->setValue(0);
    EXPECT_EQ(dlg.price->value(), 0);
    EXPECT_EQ(dlg.howMany->value(), 0);

    dlg.imageYouPrefer->setCurrentIndex(5);
    dlg.howMany->setValue(12);
    dlg.price->setValue(30);
    const MarketOrder o = dlg.currentOrder();
    EXPECT_EQ(o.operation, char(0x35));
    EXPECT_EQ(o, (MarketOrder{'5', 12, 30}));

    // A recipient already chosen is kept when the gift is chosen again.
    choose(kMarketBuy);
    EXPECT_FALSE(dlg.imageYouPrefer->isVisibleTo(&dlg));
    choose(kMarketGift);
    EXPECT_EQ(dlg.imageYouPrefer->currentIndex(), 5);
}

TEST_F(MarketTest, CancelOperationDisablesEmptiesAndSendsZeros)
{
    dlg.prepare(MarketFunds{90, 9}, false);
    choose(kMarketGift);
    dlg.howMany->setValue(8);
    dlg.price->setValue(70);
    choose(kMarketCancel);
    EXPECT_FALSE(dlg.howMany->isEnabled());
    EXPECT_FALSE(dlg.price->isEnabled());
    EXPECT_TRUE(dlg.soldiers->text().isEmpty());
    EXPECT_TRUE(dlg.money->text().isEmpty());
    EXPECT_FALSE(dlg.imageYouPrefer->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.Label1->text(), "How many ?");
    EXPECT_EQ(dlg.currentOrder(), (MarketOrder{'N', 0, 0}));
}

TEST_F(MarketTest, WithoutAnOwnPlayerOnlyTheCaptionsAreReset)
{
    dlg.prepare(MarketFunds{250, 40}, false);
    choose(kMarketGift);
    dlg.prepare(std::nullopt, false);
    EXPECT_EQ(dlg.Label1->text(), "How many ?");
    EXPECT_EQ(dlg.Label2->text(), "Gold for one soldier");
    EXPECT_FALSE(dlg.imageYouPrefer->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.Label3->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.soldiers->text(), "40");
    EXPECT_EQ(dlg.money->text(), "250");
    EXPECT_EQ(dlg.labelSell->text(), "Soldiers max to gift");

    // Nor is anything corrected or recomputed.
    choose(kMarketBuy);
    dlg.price->setValue(0);
    EXPECT_EQ(dlg.price->value(), 0);
    EXPECT_EQ(dlg.soldiers->text(), "40");
}

TEST(MarketFundsTest, ComeFromTheOwnPlayersCityRecord)
{
    Map m = mapWithFunds(1200, 34);
    const auto f = marketFunds(m);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->cityGold, 1200);
    EXPECT_EQ(f->cityArmy, 34);
    m.myIndex = -1;
    EXPECT_FALSE(marketFunds(m));
}

TEST_F(MarketTest, OkGivesTheOrderAndCancelGivesNone)
{
    auto map = std::make_unique<Map>(mapWithFunds(1000, 20));
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_TRUE(dlg.isModal());
        choose(kMarketBuy);
        EXPECT_EQ(dlg.money->text(), "1000");
        dlg.howMany->setValue(9);
        dlg.price->setValue(4);
        // A disconnection while the dialog is open replaces the map; the
        // dialog must not depend on it any more.
        map.reset();
        dlg.Button1->click();
    });
    EXPECT_EQ(dlg.runFor(*map, false), QDialog::Accepted);
    ASSERT_TRUE(dlg.order());
    EXPECT_EQ(*dlg.order(), (MarketOrder{'B', 9, 4}));

    // Each opening works from the map of that moment and keeps the choices.
    map = std::make_unique<Map>(mapWithFunds(300, 20));
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_EQ(dlg.operation(), kMarketBuy);
        EXPECT_EQ(dlg.money->text(), "300");
        dlg.Button2->click();
    });
    EXPECT_EQ(dlg.runFor(*map, false), QDialog::Rejected);
    EXPECT_FALSE(dlg.order());

    QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_EQ(dlg.runFor(*map, false), QDialog::Rejected);
    EXPECT_FALSE(dlg.order());

    QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(dlg.price, Qt::Key_Return); });
    EXPECT_EQ(dlg.runFor(*map, false), QDialog::Accepted) << "Ok is the default button";
    EXPECT_EQ(*dlg.order(), (MarketOrder{'B', 9, 4}));
}

TEST_F(MarketTest, OrdersFromTheEnglishItems)
{
    dlg.prepare(MarketFunds{100, 10}, false);
    dlg.howMany->setValue(3);
    const struct
    {
        const char* item;
        char code;
    } cases[] = {{"Buy soldiers", 'B'},
                 {"Sell soldiers", 'S'},
                 {"Gift soldiers and gold", '0'},
                 {"Cancel market operation", 'N'}};
    for (const auto& c : cases) {
        chooseByText(QString::fromLatin1(c.item));
        EXPECT_EQ(dlg.currentOrder().operation, c.code) << c.item;
    }
}

TEST_F(MarketTest, RussianTextsAndOrdersFromTheRussianItems)
{
    dlg.prepare(MarketFunds{100, 10}, false);
    choose(kMarketSell);
    dlg.retranslate(Language::Russian);
    EXPECT_EQ(dlg.operation(), kMarketCancel) << "the new item list starts at its first item";
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Торговля"));
    EXPECT_EQ(dlg.marketOper->title(), QString::fromUtf8("Выберите тип операции"));
    EXPECT_EQ(dlg.Button1->text(), QString::fromUtf8("Принять"));
    EXPECT_EQ(dlg.Button2->text(), QString::fromUtf8("Отменить"));
    QStringList items;
    for (int i = 0; i < kMarketOperations; ++i)
        items << dlg.marketOperButtons->button(i)->text();
    EXPECT_EQ(items,
              QStringList({QString::fromUtf8("Отменить операцию"),
                           QString::fromUtf8("Купить солдат"), QString::fromUtf8("Продать солдат"),
                           QString::fromUtf8("Подарить солдат или золото")}));

    dlg.prepare(MarketFunds{100, 10}, true);
    chooseByText(QString::fromUtf8("Купить солдат"));
    EXPECT_EQ(dlg.labelSell->text(), QString::fromUtf8("Можете купить"));
    EXPECT_EQ(dlg.labelMoney->text(), QString::fromUtf8("У вас денег"));
    EXPECT_EQ(dlg.currentOrder().operation, 'B');
    chooseByText(QString::fromUtf8("Продать солдат"));
    EXPECT_EQ(dlg.labelMoney->text(), QString::fromUtf8("Получите денег"));
    EXPECT_EQ(dlg.currentOrder().operation, 'S');
    chooseByText(QString::fromUtf8("Подарить солдат или золото"));
    EXPECT_EQ(dlg.Label1->text(), QString::fromUtf8("Подарить солдат"));
    EXPECT_EQ(dlg.Label3->text(), QString::fromUtf8("Кого одарить"));
    dlg.imageYouPrefer->setCurrentIndex(7);
    EXPECT_EQ(dlg.currentOrder(), (MarketOrder{'7', 10, 1}));
    chooseByText(QString::fromUtf8("Отменить операцию"));
    EXPECT_EQ(dlg.currentOrder(), (MarketOrder{'N', 0, 0}));
}
