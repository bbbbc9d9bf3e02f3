// The server on a real socket (loopback, a free port): a whole lobby-to-play
// round trip, a client sending garbage that is dropped alone, the limits of
// the network front, and orders served between the steps of many games.
#include "encoders.h"
#include "server_support.h"
#include "tcpfront.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <sys/socket.h>
#include <thread>

namespace vorlan {
namespace {

using test::ClientView;

// Runs the event loop until done() or five seconds have passed.
template <typename Done> bool waitFor(Done&& done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

struct Client
{
    QTcpSocket socket;
    ClientView view;
    // A client that never reads takes nothing off its socket.
    explicit Client(quint16 port, bool reads = true,
                    const QHostAddress& from = QHostAddress::LocalHost)
    {
        if (reads)
            QObject::connect(&socket, &QTcpSocket::readyRead, &socket,
                             [this] { view.feed(socket.readAll()); });
        else
            socket.setReadBufferSize(1);
        if (from != QHostAddress::LocalHost)
            socket.bind(from);
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    bool connected() const { return socket.state() == QAbstractSocket::ConnectedState; }
    bool closed() const { return socket.state() == QAbstractSocket::UnconnectedState; }
};

struct FrontTest : ::testing::Test
{
    TcpFront front;
    QStringList lines;
    void SetUp() override
    {
        front.setQuiet(true);
        front.setLogSink([this](const QString& line) { lines << line; });
        ASSERT_TRUE(front.server().addMap("small", test::smallMap()));
    }
    void listen(const TcpFront::Limits& limits)
    {
        front.setLimits(limits);
        ASSERT_TRUE(front.listen(QHostAddress::LocalHost, 0));
    }
};

TEST_F(FrontTest, AClientThatDoesNotReadIsAbortedAndOneThatReadsIsNot)
{
    // Long map names make every list long.
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(front.server().addMap(QStringLiteral("%1").arg(i, 120, 10, QChar('m')),
                                          test::smallMap()));
    front.server().setListRate(1000, 1000);
    TcpFront::Limits limits;
    limits.maxQueuedOutput = 256 * 1024;
    listen(limits);
    Client reader(front.port()), deaf(front.port(), false);
    int asked = 1;
    ASSERT_TRUE(waitFor([&] { return reader.connected() && deaf.connected(); }));
    QByteArray lists;
    for (int i = 0; i < 600; ++i)
        lists += listGamesRequest(); // about 7 MB of answers
    deaf.socket.write(lists);
    // The reader asks again whenever a list has come, as fast as it reads.
    QObject::connect(&reader.socket, &QTcpSocket::readyRead, &reader.socket, [&] {
        if (reader.view.count("listEnd") >= asked && asked < 200) {
            reader.socket.write(listGamesRequest());
            ++asked;
        }
    });
    reader.socket.write(listGamesRequest());
    EXPECT_TRUE(waitFor([&] { return deaf.closed() && reader.view.count("listEnd") >= 200; }));
    EXPECT_TRUE(reader.connected());
    EXPECT_EQ(lines.filter("aborted").size(), 1) << qPrintable(lines.join('\n'));
    EXPECT_TRUE(lines.filter("aborted").first().contains("reads too slowly"));
}

TEST_F(FrontTest, AReaderThatPausesGetsEverythingInOrderOnceItReadsAgain)
{
    // About 1.3 MB of lists against a kernel buffer of 128 KB: most of it
    // waits in the server and leaves in parts as the client reads.
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(front.server().addMap(QStringLiteral("%1").arg(i, 120, 10, QChar('m')),
                                          test::smallMap()));
    front.server().setListRate(1000, 1000);
    TcpFront::Limits limits;
    limits.maxQueuedOutput = 4 * 1024 * 1024;
    listen(limits);
    Client paused(front.port(), false);
    ASSERT_TRUE(waitFor([&] { return paused.connected(); }));
    QByteArray lists;
    for (int i = 0; i < 100; ++i)
        lists += listGamesRequest();
    paused.socket.write(lists);
    QElapsedTimer filling; // the server fills what the kernel takes
    filling.start();
    waitFor([&] { return filling.elapsed() > 300; });
    QObject::connect(&paused.socket, &QTcpSocket::readyRead, &paused.socket,
                     [&] { paused.view.feed(paused.socket.readAll()); });
    paused.socket.setReadBufferSize(0);
    paused.view.feed(paused.socket.readAll());
    EXPECT_TRUE(waitFor([&] { return paused.view.count("listEnd") == 100; }));
    EXPECT_EQ(paused.view.maps.size(), 100 * 101);
    EXPECT_TRUE(paused.view.violations.isEmpty());
    EXPECT_TRUE(paused.connected());
}

TEST_F(FrontTest, ADualStackListenerCountsIpv4PeersByTheirIpv4Address)
{
    TcpFront::Limits limits;
    limits.maxPerAddress = 1;
    front.setLimits(limits);
    ASSERT_TRUE(front.listen(QHostAddress::Any, 0));
    Client a(front.port());
    ASSERT_TRUE(waitFor([&] { return front.connectionCount() == 1; }));
    Client b(front.port());
    ASSERT_TRUE(waitFor([&] { return b.closed(); }));
    EXPECT_TRUE(a.connected());
    EXPECT_EQ(lines.filter("connected from 127.0.0.1").size(), 1) << qPrintable(lines.join('\n'));
    EXPECT_EQ(lines.filter("connection from 127.0.0.1 refused").size(), 1);
}

TEST_F(FrontTest, ConnectionsAreCappedPerAddressAndInTotal)
{
    TcpFront::Limits limits;
    limits.maxPerAddress = 2;
    limits.maxConnections = 3;
    listen(limits);
    Client a(front.port()), b(front.port());
    ASSERT_TRUE(waitFor([&] { return front.connectionCount() == 2; }));
    Client c(front.port()); // a third from 127.0.0.1
    ASSERT_TRUE(waitFor([&] { return c.closed(); }));
    EXPECT_EQ(c.view.texts, QStringList{"Too many connections from your address."});
    Client d(front.port(), true, QHostAddress("127.0.0.2"));
    ASSERT_TRUE(waitFor([&] { return front.connectionCount() == 3; }));
    Client e(front.port(), true, QHostAddress("127.0.0.3"));
    ASSERT_TRUE(waitFor([&] { return e.closed(); }));
    EXPECT_EQ(e.view.texts, QStringList{"The server is full."});
    EXPECT_TRUE(a.connected() && b.connected() && d.connected());
}

TEST_F(FrontTest, SilentAndIdleLobbyConnectionsAreDroppedPlayersAreNot)
{
    TcpFront::Limits limits;
    limits.silentMs = 200;
    limits.idleLobbyMs = 600;
    listen(limits);
    Client silent(front.port()), lobby(front.port()), player(front.port());
    lobby.socket.write(hello());
    player.socket.write(hello() + createGame("war", "small", "Ann", 0));
    ASSERT_TRUE(waitFor([&] { return silent.closed(); }));
    EXPECT_TRUE(lobby.connected());
    ASSERT_TRUE(waitFor([&] { return lobby.closed(); }));
    EXPECT_TRUE(player.connected()); // in a waiting room
    EXPECT_EQ(lines.filter("sent nothing").size(), 1);
    EXPECT_EQ(lines.filter("idle in the lobby").size(), 1);
}

TEST_F(FrontTest, AnOrderThatComesWhileOtherGamesStepIsAnsweredBeforeItsOwnGameSteps)
{
    // Steps of 100 ms and minutes of 300 ms: a game of one minute ends with
    // its third step, one of two minutes plays on.
    front.server().setMinuteMs(300);
    listen({});
    Client ann(front.port()), bob(front.port());
    const auto play = [&](Client& c, const char* game, const char* name, int minutes) {
        c.socket.write(hello() + createGame(game, "small", name, 0));
        ASSERT_TRUE(waitFor([&] { return c.view.count("mapBegin") == 1; }));
        c.socket.write(mapReady());
        ASSERT_TRUE(waitFor([&] { return c.view.count("gameInfo") == 1; }));
        c.socket.write(startGame(4) + gameSettings(0, minutes));
        ASSERT_TRUE(waitFor([&] { return c.view.count("gameStart") == 1; }));
        c.socket.write(startedAck());
        ASSERT_TRUE(waitFor([&] { return c.view.texts.contains(kSyncedText); }));
    };
    play(ann, "short", "Ann", 1);
    play(bob, "long", "Bob", 2);
    ASSERT_TRUE(waitFor([&] { return bob.view.step == 2 && bob.socket.bytesToWrite() == 0; }));
    // Bob's order reaches the server while it runs the third steps, which
    // are all due at once: it comes with the end of Ann's game, whose step
    // takes long, before Bob's game steps.
    const qsizetype mark = bob.view.names.size();
    bool sent = false;
    front.setLogSink([&](const QString& line) {
        if (line.contains("over after") && !sent) {
            const QByteArray order = step('R', 0);
            ASSERT_EQ(::send(int(bob.socket.socketDescriptor()), order.constData(),
                             size_t(order.size()), MSG_NOSIGNAL),
                      order.size());
            sent = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    ASSERT_TRUE(waitFor([&] { return bob.view.step >= 3 && bob.view.map.players[0].x == 2; }));
    ASSERT_TRUE(sent);
    const qsizetype answer = bob.view.names.indexOf("playerUpdate", mark);
    const qsizetype stepped = bob.view.names.indexOf("stepNumber", mark);
    ASSERT_GE(answer, 0);
    EXPECT_LT(answer, stepped);
}

TEST(ServerSocket, LobbyToPlayOverTcpAndGarbageDropsOnlyItsSender)
{
    TcpFront front;
    front.setQuiet(true);
    ASSERT_TRUE(front.server().addMap("small", test::smallMap()));
    ASSERT_TRUE(front.listen(QHostAddress::LocalHost, 0));

    Client ann(front.port());
    ann.socket.write(hello() + listGamesRequest());
    ASSERT_TRUE(waitFor([&] { return ann.view.count("listEnd") == 1; }));
    EXPECT_EQ(ann.view.maps, QStringList{"small"});

    Client bad(front.port());
    ASSERT_TRUE(waitFor([&] { return bad.socket.state() == QAbstractSocket::ConnectedState; }));
    bad.socket.write(QByteArray("\x00\x52\x00\x99", 4));
    ASSERT_TRUE(waitFor([&] { return bad.socket.state() == QAbstractSocket::UnconnectedState; }));

    ann.socket.write(createGame("war", "small", "Ann", 0));
    ASSERT_TRUE(waitFor([&] { return ann.view.count("mapBegin") == 1; }));
    ann.socket.write(mapReady());
    ASSERT_TRUE(waitFor([&] { return ann.view.count("gameInfo") == 1; }));
    ann.socket.write(startGame(4) + gameSettings(0, 3));
    ASSERT_TRUE(waitFor([&] { return ann.view.count("gameStart") == 1; }));
    ann.socket.write(startedAck());
    ASSERT_TRUE(waitFor([&] { return ann.view.texts.contains(kSyncedText); }));
    ann.socket.write(step('R', 0));
    ASSERT_TRUE(waitFor([&] { return ann.view.map.players[0].x == 2 && ann.view.step >= 2; }));
    EXPECT_EQ(ann.socket.state(), QAbstractSocket::ConnectedState);
    EXPECT_TRUE(ann.view.violations.isEmpty());
}

} // namespace
} // namespace vorlan
