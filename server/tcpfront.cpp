#include "tcpfront.h"

#include "encoders.h"

#include <algorithm>
#include <cstdio>
#include <QDateTime>
#include <QTcpSocket>
#include <sys/resource.h>

namespace vorlan {

int raiseOpenFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return int(std::min<rlim_t>(limit.rlim_cur, 1 << 30));
}

TcpFront::TcpFront() : server_(*this)
{
    clock_.start();
    server_.setHoldUntilStep(true);
    QObject::connect(&listener_, &QTcpServer::newConnection, &listener_, [this] { accept(); });
    QObject::connect(&sweeper_, &QTimer::timeout, &sweeper_, [this] { sweep(); });
    setLimits(Limits{});
}

TcpFront::~TcpFront()
{
    for (auto& [id, c] : connections_) {
        QObject::disconnect(c.socket, nullptr, nullptr, nullptr);
        c.socket->abort();
        delete c.socket;
    }
    for (auto& [game, timer] : timers_)
        delete timer;
}

void TcpFront::setLimits(const Limits& limits)
{
    limits_ = limits;
    // Keep files for the listener, the log and the maps.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY)
        limits_.maxConnections =
            int(std::min<rlim_t>(rlim_t(limits_.maxConnections), files.rlim_cur - 32));
    sweeper_.start(std::clamp(std::min(limits_.silentMs, limits_.idleLobbyMs) / 4, 10, 1000));
}

bool TcpFront::listen(const QHostAddress& address, quint16 port)
{
    listener_.setListenBacklogSize(kListenBacklog);
    const bool ok = listener_.listen(address, port);
    if (ok)
        log(QStringLiteral("listening on %1 port %2, at most %3 connections")
                .arg(address.toString())
                .arg(listener_.serverPort())
                .arg(limits_.maxConnections));
    return ok;
}

void TcpFront::refuseConnection(QTcpSocket* socket, const QString& address, const QString& why)
{
    const int64_t now = clock_.elapsed();
    if (now - refusedSince_ >= kLogWindowMs) {
        if (refusedCounted_ > 0)
            log(QStringLiteral("... %1 more connections refused").arg(refusedCounted_));
        refusedSince_ = now;
        refusedLogged_ = refusedCounted_ = 0;
    }
    if (refusedLogged_ < kLoggedPerWindow) {
        ++refusedLogged_;
        log(QStringLiteral("connection from %1 refused: %2").arg(address, why));
    } else {
        ++refusedCounted_;
    }
    // The line fits the kernel's buffer; abort then frees the socket at once.
    socket->write(toClient::textMessage({why}));
    socket->flush();
    socket->abort();
    socket->deleteLater();
}

void TcpFront::accept()
{
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        socket->setParent(nullptr);
        const QString address = socket->peerAddress().toString();
        if (int(connections_.size()) >= limits_.maxConnections) {
            refuseConnection(socket, address, QStringLiteral("The server is full."));
            continue;
        }
        int& fromAddress = perAddress_[address];
        if (fromAddress >= limits_.maxPerAddress) {
            refuseConnection(socket, address,
                             QStringLiteral("Too many connections from your address."));
            continue;
        }
        ++fromAddress;
        const int id = server_.clientConnected(address);
        Connection& c = connections_[id];
        c.socket = socket;
        c.address = address;
        c.connectedAt = c.lastInput = clock_.elapsed();
        socket->setReadBufferSize(kMaxBufferedInputBytes);
        // The kernel's share of a connection that does not read stays small too.
        socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption,
                                int(kKernelSendBufferBytes));
        log(QStringLiteral("client %1 connected from %2").arg(id).arg(address));
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, id] { readSome(id); });
        // Queued, so that no handler of the game server is left running on a
        // session that is being removed.
        QObject::connect(
            socket, &QTcpSocket::disconnected, socket, [this, id] { gone(id); },
            Qt::QueuedConnection);
        if (socket->bytesAvailable() > 0)
            readSome(id);
    }
}

