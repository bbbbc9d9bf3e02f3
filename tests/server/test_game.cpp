// The rules of one game, driven directly: seats, start, orders, growth, the
// clock, pause, market and chat, each checked through what a client receives.
#include "encoders.h"
#include "game.h"
#include "server_support.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using test::ClientView;
using test::smallMap;

struct GameTest : ::testing::Test
{
    std::array<ClientView, kMaxSeats> views;
    Game game{3, "g", "small", smallMap(),
              [this](int seat, const QByteArray& m) { views.at(size_t(seat)).feed(m); }};

    void SetUp() override
    {
        for (auto& v : views)
            v.feed(toClient::mapData({smallMap()}));
    }
    // Two players seated, started at the highest speed and synced.
    void startTwo(int minutes = 40)
    {
        ASSERT_EQ(game.addPlayer("Ann", 0), 0);
        ASSERT_EQ(game.addPlayer("Bob", 1), 1);
        ASSERT_TRUE(game.start(4, '0', minutes));
        game.sync(0);
        game.sync(1);
    }
    const Player& player(int i) const { return game.map().players[size_t(i)]; }
    const Cell& cell(int x, int y) const { return game.map().cell(x, y); }
    void order(int p, char code, int32_t arg = 0) { game.order(p, {code, arg}); }
};

TEST_F(GameTest, SeatsFollowTheEmblemWhileFreeAndStopAtTheStartPositions)
{
    EXPECT_EQ(game.capacity(), 2);
    EXPECT_EQ(game.addPlayer("Ann", 1), 1);
    EXPECT_EQ(game.addPlayer("Bob", 1), 0); // taken: first free
    EXPECT_EQ(game.addPlayer("Cid", 0), -1);
    game.leave(0);
    EXPECT_FALSE(game.seatTaken(0));
    EXPECT_EQ(game.addPlayer(QString(200, QChar('x')), 7), 0); // 7 is no start position
    EXPECT_EQ(player(0).name.size(), kMaxNameBytes);
}

TEST_F(GameTest, StartRefusesBadSettingsAndSetsUpTheStartBlocks)
{
    game.addPlayer("Ann", 0);
    EXPECT_FALSE(game.start(5, '0', 10));
    EXPECT_FALSE(game.start(2, '2', 10));
    EXPECT_FALSE(game.start(2, '1', 0));
    EXPECT_FALSE(game.start(2, '1', kMaxMinutes + 1));
    ASSERT_TRUE(game.start(1, '1', 12));
    EXPECT_EQ(game.intervalMs(), 700);
    EXPECT_FALSE(game.start(1, '1', 12));
    EXPECT_EQ(game.addPlayer("Late", 1), -1);
    EXPECT_EQ(cell(1, 1).kind, 0);
    EXPECT_EQ(cell(1, 1).army, kStartGarrison);
    EXPECT_EQ(cell(4, 2).kind, kNeutral); // seat 1 is empty
    EXPECT_EQ(player(0).army, kStartArmy);
}

TEST_F(GameTest, SyncSendsTheWholeGameThenTheReadyText)
{
    startTwo();
    const ClientView& v = views[1];
    EXPECT_EQ(v.names[1], "youAre"); // after the map of SetUp
    EXPECT_EQ(v.map.myIndex, 1);
    EXPECT_EQ(v.count("cellUpdate"), 6 * 4);
    EXPECT_EQ(v.leaveIfMore, kDefaultLeaveIfMore);
    EXPECT_EQ(v.roundTo, 0);
    EXPECT_EQ(v.map.players[0].name, "Ann");
    EXPECT_EQ(v.map.cell(1, 1).kind, 0);
    ASSERT_GE(v.texts.size(), 2);
    EXPECT_EQ(v.texts[v.texts.size() - 2], "TIME LEFT:40");
    EXPECT_EQ(v.texts.last(), kSyncedText);
}

TEST_F(GameTest, MovesAttacksAndImpassableBlocks)
{
    startTwo();
    order(0, 'U'); // (1, 0) neutral with 1 soldier: taken
    EXPECT_EQ(cell(1, 0).kind, 0);
    EXPECT_EQ(cell(1, 0).army, 1);
    EXPECT_EQ(player(0).army, kStartArmy - 2);
    EXPECT_EQ(player(0).killed, 1);
    EXPECT_EQ(player(0).armyChange, -2);
    order(0, 'U'); // outside the grid
    EXPECT_EQ(player(0).y, 0);

    // Bob walks to the rock's side and cannot enter it.
    order(1, 'U');
    order(1, 'L');
    EXPECT_EQ(player(1).x, 4); // (3, 1) is impassable
    EXPECT_EQ(player(1).y, 1); // the city at (4, 1) was entered

    // A failed attack: the carried army is lost, the garrison shrinks, the
    // attacker stays where he was.
    game.editMap().cell(2, 0) = {100, 0, 1};
    order(0, 'R');
    EXPECT_EQ(player(0).x, 1);
    EXPECT_EQ(player(0).army, 0);
    EXPECT_EQ(cell(2, 0).army, 100 - (kStartArmy - 2));
    EXPECT_EQ(player(1).killed, kStartArmy - 2);
    EXPECT_EQ(views[1].changes.back(), std::make_pair(1, -(kStartArmy - 2)));
    // Without soldiers a player walks onto any passable block.
    order(0, 'R');
    EXPECT_EQ(player(0).x, 2);
    EXPECT_EQ(cell(2, 0).kind, 1);
}

