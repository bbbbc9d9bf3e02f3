#pragma once
// A game server for tests: it accepts one client, records every byte the
// client sends and writes whatever the test tells it to.

#include <functional>
#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

class ScriptedServer
{
public:
    ScriptedServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        qputenv("VORLAN_PORT", QByteArray::number(server.serverPort()));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            client = server.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead,
                             [this] { received += client->readAll(); });
        });
    }

    bool waitForClient(int ms = 5000)
    {
        return QTest::qWaitFor([this] { return client != nullptr; }, ms);
    }

    // Waits until the client has sent at least n bytes in all.
    bool waitForBytes(qsizetype n, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return received.size() >= n; }, ms);
    }

    // Takes what the client sent so far.
    QByteArray take()
    {
        QCoreApplication::processEvents();
        return std::exchange(received, QByteArray());
    }

    void send(const QByteArray& bytes)
    {
        client->write(bytes);
        client->flush();
    }

    QTcpServer server;
    QTcpSocket* client = nullptr;
    QByteArray received;
};
