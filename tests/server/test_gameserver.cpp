// The lobby and the sessions, driven without sockets: lists, create and
// join, map transfer, start, refusals and malformed bytes, and the seats
// that computer players take.
#include "ai/agent.h"
#include "encoders.h"
#include "gameserver.h"
#include "server_support.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using test::RecordingOutput;
using test::smallMap;

struct LobbyTest : ::testing::Test
{
    RecordingOutput out;
    GameServer server{out};

    void SetUp() override { ASSERT_TRUE(server.addMap("small", smallMap())); }
    int connect()
    {
        const int c = server.clientConnected();
        server.receive(c, hello() + listGamesRequest());
        return c;
    }
    test::ClientView& view(int c) { return out.clients[c]; }
};

TEST_F(LobbyTest, MapsAreCheckedBeforeTheyAreOffered)
{
    QString why;
    EXPECT_FALSE(server.addMap("small", smallMap(), &why));
    EXPECT_FALSE(server.addMap("bad", QByteArray("\x05\x05", 2), &why));
    EXPECT_FALSE(why.isEmpty());
    QByteArray noStarts = smallMap();
    noStarts[2] = 0;
    EXPECT_FALSE(server.addMap("empty", noStarts));
    QByteArray farStart = smallMap();
    farStart[farStart.size() - 1] = 4; // start 1 at (4, 4) on a 6 x 4 grid
    EXPECT_FALSE(server.addMap("far", farStart, &why));
    EXPECT_TRUE(why.contains("outside")) << qPrintable(why);
    EXPECT_EQ(server.mapNames(), std::vector<QString>{"small"});
}

TEST_F(LobbyTest, CreateJoinAndTheMapTransfer)
{
    const int a = connect(), b = connect();
    EXPECT_EQ(view(a).names, QStringList({"mapEntry", "listEnd"}));
    server.receive(a, createGame("war", "small", "Ann", 1));
    EXPECT_EQ(view(a).names.mid(2), QStringList({"playerJoined", "mapBegin"}));
    server.receive(a, mapReady());
    EXPECT_EQ(view(a).names.mid(4), QStringList({"mapData", "playerJoined", "gameInfo"}));
    EXPECT_EQ(view(a).map.width, 6);
    EXPECT_EQ(view(a).info.minutes, kDefaultMinutes);

    server.receive(b, listGamesRequest());
    ASSERT_EQ(view(b).gameNumbers, std::vector<int32_t>{0});
    server.receive(b, joinGame(256, "Bob", 1));             // the low byte: game 0
    EXPECT_EQ(view(b).joined, QStringList({"Bob", "Ann"})); // by seat
    EXPECT_EQ(view(a).joined.last(), "Bob");
    EXPECT_EQ(server.game(0)->map().players[0].name, "Bob"); // emblem 1 was taken
    server.receive(b, mapReady());
    server.receive(b, mapReady()); // a second one sends nothing
    EXPECT_EQ(view(b).count("mapData"), 1);

    // Full, duplicate name, unknown map: refused with a line of text.
    const int c = connect();
    server.receive(c, joinGame(0, "Cid", 0));
    server.receive(c, createGame("war", "small", "Cid", 0));
    server.receive(c, createGame("peace", "nowhere", "Cid", 0));
    EXPECT_EQ(view(c).count("mapBegin"), 0);
    EXPECT_EQ(view(c).count("textMessage"), 3);
    EXPECT_EQ(server.gameCount(), 1);
}

TEST_F(LobbyTest, MasterStartsTheGameAndEveryoneIsSynced)
{
    const int a = connect(), b = connect();
    server.receive(a, createGame("war", "small", "Ann", 0) + mapReady());
    server.receive(b, joinGame(0, "Bob", 1) + mapReady());
    server.receive(b, startGame(3) + gameSettings(1, 5)); // not the master
    server.receive(a, gameSettings(1, 5));                // no startGame before
    EXPECT_EQ(view(a).count("gameStart"), 0);
    server.receive(a, startGame(3) + gameSettings(1, 5));
    EXPECT_EQ(view(b).speed, 3);
    EXPECT_EQ(view(b).info.gameType, '1');
    EXPECT_EQ(out.timers[0], 350);
    server.receive(b, startedAck());
    EXPECT_EQ(view(b).map.myIndex, 1);
    EXPECT_EQ(view(b).texts.last(), kSyncedText);
    server.receive(a, startedAck());
    server.stepGame(0);
    EXPECT_EQ(view(a).step, 1);
    server.receive(a, step('D', 0));
    EXPECT_EQ(view(b).map.players[0].y, 2);

    // The game no longer shows in the list.
    const int c = connect();
    EXPECT_TRUE(view(c).gameNumbers.empty());
}

TEST_F(LobbyTest, MalformedBytesDisconnectOnlyThatClient)
{
    const int a = connect(), b = connect();
    server.receive(a, createGame("war", "small", "Ann", 0) + mapReady());
    server.receive(b, QByteArray("\x00\x7a", 2));
    EXPECT_EQ(out.disconnected, std::vector<int>{b});
    server.receive(b, listGamesRequest()); // nothing more is read
    EXPECT_EQ(view(b).count("listEnd"), 1);
    server.clientGone(b);
    EXPECT_FALSE(server.hasClient(b));
    server.receive(a, listGamesRequest());
    EXPECT_EQ(view(a).count("listEnd"), 2);
}

