// What a careless or hostile client cannot do, driven without sockets: more
// than one order a step, chat in another's name, names that act as control
// texts, floods of chat, lists and log lines, every game number from one host.
#include "encoders.h"
#include "gameserver.h"
#include "server_support.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using test::RecordingOutput;
using test::smallMap;

TEST(OrderRule, TheSecondOrderOfAStepWaitsAndAThirdReplacesIt)
{
    std::array<test::ClientView, kMaxSeats> views;
    Game game{0, "g", "small", smallMap(),
              [&](int seat, const QByteArray& m) { views.at(size_t(seat)).feed(m); }};
    ASSERT_EQ(game.addPlayer("Ann", 0), 0);
    ASSERT_TRUE(game.start(4, '0', 10));
    game.sync(0);

    game.order(0, {'i', 5});
    game.order(0, {'i', 6}); // waits
    EXPECT_EQ(views[0].leaveIfMore, 5);
    game.step();
    EXPECT_EQ(views[0].leaveIfMore, 6);

    game.step(); // a step without an order: a fresh one is applied at once
    game.order(0, {'i', 7});
    game.order(0, {'i', 8});
    game.order(0, {'i', 9}); // replaces 8
    EXPECT_EQ(views[0].leaveIfMore, 7);
    game.step();
    EXPECT_EQ(views[0].leaveIfMore, 9);
    game.step();
    EXPECT_EQ(game.map().players[0].leaveIfMore, 9); // nothing else was queued
}

struct HonestyTest : ::testing::Test
{
    RecordingOutput out;
    GameServer server{out};

    void SetUp() override { ASSERT_TRUE(server.addMap("small", smallMap())); }
    int connect(const QString& address = {})
    {
        const int c = server.clientConnected(address);
        server.receive(c, hello() + listGamesRequest());
        return c;
    }
    test::ClientView& view(int c) { return out.clients[c]; }
    // Ann (a) and Bob (b) in a running game 0.
    std::pair<int, int> running()
    {
        const int a = connect(), b = connect();
        server.receive(a, createGame("war", "small", "Ann", 0) + mapReady());
        server.receive(b, joinGame(0, "Bob", 1) + mapReady());
        server.receive(a, startGame(4) + gameSettings(0, 5) + startedAck());
        server.receive(b, startedAck());
        view(a).texts.clear();
        view(b).texts.clear();
        return {a, b};
    }
};

TEST_F(HonestyTest, ChatPassesOnlyInTheSendersNameOrAsAVoiceNumber)
{
    const auto [a, b] = running();
    server.receive(a, chat(-1, "Bob: I am Bob really") + chat(1, "Bob:x") + chat(1, "Ann:hi") +
                          chat(1, "voice:../../x") + chat(1, "voice:1234") + chat(1, "voice:12") +
                          chat(1, "Ann:TIME LEFT:0") + chat(1, "Annie:no") + chat(1, "voice:"));
    EXPECT_EQ(view(b).texts, QStringList({"Ann:hi", "voice:12"}));
}

TEST_F(HonestyTest, NamesThatCouldForgeTextsAreRefusedWithALine)
{
    const int a = connect();
    const QStringList bad{"",          "  ",      QString(128, 'x'), "TIME LEFT:0", "GAME PAUSED",
                          "a voice:1", "Bob: hi", "new\nline"};
    for (const QString& name : bad)
        server.receive(a, createGame("war", "small", name, 0));
    EXPECT_EQ(server.gameCount(), 0);
    EXPECT_EQ(view(a).count("textMessage"), bad.size());
    for (const QString& line : view(a).texts)
        EXPECT_FALSE(containsControlText(line)) << qPrintable(line);

    server.receive(a, createGame("GAME UNPAUSED", "small", "Ann", 0));
    server.receive(a, createGame(QString(128, 'g'), "small", "Ann", 0));
    EXPECT_EQ(server.gameCount(), 0);
    server.receive(a, createGame("war", "small", QString(127, 'x'), 0));
    EXPECT_EQ(server.gameCount(), 1);

    const int b = connect();
    server.receive(b, joinGame(0, QString(127, 'x'), 1)); // a duplicate in that game
    EXPECT_EQ(view(b).count("mapBegin"), 0);
    EXPECT_TRUE(view(b).texts.last().contains("name")) << qPrintable(view(b).texts.last());
}

TEST_F(HonestyTest, AGiftLineNeverTakesTheFormOfAControlText)
{
    std::array<test::ClientView, kMaxSeats> views;
    Game game{0, "g", "small", smallMap(),
              [&](int seat, const QByteArray& m) { views.at(size_t(seat)).feed(m); }};
    game.addPlayer("Ann", 0);
    game.addPlayer("TIME LEFT:0 voice:3", 1); // seated directly, past the lobby's check
    ASSERT_TRUE(game.start(4, '0', 10));
    game.sync(0);
    game.sync(1);
    game.editMap().players[1].cityGold = 10;
    game.market(1, {'0', 0, 10});
    ASSERT_TRUE(views[0].texts.last().contains("gave you")) << qPrintable(views[0].texts.last());
    EXPECT_FALSE(views[0].texts.last().contains(kTimeLeftText));
    EXPECT_FALSE(views[0].texts.last().contains("voice"));
}

TEST_F(HonestyTest, LobbyChatReachesTheLobbyAndWaitingRoomsOnly)
{
    const auto [a, b] = running();
    const int waiting = connect(), cid = connect(), dan = connect();
    server.receive(waiting, createGame("later", "small", "Eve", 0));
    server.receive(cid, chat(-1, "Cid:hello") + chat(-1, "Dan:I am Dan")); // Cid from now on
    server.receive(dan, chat(-1, "Cid:me too") + chat(-1, "Eve:me"));      // both taken
    server.receive(waiting, chat(-1, "Eve:hi all"));
    for (int c : {waiting, cid, dan})
        EXPECT_EQ(view(c).texts.filter(":").size(), 2) << c; // "Cid:hello", "Eve:hi all"
    EXPECT_EQ(view(dan).texts.filter("Cid:hello").size(), 1);
    EXPECT_TRUE(view(a).texts.filter(":").isEmpty());
    EXPECT_TRUE(view(b).texts.filter(":").isEmpty());
}

