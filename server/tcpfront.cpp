#include "tcpfront.h"

#include <cstdio>
#include <QDateTime>
#include <QTcpSocket>
#include <QTimer>

namespace vorlan {

TcpFront::TcpFront() : server_(*this)
{
    QObject::connect(&listener_, &QTcpServer::newConnection, &listener_, [this] { accept(); });
}

TcpFront::~TcpFront()
{
    for (auto& [id, socket] : sockets_) {
        QObject::disconnect(socket, nullptr, nullptr, nullptr);
        socket->abort();
        delete socket;
    }
    for (auto& [game, timer] : timers_)
        delete timer;
}

bool TcpFront::listen(const QHostAddress& address, quint16 port)
{
    const bool ok = listener_.listen(address, port);
    if (ok)
        log(QStringLiteral("listening on %1 port %2")
                .arg(address.toString())
                .arg(listener_.serverPort()));
    return ok;
}

void TcpFront::accept()
{
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        const int id = server_.clientConnected();
        sockets_[id] = socket;
        socket->setParent(nullptr);
        log(QStringLiteral("client %1 connected from %2")
                .arg(id)
                .arg(socket->peerAddress().toString()));
        QObject::connect(socket, &QTcpSocket::readyRead, socket,
                         [this, id, socket] { server_.receive(id, socket->readAll()); });
        // Queued, so that no handler of the game server is left running on a
        // session that is being removed.
        QObject::connect(
            socket, &QTcpSocket::disconnected, socket,
            [this, id, socket] {
                if (sockets_.erase(id)) {
                    server_.clientGone(id);
                    socket->deleteLater();
                }
            },
            Qt::QueuedConnection);
        if (socket->bytesAvailable() > 0)
            server_.receive(id, socket->readAll());
    }
}

void TcpFront::send(int client, const QByteArray& message)
{
    const auto it = sockets_.find(client);
    if (it == sockets_.end() || message.isEmpty())
        return;
    QTcpSocket* socket = it->second;
    if (socket->bytesToWrite() > kMaxPendingWriteBytes) {
        log(QStringLiteral("client %1 reads too slowly; disconnected").arg(client));
        disconnect(client);
        return;
    }
    socket->write(message);
}

void TcpFront::disconnect(int client)
{
    const auto it = sockets_.find(client);
    if (it == sockets_.end())
        return;
    QTcpSocket* socket = it->second;
    QMetaObject::invokeMethod(
        socket, [socket] { socket->disconnectFromHost(); }, Qt::QueuedConnection);
}

void TcpFront::setGameTimer(int game, int intervalMs)
{
    auto it = timers_.find(game);
    if (intervalMs <= 0) {
        if (it != timers_.end()) {
            it->second->stop();
            it->second->deleteLater();
            timers_.erase(it);
        }
        return;
    }
    if (it == timers_.end()) {
        auto* timer = new QTimer;
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, timer, [this, game] { server_.stepGame(game); });
        it = timers_.emplace(game, timer).first;
    }
    it->second->start(intervalMs);
}

void TcpFront::log(const QString& line)
{
    if (!quiet_)
        std::fprintf(stderr, "%s %s\n",
                     qPrintable(QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss"))),
                     qPrintable(line));
}

} // namespace vorlan
