#pragma once
// The server on the network: a QTcpServer whose clients and step timers are
// handed to a GameServer. Everything runs on the thread of the event loop.

#include "gameserver.h"

#include <map>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>

class QTcpSocket;
class QTimer;

namespace vorlan {

constexpr qint64 kMaxPendingWriteBytes =
    4 * 1024 * 1024; ///< a client that reads no more is dropped

class TcpFront final : public ServerOutput
{
public:
    TcpFront();
    ~TcpFront() override;

    GameServer& server() { return server_; }
    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return listener_.serverPort(); }
    QString errorString() const { return listener_.errorString(); }

    // Log lines go to stderr unless quiet (tests).
    void setQuiet(bool quiet) { quiet_ = quiet; }

    void send(int client, const QByteArray& message) override;
    void disconnect(int client) override;
    void setGameTimer(int game, int intervalMs) override;
    void log(const QString& line) override;

private:
    void accept();

    QTcpServer listener_;
    GameServer server_;
    std::map<int, QTcpSocket*> sockets_;
    std::map<int, QTimer*> timers_;
    bool quiet_ = false;
};

} // namespace vorlan