TEST_F(HonestyTest, APlayerBackInTheLobbyKeepsHisName)
{
    const int a = connect(), b = connect(), c = connect();
    server.receive(a, createGame("war", "small", "Ann", 0) + mapReady());
    server.receive(b, joinGame(0, "Bob", 1) + mapReady());
    server.clientGone(a); // the waiting game closes: Bob is back in the lobby
    server.receive(c, chat(-1, "Bob:it is me"));
    server.receive(b, chat(-1, "Bob:back"));
    EXPECT_EQ(view(c).texts.filter(":"), QStringList{"Bob:back"});
}

TEST_F(HonestyTest, ChatFloodsAreCutAndIgnoredOrdersAreLoggedWithACount)
{
    const auto [a, b] = running();
    QByteArray flood;
    for (int i = 0; i < 40; ++i)
        flood += chat(1, QStringLiteral("Ann:%1").arg(i));
    server.receive(a, flood);
    EXPECT_GE(view(b).texts.size(), kChatBurstLines);
    EXPECT_LE(view(b).texts.size(), kChatBurstLines + 1);
    QByteArray lists;
    for (int i = 0; i < 20; ++i)
        lists += listGamesRequest();
    server.receive(b, lists);
    EXPECT_GE(view(b).count("listEnd"), kListBurst);
    EXPECT_LE(view(b).count("listEnd"), kListBurst + 1);

    const int c = connect();
    QByteArray orders;
    for (int i = 0; i < 100; ++i)
        orders += step('R', 0); // outside a game
    out.lines.clear();
    server.receive(c, orders + createGame("x", "nowhere", "Cid", 0));
    EXPECT_EQ(out.lines.size(), kLoggedPerWindow);
    server.clientGone(c);
    EXPECT_EQ(out.lines.filter(QStringLiteral("98 more ignored")).size(), 1)
        << qPrintable(out.lines.join('\n'));
}

TEST_F(HonestyTest, ClientTextIsEscapedInTheLogAndGamesPerAddressAreCapped)
{
    const int a = connect("10.0.0.1");
    server.receive(a, createGame("x", "no\nmap \"x\"", "Ann", 0));
    ASSERT_FALSE(out.lines.isEmpty());
    EXPECT_FALSE(out.lines.last().contains('\n'));
    EXPECT_TRUE(out.lines.last().contains("no\\x0amap \\\"x\\\"")) << qPrintable(out.lines.last());

    for (int i = 0; i < kMaxGamesPerAddress + 1; ++i)
        server.receive(connect("10.0.0.1"), createGame(QString::number(i), "small", "Ann", 0));
    EXPECT_EQ(server.gameCount(), kMaxGamesPerAddress);
    server.receive(connect("10.0.0.2"), createGame("other", "small", "Bob", 0));
    EXPECT_EQ(server.gameCount(), kMaxGamesPerAddress + 1);
}

TEST_F(HonestyTest, MoreGamesRunThanOneByteCountsButOnlyTheWaitingOnesAreNumbered)
{
    std::vector<int> masters;
    for (int i = 0; i < kJoinNumbers + 1; ++i) {
        masters.push_back(connect(QStringLiteral("10.1.%1.1").arg(i)));
        server.receive(masters.back(), createGame(QString::number(i), "small", "Ann", 0));
    }
    EXPECT_EQ(server.gameCount(), kJoinNumbers); // every join number is waiting

    // Game 0 starts and gives its number back: a new game takes it, and a
    // join by that byte reaches the new game, not the running one.
    server.receive(masters[0], mapReady() + startGame(4) + gameSettings(0, 5) + startedAck());
    ASSERT_EQ(server.game(0)->state(), Game::State::Running);
    server.receive(connect("10.2.0.1"), createGame("late", "small", "Cid", 0));
    ASSERT_EQ(server.gameCount(), kJoinNumbers + 1);
    const int bob = connect("10.2.0.2");
    server.receive(bob, joinGame(0, "Bob", 1));
    EXPECT_EQ(view(bob).count("mapBegin"), 1);
    EXPECT_EQ(server.game(kJoinNumbers)->name(), "late");
    EXPECT_TRUE(server.game(kJoinNumbers)->seatTaken(1));
    EXPECT_FALSE(server.game(0)->seatTaken(1));
}

TEST_F(HonestyTest, HeldOutputLeavesWithTheStepInOrderAndAtOnceWhenTheGameStops)
{
    server.setHoldUntilStep(true);
    const auto [a, b] = running();
    const int y = view(b).map.players[0].y;
    view(b).names.clear();
    server.receive(a, step('D', 0));
    EXPECT_EQ(view(a).map.players[0].y, y + 1); // the sender hears at once
    EXPECT_TRUE(view(b).names.isEmpty());       // the others with the step
    server.stepGame(0);
    EXPECT_EQ(view(b).names.mid(0, 2), QStringList({"playerUpdate", "stepNumber"}));
    EXPECT_EQ(view(b).map.players[0].y, y + 1);

    view(b).texts.clear();
    server.receive(a, chat(1, "Ann:wait") + pauseToggle()); // no more steps: nothing waits
    EXPECT_EQ(view(b).texts, QStringList({"Ann:wait", kPausedText}));
}

} // namespace
} // namespace vorlan