void TcpFront::readSome(int id)
{
    auto it = connections_.find(id);
    if (it == connections_.end())
        return;
    Connection& c = it->second;
    c.readQueued = false;
    if (!c.socket->isOpen())
        return; // closed by the peer: gone() follows
    const QByteArray bytes = c.socket->read(kReadBytesPerTurn);
    if (!bytes.isEmpty()) {
        c.heard = true;
        c.lastInput = clock_.elapsed();
        server_.receive(id, bytes);
    }
    // More waiting: read on at the next turn, after the others' events.
    it = connections_.find(id);
    if (it != connections_.end() && !it->second.readQueued &&
        it->second.socket->bytesAvailable() > 0) {
        it->second.readQueued = true;
        QMetaObject::invokeMethod(
            it->second.socket, [this, id] { readSome(id); }, Qt::QueuedConnection);
    }
}

void TcpFront::send(int client, const QByteArray& message)
{
    const auto it = connections_.find(client);
    if (it == connections_.end() || message.isEmpty())
        return;
    Connection& c = it->second;
    if (c.out.isEmpty())
        dirty_.push_back(client);
    c.out.append(message);
    // One write per client for everything of this turn of the event loop:
    // the reads and timers that are ready now, all of them.
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(
            &listener_, [this] { flush(); }, Qt::QueuedConnection);
    }
    if (c.socket->bytesToWrite() + c.out.size() > limits_.maxQueuedOutput)
        drop(client, QStringLiteral("reads too slowly (more than %1 bytes waiting)")
                         .arg(limits_.maxQueuedOutput));
}

void TcpFront::flush()
{
    flushQueued_ = false;
    // Swapped out: a drop below may not touch the list being walked.
    std::vector<int> dirty;
    dirty.swap(dirty_);
    for (const int id : dirty) {
        const auto it = connections_.find(id);
        if (it == connections_.end() || it->second.out.isEmpty())
            continue;
        it->second.socket->write(it->second.out);
        it->second.out.clear();
        // Handed to the kernel now, not at the socket's next write
        // notification: that would cost another turn and another poll.
        it->second.socket->flush();
    }
}

void TcpFront::drop(int id, const QString& why)
{
    const auto it = connections_.find(id);
    if (it == connections_.end())
        return;
    log(QStringLiteral("client %1 aborted: %2").arg(id).arg(why));
    abortLater(it);
}

void TcpFront::abortLater(std::map<int, Connection>::iterator it)
{
    const int id = it->first;
    QTcpSocket* socket = it->second.socket;
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    socket->abort();
    socket->deleteLater();
    if (--perAddress_[it->second.address] <= 0)
        perAddress_.erase(it->second.address);
    connections_.erase(it);
    // Never from inside a handler of the game server.
    QMetaObject::invokeMethod(
        &listener_, [this, id] { server_.clientGone(id); }, Qt::QueuedConnection);
}

void TcpFront::gone(int id)
{
    const auto it = connections_.find(id);
    if (it == connections_.end())
        return;
    it->second.socket->deleteLater();
    if (--perAddress_[it->second.address] <= 0)
        perAddress_.erase(it->second.address);
    connections_.erase(it);
    server_.clientGone(id);
}

void TcpFront::disconnect(int client)
{
    // What was sent so far goes to the kernel first; a violator that does
    // not read gets no graceful close that could hang.
    const auto it = connections_.find(client);
    if (it == connections_.end())
        return;
    if (!it->second.out.isEmpty()) {
        it->second.socket->write(it->second.out);
        it->second.out.clear();
    }
    it->second.socket->flush();
    abortLater(it);
}

void TcpFront::sweep()
{
    const int64_t now = clock_.elapsed();
    std::vector<std::pair<int, QString>> idle;
    for (const auto& [id, c] : connections_) {
        if (!c.heard && now - c.connectedAt > limits_.silentMs)
            idle.emplace_back(id, QStringLiteral("sent nothing for %1 ms").arg(limits_.silentMs));
        else if (now - c.lastInput > limits_.idleLobbyMs && server_.inLobby(id))
            idle.emplace_back(
                id, QStringLiteral("idle in the lobby for %1 ms").arg(limits_.idleLobbyMs));
    }
    for (const auto& [id, why] : idle)
        drop(id, why);
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
    if (sink_)
        sink_(line);
    if (!quiet_)
        std::fprintf(stderr, "%s %s\n",
                     qPrintable(QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss"))),
                     qPrintable(line));
}

} // namespace vorlan
