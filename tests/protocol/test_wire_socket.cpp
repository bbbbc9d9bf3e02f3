// Both assemblers and the encoders of both sides over a real loopback TCP
// connection: a whole short game's conversation, fed as the socket delivers
// it, ending with the client closing at gameOver.

#include "test_wire_support.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

using namespace vorlan;

namespace {

// A scripted server: answers each client message with what a game server
// would send next.
class ScriptedServer : public ClientMessageHandler
{
public:
    QTcpSocket* socket = nullptr;
    std::vector<std::string> received;
    int cellUpdates = 300;

    void hello() override { received.push_back("hello"); }
    void listGamesRequest() override
    {
        received.push_back("listGamesRequest");
        send(toClient::gameEntry({"Duel", "cross", 300}) + toClient::gameEntry({"", "ring", 2}) +
             toClient::mapEntry({"cross"}) + toClient::listEnd());
    }
    void joinGame(const JoinGame& m) override
    {
        received.push_back("joinGame " + std::to_string(m.gameNumber));
        send(toClient::playerJoined({m.playerName}) + toClient::mapBegin());
    }
    void mapReady() override
    {
        received.push_back("mapReady");
        send(toClient::mapData({QByteArray(1627, '\x09')}) + toClient::gameInfo({0, '1', 40}) +
             toClient::gameStart({2}));
    }
    void startedAck() override
    {
        received.push_back("startedAck");
        QByteArray game = toClient::youAre({0});
        for (int i = 0; i < cellUpdates; ++i)
            game += toClient::cellUpdate({i % 40, i / 40, i, 0, 0});
        game +=
            toClient::playerUpdate({0, 5, 6, 0, 0, 1, 1, 0, 0, 0, QString::fromUtf8("Аня"), 0, 0});
        game += toClient::textMessage({"TIME LEFT: 1"});
        game += toClient::gameOver() + toClient::cellUpdate({0, 0, 99, 99, 0}); // behind gameOver
        // In pieces, so the client gets messages split across reads.
        for (qsizetype i = 0; i < game.size(); i += 997)
            send(game.mid(i, 997));
    }
    void protocolViolation(const QString& what) override
    {
        received.push_back("violation " + what.toStdString());
    }

private:
    void send(const QByteArray& bytes)
    {
        socket->write(bytes);
        socket->flush();
    }
};

// The client's side: answers as the real client does.
class Client : public wiretest::Recorder
{
public:
    QTcpSocket socket;
    ReceiveAssembler assembler{*this};
    bool over = false;

    void listEnd() override
    {
        Recorder::listEnd();
        socket.write(joinGame(300, QString::fromUtf8("Аня"), 2));
    }
    void mapBegin() override
    {
        Recorder::mapBegin();
        socket.write(mapReady());
    }
    void gameStart(const GameStart& m) override
    {
        Recorder::gameStart(m);
        socket.write(startedAck());
    }
    void gameOver() override
    {
        Recorder::gameOver();
        over = true;
        assembler.stop();
        socket.abort();
    }
};

} // namespace

TEST(WireOverTcp, AWholeConversation)
{
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
    ScriptedServer server;
    ClientMessageAssembler serverSide(server);
    QObject::connect(&listener, &QTcpServer::newConnection, [&] {
        server.socket = listener.nextPendingConnection();
        QObject::connect(server.socket, &QTcpSocket::readyRead,
                         [&] { serverSide.feed(server.socket->readAll()); });
    });

    Client client;
    QObject::connect(&client.socket, &QTcpSocket::connected, [&] {
        client.assembler.reset();
        client.socket.write(hello() + listGamesRequest());
    });
    QObject::connect(&client.socket, &QTcpSocket::readyRead, [&] {
        const QByteArray block = client.socket.readAll();
        client.assembler.feed(block);
    });
    client.socket.connectToHost(QHostAddress::LocalHost, listener.serverPort());

    QElapsedTimer clock;
    clock.start();
    while (!client.over && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(client.over);

    EXPECT_EQ(server.received, (std::vector<std::string>{"hello", "listGamesRequest", "joinGame 44",
                                                         "mapReady", "startedAck"}));
    const auto& e = client.events;
    ASSERT_EQ(e.size(), 12u + server.cellUpdates + 3u);
    EXPECT_EQ(std::vector<std::string>(e.begin(), e.begin() + 10),
              (std::vector<std::string>{"gameEntryName Duel", "gameEntryMap cross 300",
                                        "gameEntryName ", "gameEntryMap ring 2", "mapEntry cross",
                                        "listEnd", "playerJoined Аня", "mapBegin",
                                        "mapData 1627 0909090909090909", "gameInfo 0 1 40"}));
    EXPECT_EQ(e[10], "gameStart 2");
    EXPECT_EQ(e[11], "youAre 0");
    EXPECT_EQ(e[12 + server.cellUpdates - 1], "cellUpdate 19 7 299 0 0");
    EXPECT_EQ(e[e.size() - 3].rfind("playerUpdate 0 5 6", 0), 0u);
    EXPECT_EQ(e[e.size() - 2], "textMessage [TIME LEFT: 1]");
    EXPECT_EQ(e.back(), "gameOver"); // the cellUpdate behind it was never handled
    EXPECT_TRUE(client.violations.empty());
}
