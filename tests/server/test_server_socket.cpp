// The server on a real socket (loopback, a free port): a whole lobby-to-play
// round trip, and a client sending garbage that is dropped alone.
#include "encoders.h"
#include "server_support.h"
#include "tcpfront.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>

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
    explicit Client(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket,
                         [this] { view.feed(socket.readAll()); });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
};

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
