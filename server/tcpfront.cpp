#include "tcpfront.h"

#include "encoders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <QDateTime>
#include <QSocketNotifier>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlan {

namespace {

constexpr uint64_t kListenerKey = ~uint64_t(0);

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The peer's address as the per-address limits count it: IPv4 peers of a
// dual-stack listener as plain IPv4.
QHostAddress peerAddress(const sockaddr_storage& from)
{
    QHostAddress address(reinterpret_cast<const sockaddr*>(&from));
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : address;
}

void setOption(int fd, int level, int name, int value)
{
    setsockopt(fd, level, name, &value, sizeof value);
}

} // namespace

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
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    if (epoll_ < 0)
        qFatal("vorlan-server: epoll_create1: %s", std::strerror(errno));
    spareFile_ = open("/dev/null", O_RDONLY | O_CLOEXEC);
    notifier_ = std::make_unique<QSocketNotifier>(epoll_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readyEvents(); });
    QObject::connect(&sweeper_, &QTimer::timeout, &sweeper_, [this] { sweep(); });
    setLimits(Limits{});
}

TcpFront::~TcpFront()
{
    notifier_.reset();
    for (auto& [id, c] : connections_)
        close(c.fd);
    if (listener_ >= 0)
        close(listener_);
    if (spareFile_ >= 0)
        close(spareFile_);
    close(epoll_);
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
    // Any is both stacks: an IPv6 socket that takes IPv4 peers too.
    const bool v4 = address.protocol() == QAbstractSocket::IPv4Protocol;
    sockaddr_storage where{};
    socklen_t length = 0;
    if (v4) {
        auto* in = reinterpret_cast<sockaddr_in*>(&where);
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        in->sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof(sockaddr_in);
    } else {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&where);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address == QHostAddress::Any
                                     ? QHostAddress(QHostAddress::AnyIPv6).toIPv6Address()
                                     : address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, &bytes, sizeof bytes);
        length = sizeof(sockaddr_in6);
    }
    const int fd = socket(v4 ? AF_INET : AF_INET6, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error_ = systemError(errno);
        return false;
    }
    setOption(fd, SOL_SOCKET, SO_REUSEADDR, 1);
    if (!v4)
        setOption(fd, IPPROTO_IPV6, IPV6_V6ONLY, address == QHostAddress::Any ? 0 : 1);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = kListenerKey;
    if (bind(fd, reinterpret_cast<sockaddr*>(&where), length) != 0 ||
        ::listen(fd, kListenBacklog) != 0 || epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0) {
        error_ = systemError(errno);
        close(fd);
        return false;
    }
    length = sizeof where;
    getsockname(fd, reinterpret_cast<sockaddr*>(&where), &length);
    port_ = ntohs(v4 ? reinterpret_cast<sockaddr_in*>(&where)->sin_port
                     : reinterpret_cast<sockaddr_in6*>(&where)->sin6_port);
    listener_ = fd;
    log(QStringLiteral("listening on %1 port %2, at most %3 connections")
            .arg(address.toString())
            .arg(port_)
            .arg(limits_.maxConnections));
    return true;
}

void TcpFront::readyEvents()
{
    lastTurnNs_ = clock_.nsecsElapsed();
    epoll_event events[kEventsPerTurn];
    const int n = epoll_wait(epoll_, events, kEventsPerTurn, 0);
    for (int i = 0; i < n; ++i) {
        const epoll_event& e = events[i];
        if (e.data.u64 == kListenerKey) {
            accept();
            continue;
        }
        const int id = int(e.data.u64);
        if (e.events & EPOLLOUT) {
            const auto it = connections_.find(id);
            if (it != connections_.end())
                writeSome(it);
        }
        // Data that came before a close is read first; the read then sees the end.
        if (e.events & (EPOLLIN | EPOLLHUP | EPOLLERR))
            readSome(id);
        // The answer to a player's own order leaves at once; what it made for
        // the others waits for their step anyway.
        flush();
    }
}

void TcpFront::refuseConnection(int fd, const QString& address, const QString& why)
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
    // The line fits the kernel's buffer of a new socket.
    const QByteArray line = toClient::textMessage({why});
    [[maybe_unused]] const ssize_t sent =
        ::send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    close(fd);
}