TEST_F(LobbyTest, LeavingPlayersAndTheEndOfAGame)
{
    const int a = connect(), b = connect();
    server.receive(a, createGame("war", "small", "Ann", 0) + mapReady());
    server.receive(b, joinGame(0, "Bob", 1) + mapReady());
    server.clientGone(a); // the master leaves a waiting game: it closes
    EXPECT_EQ(view(b).names.last(), "gameOver");
    EXPECT_EQ(server.gameCount(), 0);

    // b is back in the lobby and creates a one-minute game that runs out.
    server.receive(b, createGame("solo", "small", "Bob", 0) + mapReady());
    server.receive(b, startGame(4) + gameSettings(0, 1) + startedAck());
    for (int i = 0; i < 600 && server.gameCount() == 1; ++i)
        server.stepGame(0);
    EXPECT_EQ(server.gameCount(), 0);
    EXPECT_EQ(out.timers[0], 0);
    EXPECT_EQ(view(b).names.last(), "gameOver");
    server.receive(b, step('D', 0)); // outside a game: ignored
}

// A computer player for the tests: what it is sent lands in a ClientView, and
// it answers every step with the bytes it was given.
struct ScriptedAgent : ai::Agent
{
    explicit ScriptedAgent(test::ClientView& view) : view(view) {}
    void receive(QByteArrayView bytes) override { view.feed(bytes.toByteArray()); }
    QByteArray act() override { return std::exchange(next, repeat); }

    test::ClientView& view;
    QByteArray next, repeat;
};

struct ComputerTest : LobbyTest
{
    std::map<uint32_t, test::ClientView> seen; ///< by seed
    std::vector<ScriptedAgent*> agents;

    void SetUp() override
    {
        LobbyTest::SetUp();
        server.setSeed(100);
        server.setComputerPlayers(3, [this](uint32_t seed) {
            auto agent = std::make_unique<ScriptedAgent>(seen[seed]);
            agents.push_back(agent.get());
            return agent;
        });
    }
    // Ann creates and starts a game on the two-seat map.
    int startAlone()
    {
        const int a = connect();
        server.receive(a, createGame("war", "small", "Ann", 1) + mapReady());
        server.receive(a, startGame(4) + gameSettings(0, 5) + startedAck());
        return a;
    }
};

TEST_F(ComputerTest, AComputerTakesTheFreeSeatAndPlaysThroughTheClientPath)
{
    const int a = startAlone();
    ASSERT_EQ(agents.size(), 1u); // one seat was free, whatever the count
    EXPECT_EQ(server.computerCount(0), 1);
    EXPECT_EQ(view(a).joined.last(), "Computer 1");
    test::ClientView& computer = seen.begin()->second;
    EXPECT_EQ(computer.map.myIndex, 0); // Ann took emblem 1, the computer seat 0
    EXPECT_EQ(computer.texts.last(), kSyncedText);
    EXPECT_EQ(computer.map.players[1].name, "Ann");

    agents[0]->next = step('R', 0);
    server.stepGame(0);
    EXPECT_EQ(view(a).map.players[0].x, 2);        // seen by Ann as any player's move
    agents[0]->next = step('U', 0) + step('U', 0); // off the grid: refused like a human's
    server.stepGame(0);
    EXPECT_EQ(view(a).map.players[0].y, 0);
    EXPECT_TRUE(out.lines.filter("cannot enter (2, -1)").size() == 1);

    // The started game is offered to nobody.
    const int b = connect();
    EXPECT_TRUE(view(b).gameNumbers.empty());
    server.receive(b, joinGame(0, "Bob", 0));
    EXPECT_EQ(view(b).count("mapBegin"), 0);
    EXPECT_EQ(server.computerCount(0), 1);
}

TEST_F(ComputerTest, MalformedComputerBytesStopOnlyThatSeat)
{
    startAlone();
    agents[0]->next = QByteArray("\x00\x7a", 2);
    agents[0]->repeat = step('R', 0);
    server.stepGame(0);
    server.stepGame(0);
    EXPECT_TRUE(out.disconnected.empty());
    EXPECT_EQ(server.game(0)->map().players[0].x, 1); // it does nothing more
    EXPECT_EQ(server.game(0)->state(), Game::State::Running);
}

TEST_F(ComputerTest, AGameEndsAtOnceWhenItsHumansHaveLeft)
{
    const int a = connect(), b = connect();
    server.setComputerPlayers(
        1, [this](uint32_t seed) { return std::make_unique<ScriptedAgent>(seen[seed]); });
    ASSERT_TRUE(server.addMap("three", [] {
        QByteArray m = smallMap();
        m[2] = 3; // a third start position at (5, 3)
        return m.append(char(5)).append(char(3));
    }()));
    server.receive(a, createGame("war", "three", "Ann", 0) + mapReady());
    server.receive(b, joinGame(0, "Bob", 1) + mapReady());
    server.receive(a, startGame(4) + gameSettings(0, 5) + startedAck());
    server.receive(b, startedAck());
    ASSERT_EQ(server.computerCount(0), 1);

    server.clientGone(a); // the master goes; Bob still plays
    server.stepGame(0);
    EXPECT_EQ(server.gameCount(), 1);
    server.clientGone(b);
    EXPECT_EQ(server.gameCount(), 0);
    EXPECT_EQ(out.timers[0], 0);
    EXPECT_EQ(seen.begin()->second.names.last(), "gameOver");
    server.stepGame(0); // a timer tick already queued finds nothing
}

} // namespace
} // namespace vorlan
