#pragma once
// The server on the network: plain non-blocking sockets on one epoll set,
// whose clients and step timers are handed to a GameServer. The epoll set
// sits in the Qt event loop as one socket notifier, so the cost of a turn of
// the loop follows the connections that are ready, not all that are open.
// Everything runs on the thread of the event loop.
//
// What one connection can cost is bounded: its queued output (above the cap
// the socket is aborted), its buffered input and the bytes handled per turn
// of the event loop, so one client cannot stall the games of the others.
// Connections are capped in total and per address; silent ones and idle
// lobby ones are dropped.

#include "gameserver.h"

#include <cstdint>
#include <map>
#include <memory>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QString>
#include <QTimer>
#include <vector>

class QSocketNotifier;

namespace vorlan {

constexpr qint64 kMaxQueuedOutputBytes = 1024 * 1024; ///< a client that reads no more is aborted
constexpr qint64 kMaxBufferedInputBytes = 64 * 1024;  ///< the kernel's receive buffer
constexpr qint64 kReadBytesPerTurn = 1024; ///< per connection and turn of the event loop (the
                                           ///< longest message a client sends is 777 bytes)
constexpr qint64 kKernelSendBufferBytes = 128 * 1024; ///< asked of the kernel per connection
constexpr int kListenBacklog = 1024;                  ///< a burst of connections waits this deep
constexpr int kMaxConnections = 5000;                 ///< in total (and below the file limit)
constexpr int kMaxConnectionsPerAddress = 32;
constexpr int kSilentConnectionMs = 15000; ///< a connection that has sent nothing is dropped
constexpr int kIdleLobbyMs = 300000;       ///< a lobby client silent this long is dropped
constexpr int kEventsPerTurn = 1024;       ///< ready sockets taken from epoll per turn

// While many steps are due at once, the sockets are served between two of
// them at least this often.
constexpr qint64 kServeSocketsEveryNs = 1000000;

class TcpFront final : public ServerOutput
{
public:
    TcpFront();
    ~TcpFront() override;
    TcpFront(const TcpFront&) = delete;
    TcpFront& operator=(const TcpFront&) = delete;

    GameServer& server() { return server_; }
    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return port_; }
    QString errorString() const { return error_; }

    // Log lines go to stderr unless quiet (tests); a sink sees every line.
    void setQuiet(bool quiet) { quiet_ = quiet; }
    void setLogSink(std::function<void(const QString&)> sink) { sink_ = std::move(sink); }

    // Limits that tests lower.
    struct Limits
    {
        qint64 maxQueuedOutput = kMaxQueuedOutputBytes;
        int maxConnections = kMaxConnections;
        int maxPerAddress = kMaxConnectionsPerAddress;
        int silentMs = kSilentConnectionMs;
        int idleLobbyMs = kIdleLobbyMs;
    };
    void setLimits(const Limits& limits);
    const Limits& limits() const { return limits_; }
    int connectionCount() const { return int(connections_.size()); }

    void send(int client, const QByteArray& message) override;
    void disconnect(int client) override;
    void setGameTimer(int game, int intervalMs) override;
    void log(const QString& line) override;

private:
    struct Connection
    {
        int fd = -1;
        QString address;
        QByteArray out;           ///< of this turn, one write at the end of it
        QByteArray unsent;        ///< what the kernel would not take yet
        qsizetype unsentFrom = 0; ///< the part of unsent already written
        int64_t connectedAt = 0;
        int64_t lastInput = 0;
        bool heard = false;   ///< has sent a byte
        bool writing = false; ///< waits for the socket to take more
        qsizetype queued() const { return unsent.size() - unsentFrom + out.size(); }
    };
    using Connections = std::map<int, Connection>;

    void readyEvents();
    void accept();
    void acceptOne(int fd, const QHostAddress& peer);
    void readSome(int id);
    void writeSome(Connections::iterator it);
    void watch(Connections::iterator it, bool writing); ///< EPOLLOUT on or off
    // Hands this turn's output of every client to the kernel, one write each.
    void flush();
    // Aborts the connection now (no graceful close: a peer that does not
    // read would hold it open), with one log line; clientGone follows.
    void drop(int id, const QString& why);
    // Closes the socket (with a reset if abort), forgets the connection and
    // tells the game server on the next turn of the event loop.
    void closeLater(Connections::iterator it, bool abort);
    // The peer closed or the connection broke: forget it and tell the game
    // server now.
    void gone(Connections::iterator it);
    void forget(Connections::iterator it, bool abort);
    void sweep();
    void refuseConnection(int fd, const QString& address, const QString& why);

    GameServer server_;
    int epoll_ = -1;
    int listener_ = -1;
    int spareFile_ = -1; ///< given up to take and refuse a connection when files run out
    quint16 port_ = 0;
    QString error_;
    std::unique_ptr<QSocketNotifier> notifier_;
    Connections connections_;
    std::map<QString, int> perAddress_;
    std::vector<int> dirty_; ///< connections with output waiting for flush()
    std::map<int, std::unique_ptr<QTimer>> timers_;
    QTimer sweeper_;
    QElapsedTimer clock_;
    qint64 lastTurnNs_ = 0; ///< when readyEvents() last looked at the sockets
    Limits limits_;
    bool quiet_ = false;
    std::function<void(const QString&)> sink_;
    int64_t refusedSince_ = 0;
    int refusedLogged_ = 0, refusedCounted_ = 0;
};

// Raises the soft limit of open files to the hard limit; returns the soft
// limit now in force.
int raiseOpenFileLimit();

} // namespace vorlan