void TcpFront::accept()
{
    for (;;) {
        sockaddr_storage from{};
        socklen_t length = sizeof from;
        const int fd = accept4(listener_, reinterpret_cast<sockaddr*>(&from), &length,
                               SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            acceptOne(fd, peerAddress(from));
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if ((errno == EMFILE || errno == ENFILE) && spareFile_ >= 0) {
            // Out of files: take the connection with the spare one and refuse
            // it, or it would stay ready and spin the loop.
            close(spareFile_);
            const int refused = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (refused >= 0)
                refuseConnection(refused, QStringLiteral("?"),
                                 QStringLiteral("The server is full."));
            spareFile_ = open("/dev/null", O_RDONLY | O_CLOEXEC);
            continue;
        }
        return; // EAGAIN: none left
    }
}

void TcpFront::acceptOne(int fd, const QHostAddress& peer)
{
    const QString address = peer.toString();
    if (int(connections_.size()) >= limits_.maxConnections) {
        refuseConnection(fd, address, QStringLiteral("The server is full."));
        return;
    }
    int& fromAddress = perAddress_[address];
    if (fromAddress >= limits_.maxPerAddress) {
        refuseConnection(fd, address, QStringLiteral("Too many connections from your address."));
        return;
    }
    ++fromAddress;
    // The kernel's share of a connection stays small both ways; small
    // messages leave at once.
    setOption(fd, SOL_SOCKET, SO_RCVBUF, int(kMaxBufferedInputBytes));
    setOption(fd, SOL_SOCKET, SO_SNDBUF, int(kKernelSendBufferBytes));
    setOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
    const int id = server_.clientConnected(address);
    Connection& c = connections_[id];
    c.fd = fd;
    c.address = address;
    c.connectedAt = c.lastInput = clock_.elapsed();
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP;
    event.data.u64 = uint64_t(uint32_t(id));
    epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
    log(QStringLiteral("client %1 connected from %2").arg(id).arg(address));
}

void TcpFront::readSome(int id)
{
    auto it = connections_.find(id);
    if (it == connections_.end())
        return;
    // At most this much per turn: the rest waits in the kernel, and the
    // socket stays ready for the next turn, after the others' events.
    char bytes[kReadBytesPerTurn];
    const ssize_t n = recv(it->second.fd, bytes, sizeof bytes, 0);
    if (n > 0) {
        it->second.heard = true;
        it->second.lastInput = clock_.elapsed();
        server_.receive(id, QByteArray(bytes, qsizetype(n)));
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    gone(it); // closed by the peer, or broken
}

void TcpFront::watch(Connections::iterator it, bool writing)
{
    it->second.writing = writing;
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP | (writing ? EPOLLOUT : 0u);
    event.data.u64 = uint64_t(uint32_t(it->first));
    epoll_ctl(epoll_, EPOLL_CTL_MOD, it->second.fd, &event);
}

void TcpFront::writeSome(Connections::iterator it)
{
    Connection& c = it->second;
    while (c.unsentFrom < c.unsent.size()) {
        const ssize_t n =
            ::send(c.fd, c.unsent.constData() + c.unsentFrom,
                   size_t(c.unsent.size() - c.unsentFrom), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            c.unsentFrom += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!c.writing)
                watch(it, true);
            return;
        }
        // Broken: the read that follows sees it and the connection goes.
        c.unsent.clear();
        c.unsentFrom = 0;
        return;
    }
    c.unsent.clear();
    c.unsentFrom = 0;
    if (c.writing)
        watch(it, false);
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
    if (c.queued() > limits_.maxQueuedOutput)
        drop(client, QStringLiteral("reads too slowly (more than %1 bytes waiting)")
                         .arg(limits_.maxQueuedOutput));
}

void TcpFront::flush()
{
    // Swapped out: a drop below may not touch the list being walked.
    std::vector<int> dirty;
    dirty.swap(dirty_);
    for (const int id : dirty) {
        const auto it = connections_.find(id);
        if (it == connections_.end() || it->second.out.isEmpty())
            continue;
        Connection& c = it->second;
        if (c.unsent.isEmpty()) {
            c.unsent.swap(c.out);
            c.unsentFrom = 0;
        } else {
            c.unsent.append(c.out);
            c.out.clear();
        }
        if (!c.writing)
            writeSome(it);
    }
}

void TcpFront::drop(int id, const QString& why)
{
    const auto it = connections_.find(id);
    if (it == connections_.end())
        return;
    log(QStringLiteral("client %1 aborted: %2").arg(id).arg(why));
    closeLater(it, true);
}

void TcpFront::forget(Connections::iterator it, bool abort)
{
    Connection& c = it->second;
    if (abort) {
        // A reset frees the socket at once; a graceful close would wait on a
        // peer that does not read.
        linger reset{1, 0};
        setsockopt(c.fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    close(c.fd); // leaves the epoll set too
    if (--perAddress_[c.address] <= 0)
        perAddress_.erase(c.address);
    connections_.erase(it);
}

void TcpFront::closeLater(Connections::iterator it, bool abort)
{
    const int id = it->first;
    forget(it, abort);
    // Never from inside a handler of the game server.
    QMetaObject::invokeMethod(
        &sweeper_,
        [this, id] {
            server_.clientGone(id);
            flush();
        },
        Qt::QueuedConnection);
}

void TcpFront::gone(Connections::iterator it)
{
    const int id = it->first;
    forget(it, false);
    server_.clientGone(id);
}

void TcpFront::disconnect(int client)
{
    // What was sent so far goes to the kernel first, as far as it takes it.
    const auto it = connections_.find(client);
    if (it == connections_.end())
        return;
    Connection& c = it->second;
    c.unsent.append(c.out);
    c.out.clear();
    if (c.unsentFrom < c.unsent.size()) [[maybe_unused]]
        const ssize_t sent =
            ::send(c.fd, c.unsent.constData() + c.unsentFrom,
                   size_t(c.unsent.size() - c.unsentFrom), MSG_NOSIGNAL | MSG_DONTWAIT);
    closeLater(it, false);
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
            // Perhaps called from this very timer's step.
            QTimer* timer = it->second.release();
            timer->stop();
            timer->deleteLater();
            timers_.erase(it);
        }
        return;
    }
    if (it == timers_.end()) {
        auto timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);
        QTimer* self = timer.get();
        QObject::connect(self, &QTimer::timeout, self, [this, game, self] {
            // Qt fires every expired timer in one pass before it looks at the
            // sockets again, and with hundreds of games such a pass lasts
            // milliseconds: between the steps the sockets are served once a
            // millisecond, so an order waits about that long at most, while
            // the steps of a short pass still run back to back.
            if (clock_.nsecsElapsed() - lastTurnNs_ >= kServeSocketsEveryNs)
                readyEvents();
            const auto current = timers_.find(game);
            if (current == timers_.end() || current->second.get() != self)
                return; // the game ended meanwhile
            server_.stepGame(game);
            flush();
        });
        it = timers_.emplace(game, std::move(timer)).first;
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