TEST_F(GameTest, PutAndGetOnOwnBlocksCitiesAndMines)
{
    startTwo();
    order(0, 'P', 20);
    EXPECT_EQ(cell(1, 1).army, kStartGarrison + 20);
    order(0, 'P', 1000); // only what he carries
    EXPECT_EQ(player(0).army, 0);
    order(0, 'G', 0); // all
    EXPECT_EQ(player(0).army, kStartArmy + kStartGarrison);
    EXPECT_EQ(cell(1, 1).army, 0);
    order(0, 'P', -5);
    EXPECT_EQ(player(0).army, kStartArmy + kStartGarrison);
    order(0, 'p', 30);
    EXPECT_EQ(cell(1, 1).gold, 30);

    order(0, 'R'); // the city at (2, 1)
    order(0, 'P', 25);
    order(0, 'p', 40);
    EXPECT_EQ(player(0).cityArmy, 25);
    EXPECT_EQ(player(0).cityGold, 40);
    order(0, 'G', 5);
    EXPECT_EQ(player(0).cityArmy, 20);

    order(0, 'D');
    order(0, 'L'); // the gold mine at (1, 2)
    EXPECT_EQ(player(0).x, 1);
    EXPECT_EQ(player(0).y, 2);
    order(0, 'P', 10); // nobody's block: refused
    order(0, 'g', 60);
    EXPECT_EQ(cell(1, 2).gold, 40);
    EXPECT_EQ(player(0).gold, kStartGold - 70 + 60);
    EXPECT_EQ(views[0].map.cell(1, 2).gold, 40);
}

TEST_F(GameTest, LeaveIfMoreAndRoundToAreAcknowledgedAndActOnOwnBlocks)
{
    startTwo();
    order(0, 'i', 10);
    order(0, 't', 30);
    order(0, 't', 31); // not a value of the cycle
    EXPECT_EQ(views[0].leaveIfMore, 10);
    EXPECT_EQ(views[0].roundTo, 30);
    EXPECT_EQ(player(0).roundTo, 30);
    order(0, 'U'); // takes (1, 0): 48 carried, surplus 38, rounded to 30
    EXPECT_EQ(cell(1, 0).army, 1 + 30);
    EXPECT_EQ(player(0).army, 18);
    order(0, 'D'); // own block: surplus 8 rounds to 0
    EXPECT_EQ(player(0).army, 18);
    order(0, 't', 0);
    order(0, 'U');
    EXPECT_EQ(player(0).army, 10);
}

TEST_F(GameTest, CityJumpsReachTheNearestCityOnThatSide)
{
    startTwo();
    order(0, '2'); // not in a city
    EXPECT_EQ(player(0).x, 1);
    order(0, 'R');
    order(0, '2');
    EXPECT_EQ(player(0).x, 4);
    EXPECT_EQ(player(0).y, 1);
    order(0, '2'); // nothing further right
    EXPECT_EQ(player(0).x, 4);
    order(0, '1');
    EXPECT_EQ(player(0).x, 2);
}

TEST_F(GameTest, GrowthKeepsTheClientsPictureIdenticalToTheServers)
{
    startTwo();
    const char moves[] = "URRDDLLUPGRRUDLL";
    for (int i = 0; i < 60; ++i) {
        order(i % 2, moves[i % 16], 7);
        game.step();
    }
    EXPECT_EQ(views[0].count("eventCame"), 6);
    for (const ClientView* pv : {&views[0], &views[1]}) {
        const ClientView& v = *pv;
        for (int x = 0; x < 6; ++x) {
            for (int y = 0; y < 4; ++y) {
                EXPECT_EQ(v.map.cell(x, y).army, cell(x, y).army) << x << "," << y;
                EXPECT_EQ(v.map.cell(x, y).gold, cell(x, y).gold) << x << "," << y;
                EXPECT_EQ(v.map.cell(x, y).kind, cell(x, y).kind) << x << "," << y;
            }
        }
        EXPECT_EQ(v.map.players[0].army, player(0).army);
        EXPECT_EQ(v.step, 60);
    }
    EXPECT_EQ(cell(1, 2).gold, 100 + 6 * 100);
}

TEST_F(GameTest, ClockAnnouncesMinutesAndEndsTheGame)
{
    startTwo(2);
    const int stepsPerMinute = 60000 / kStepIntervalMs[4];
    for (int i = 0; i < stepsPerMinute; ++i)
        game.step();
    EXPECT_TRUE(views[0].texts.contains("TIME LEFT:1"));
    EXPECT_EQ(game.state(), Game::State::Running);
    for (int i = 0; i < stepsPerMinute - 1; ++i)
        game.step();
    EXPECT_EQ(views[0].count("gameOver"), 0);
    game.step();
    EXPECT_EQ(game.state(), Game::State::Over);
    EXPECT_EQ(views[1].texts.last(), "TIME LEFT:0");
    EXPECT_EQ(views[1].names.last(), "gameOver");
    const int steps = game.stepNumber();
    game.step();
    EXPECT_EQ(game.stepNumber(), steps);
}

TEST_F(GameTest, AShortenedMinuteDrivesTheClockAndTheEnd)
{
    game.setMinuteMs(1000); // ten steps of 100 ms
    startTwo(2);
    for (int i = 0; i < 10; ++i)
        game.step();
    EXPECT_TRUE(views[0].texts.contains("TIME LEFT:1"));
    EXPECT_EQ(game.info().elapsedSeconds, 60); // the clients' clock shows game time
    for (int i = 0; i < 10; ++i)
        game.step();
    EXPECT_EQ(game.state(), Game::State::Over);
    EXPECT_EQ(game.stepNumber(), 20);
}

TEST_F(GameTest, LongGamesShowAtMostTwoDigits)
{
    game.addPlayer("Ann", 0);
    game.start(0, '0', kMaxMinutes);
    game.sync(0);
    EXPECT_TRUE(views[0].texts.contains("TIME LEFT:99"));
}

TEST_F(GameTest, PauseStopsTheClockAndOrders)
{
    startTwo();
    game.togglePause(1);
    EXPECT_EQ(views[0].texts.last(), kPausedText);
    game.step();
    EXPECT_EQ(game.stepNumber(), 0);
    order(0, 'U');
    EXPECT_EQ(player(0).y, 1);
    game.togglePause(0);
    EXPECT_EQ(views[1].texts.last(), kUnpausedText);
    EXPECT_EQ(views[1].names.last(), "gameInfo");
    game.step();
    EXPECT_EQ(game.stepNumber(), 1);
}

TEST_F(GameTest, MarketMatchesBuyAndSellAtTheSellersPriceAndGifts)
{
    startTwo();
    game.editMap().players[0].cityGold = 100;
    game.editMap().players[1].cityArmy = 50;
    game.market(0, {'B', 40, 3});
    EXPECT_EQ(player(0).marketOffer, 1);
    game.market(1, {'S', 30, 4}); // asks more than offered: no trade
    EXPECT_EQ(player(1).cityArmy, 50);
    game.market(1, {'S', 30, 2});
    EXPECT_EQ(player(0).cityArmy, 30);
    EXPECT_EQ(player(0).cityGold, 40);
    EXPECT_EQ(player(1).cityGold, 60);
    EXPECT_EQ(player(1).marketOffer, 0);
    EXPECT_EQ(player(0).marketAmount, 10);
    EXPECT_EQ(views[1].map.players[0].marketAmount, 10);
    game.market(0, {'N', 0, 0});
    EXPECT_EQ(player(0).marketOffer, 0);

    game.market(1, {'1', 5, 5}); // a gift to himself: refused
    EXPECT_EQ(player(1).cityArmy, 20);
    game.market(1, {'0', 100, 25}); // only what he keeps in cities
    EXPECT_EQ(player(1).cityArmy, 0);
    EXPECT_EQ(player(0).cityArmy, 50);
    EXPECT_EQ(player(0).cityGold, 65);
    EXPECT_EQ(views[0].texts.last(), "Bob gave you 20 soldiers and 25 gold");
    game.market(1, {'0', 100, 100});
    EXPECT_EQ(player(1).cityGold, 0);
    EXPECT_EQ(player(0).cityGold, 100);
}

TEST_F(GameTest, GiftLineShowsTheGiversNameAsTyped)
{
    // A name with place markers is text, not a format.
    ASSERT_EQ(game.addPlayer("Ann", 0), 0);
    ASSERT_EQ(game.addPlayer("A%1%2", 1), 1);
    ASSERT_TRUE(game.start(4, '0', 40));
    game.sync(0);
    game.sync(1);
    game.editMap().players[1].cityArmy = 7;
    game.editMap().players[1].cityGold = 5;
    game.market(1, {'0', 7, 5});
    EXPECT_EQ(views[0].texts.last(), "A%1%2 gave you 7 soldiers and 5 gold");
}

TEST_F(GameTest, ChatGoesToTheRecipientAndControlTextsCannotBeForged)
{
    startTwo();
    views[0].texts.clear();
    views[1].texts.clear();
    game.chat(0, {1, "Ann:hi"});
    game.chat(1, {-1, "Bob:all"});
    game.chat(1, {5, "nobody"});
    game.chat(1, {-1, kPausedText});
    game.chat(1, {0, "xTIME LEFT:0"});
    game.chat(1, {0, "voice:3"});
    EXPECT_EQ(views[0].texts, QStringList({"Bob:all", "voice:3"}));
    EXPECT_EQ(views[1].texts, QStringList({"Ann:hi", "Bob:all"}));
}

} // namespace
} // namespace vorlan
