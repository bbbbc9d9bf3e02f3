// server_load: the load and fault benchmark of vorlan-server. Starts the real
// server as a process on a free loopback port and plays against it from one
// epoll event loop over plain non-blocking sockets, with the project's own
// encoders and receive assembler, so that the generator costs little next to
// the server it measures.
//
//   server_load --server PATH --maps DIR --log FILE scale GAMES SECONDS
//   server_load --server PATH --maps DIR --log FILE faults SECONDS
//
// scale: GAMES games of 8 players at the highest speed, every player sending
// one order per step. The first player of each game, the observer, reads
// everything, answers every step it reads and times the server's update of
// its own record; the others send their order of each step when their
// game's observer reads the step, as clients that answer their game's steps
// do, and drain their sockets every tenth step (the kernel holds the rest),
// so that the generator costs little next to the server. Reports the server's CPU and memory, the
// order-to-update latency and the step interval the observers see.
// The answer to an order counts from the moment it reached the observer's
// socket (the kernel's receive timestamp of the read that brought it): one
// loop serving 4,000 connections is often a few milliseconds late to read,
// which a client of its own would not be, and that lateness is the
// generator's, not the server's. The latency as the loop read it is reported
// beside it.
// faults: 20 such games while a second process, at a lower priority, brings
// 1,000 idle connections, 50 clients that never read, one order flooder and
// one random-bytes client a second; reports whether a well-behaved client was
// cut off, the step interval p99 of every game, the server's memory and the
// size of its log.
//
// Every loop is bounded: the run ends by itself after its seconds (plus the
// set-up, at most 120 s). Loopback addresses only (127.x.y.z), one source
// address per game, so that the per-address limits of the server hold.
#include "assembler.h"
#include "encoders.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <random>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace vorlan;

constexpr int kSeats = 8;
constexpr int kSpeed = 4; // 100 ms a step
constexpr double kIntervalMs = 100;
constexpr int kSetupLimitMs = 120000;
constexpr int kWarmupMs = 2000;
constexpr int kFaultGames = 20;
constexpr int kMatesDrainSteps = 10;
const QString kMap = QStringLiteral("warfield");
const QString kSynced = QStringLiteral("Now you received all changes. You can start playing.");

double msOf(const timespec& t)
{
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return msOf(t);
}

// The clock of the kernel's receive timestamps.
double wallMs()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return msOf(t);
}

// ---- The event loop --------------------------------------------------------

struct Endpoint
{
    virtual ~Endpoint() = default;
    virtual void readable() = 0;
    virtual void writable() = 0;
};

// epoll with microsecond timeouts and periodic timers: all the generator needs.
class Loop
{
public:
    Loop() : epoll_(epoll_create1(EPOLL_CLOEXEC)) {}
    ~Loop() { close(epoll_); }
    Loop(const Loop&) = delete;
    Loop& operator=(const Loop&) = delete;

    void watch(int fd, Endpoint* e, bool write, bool read = true)
    {
        epoll_event ev{};
        ev.events = EPOLLRDHUP | (read ? EPOLLIN : 0u) | (write ? EPOLLOUT : 0u);
        ev.data.ptr = e;
        if (epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &ev) != 0)
            epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev);
    }
    void forget(int fd) { epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr); }

    // A timer every periodMs until the loop is gone; a late tick is not
    // made up for twice.
    void every(double periodMs, std::function<void()> fire)
    {
        timers_.push_back({nowMs() + periodMs, periodMs, std::move(fire)});
    }
    void stopTimers() { timers_.clear(); }

    // Runs until done() or ms have passed; returns done().
    template <typename Done> bool runUntil(Done&& done, double ms)
    {
        const double end = nowMs() + ms;
        epoll_event events[256];
        while (!done()) {
            double wake = end;
            for (const Timer& t : timers_)
                wake = std::min(wake, t.next);
            const double now = nowMs();
            if (now >= end)
                break;
            const double waitMs = std::max(0.0, wake - now);
            timespec timeout{time_t(waitMs / 1000), long(std::fmod(waitMs, 1000.0) * 1e6)};
            const int n = epoll_pwait2(epoll_, events, 256, &timeout, nullptr);
            for (int i = 0; i < n; ++i) {
                auto* e = static_cast<Endpoint*>(events[i].data.ptr);
                if (events[i].events & EPOLLOUT)
                    e->writable();
                if (events[i].events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR))
                    e->readable();
            }
            const double after = nowMs();
            for (size_t k = 0; k < timers_.size(); ++k) {
                if (timers_[k].next > after)
                    continue;
                timers_[k].next = std::max(timers_[k].next + timers_[k].period, after);
                timers_[k].fire(); // may add timers: index, not reference
            }
        }
        return done();
    }
    void runFor(double ms)
    {
        runUntil([] { return false; }, ms);
    }

private:
    struct Timer
    {
        double next, period;
        std::function<void()> fire;
    };
    int epoll_;
    std::vector<Timer> timers_;
};

// The loopback source address of connection group g of a family (one host per group).
in_addr groupAddress(int family, int g)
{
    in_addr a{};
    a.s_addr = htonl((127u << 24) | (uint32_t(family) << 16) | (uint32_t(g / 250) << 8) |
                     uint32_t(g % 250 + 1));
    return a;
}

// A non-blocking TCP connection from `from` to the server on loopback.
class Socket : public Endpoint
{
public:
    Socket(Loop& loop, in_addr from, quint16 port, int receiveBuffer = 0) : loop_(loop)
    {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        const int one = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (receiveBuffer > 0)
            setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in source{};
        source.sin_family = AF_INET;
        source.sin_addr = from;
        bind(fd_, reinterpret_cast<sockaddr*>(&source), sizeof source);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 &&
            errno != EINPROGRESS) {
            closed();
            return;
        }
        loop_.watch(fd_, this, true);
    }
    ~Socket() override { abort(); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool open() const { return fd_ >= 0; }
    size_t pending() const { return out_.size(); }

    void write(const QByteArray& bytes)
    {
        if (fd_ < 0)
            return;
        out_.insert(out_.end(), bytes.begin(), bytes.end());
        if (connected_)
            writable();
    }
    // Closes at once with a reset.
    void abort()
    {
        if (fd_ < 0)
            return;
        const linger reset{1, 0};
        setsockopt(fd_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        loop_.forget(fd_);
        close(fd_);
        fd_ = -1;
    }

    void writable() override
    {
        connected_ = true;
        while (!out_.empty() && fd_ >= 0) {
            const ssize_t n = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL);
            if (n < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK)
                    closed();
                break;
            }
            out_.erase(out_.begin(), out_.begin() + n);
        }
        if (fd_ >= 0)
            loop_.watch(fd_, this, !out_.empty(), reading_);
    }
    // Reads only when readable() is called, not when data comes.
    void readOnlyWhenAsked()
    {
        reading_ = false;
        if (fd_ >= 0)
            loop_.watch(fd_, this, !out_.empty(), false);
    }
    // The kernel stamps what it receives for this socket; arrivedAt() is
    // the stamp of the last read (of its latest bytes, so never early).
    void stampArrivals()
    {
        const int on = 1;
        setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    }
    void readable() override
    {
        static char buffer[1 << 16];
        while (fd_ >= 0) {
            iovec data{buffer, sizeof buffer};
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
            msghdr m{};
            m.msg_iov = &data;
            m.msg_iovlen = 1;
            m.msg_control = control;
            m.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(fd_, &m, 0);
            if (n > 0) {
                ++reads_;
                arrivedAt_ = -1;
                for (cmsghdr* c = CMSG_FIRSTHDR(&m); c; c = CMSG_NXTHDR(&m, c)) {
                    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
                        timespec t{};
                        std::memcpy(&t, CMSG_DATA(c), sizeof t);
                        arrivedAt_ = msOf(t);
                    }
                }
                received(buffer, size_t(n));
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
                closed();
            break;
        }
    }

protected:
    virtual void received(const char*, size_t) {}
    virtual void closed() { abort(); }
    long reads() const { return reads_; } ///< that brought bytes
    double arrivedAt() const { return arrivedAt_; }

private:
    Loop& loop_;
    int fd_ = -1;
    bool connected_ = false;
    bool reading_ = true;
    std::vector<char> out_;
    long reads_ = 0;
    double arrivedAt_ = -1; ///< wall clock, ms
};

// ---- The players -----------------------------------------------------------

struct Stats
{
    std::vector<double> latencies;     ///< from the order leaving to the answer arriving
    std::vector<double> readLatencies; ///< from the order leaving to the loop reading the answer
    std::vector<std::vector<double>> intervals; // per game
    bool measuring = false;
    int disconnected = 0; // well-behaved clients cut off
    long orders = 0, updates = 0;
    long unanswered = 0; // observer orders with no answer before the next
};

// One well-behaved player: joins or creates, acknowledges, then plays one
// move order a step.
class Player final : public Socket, ProtocolHandler
{
public:
    Player(Loop& loop, Stats& stats, int game, in_addr from, quint16 port)
        : Socket(loop, from, port), stats_(stats), game_(game), assembler_(*this)
    {}

    bool observer = false, hasMap = false, playing = false, leaving = false;
    std::vector<Player*> mates; ///< of the observer: the others of its game

    // Finds the game in the lobby list and joins it.
    void join(const QString& game, const QString& name, int emblem)
    {
        wanted_ = game;
        name_ = name;
        emblem_ = emblem;
        write(hello() + listGamesRequest());
    }

    // One move order; the observer times the answer.
    void order(double t)
    {
        if (observer && sentAt_ >= 0 && stats_.measuring)
            ++stats_.unanswered;
        sentAt_ = t;
        sentWall_ = wallMs();
        sentBatch_ = reads();
        write(step(right_ ? 'R' : 'L', 0));
        right_ = !right_;
        if (stats_.measuring)
            ++stats_.orders;
    }

private:
    // Once playing, only the observer reads what it gets; the others drain.
    void received(const char* bytes, size_t n) override
    {
        if (observer || !playing)
            assembler_.feed(QByteArray::fromRawData(bytes, qsizetype(n)));
        // After the feed: the mates' reads reuse the buffer being decoded.
        if (matesOrder_ >= 0) {
            const bool drain = ++matesSteps_ % kMatesDrainSteps == 0;
            for (Player* mate : mates) {
                if (mate->playing && mate->open()) {
                    if (drain)
                        mate->readable();
                    mate->order(matesOrder_);
                }
            }
            matesOrder_ = -1;
        }
    }
    void closed() override
    {
        if (!leaving && open())
            ++stats_.disconnected;
        abort();
    }

    void gameEntryName(const GameEntryName& m) override { listed_ = m.gameName; }
    void gameEntryMap(const GameEntryMap& m) override
    {
        if (listed_ == wanted_ && !wanted_.isEmpty()) {
            write(joinGame(m.gameNumber, name_, emblem_));
            wanted_.clear();
        }
    }
    void mapBegin() override { write(mapReady()); }
    void gameInfo(const GameInfo&) override { hasMap = true; }
    void gameStart(const GameStart&) override { write(startedAck()); }
    void youAre(const YouAre& m) override { me_ = m.index; }
    void textMessage(const TextMessage& m) override
    {
        if (m.text != kSynced)
            return;
        playing = true;
        if (!observer)
            readOnlyWhenAsked();
    }
    void stepNumber(const StepNumber&) override
    {
        const double t = nowMs();
        if (observer && stats_.measuring && lastStep_ > 0)
            stats_.intervals[size_t(game_)].push_back(t - lastStep_);
        lastStep_ = t;
        if (!playing)
            return;
        order(t);
        matesOrder_ = t;
    }
    void playerUpdate(const PlayerUpdate& m) override
    {
        // An update that came in the read that brought the step that made
        // the order was sent before the order left: not its answer.
        if (m.player != me_ || sentAt_ < 0 || reads() == sentBatch_)
            return;
        if (stats_.measuring) {
            stats_.latencies.push_back(arrivedAt() - sentWall_);
            stats_.readLatencies.push_back(nowMs() - sentAt_);
            ++stats_.updates;
        }
        sentAt_ = -1;
    }

    Stats& stats_;
    const int game_;
    ReceiveAssembler assembler_;
    QString wanted_, name_, listed_;
    int emblem_ = 0;
    bool right_ = true;
    int me_ = -1;
    double sentAt_ = -1, lastStep_ = -1;
    double sentWall_ = -1;   ///< sentAt_ on the clock of arrivedAt()
    double matesOrder_ = -1; ///< the mates order when the read is decoded
    long matesSteps_ = 0;
    long sentBatch_ = -1;
};

// A connection that sends what it is given and reads nothing: idle or deaf.
class Silent final : public Socket
{
public:
    Silent(Loop& loop, in_addr from, quint16 port, bool deaf)
        : Socket(loop, from, port, deaf ? 1024 : 0), deaf_(deaf)
    {}
    void readable() override
    {
        if (!deaf_)
            Socket::readable();
    }

private:
    bool deaf_;
};

// ---- Measuring -------------------------------------------------------------

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// CPU seconds (user + system) and resident memory of a process.
double cpuSeconds(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray s = f.readAll();
    const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) /
           double(sysconf(_SC_CLK_TCK));
}

double ownCpuSeconds()
{
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    return double(self.ru_utime.tv_sec + self.ru_stime.tv_sec) +
           double(self.ru_utime.tv_usec + self.ru_stime.tv_usec) / 1e6;
}

double memoryMb(qint64 pid, const char* key)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

double loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0).toDouble() : 0;
}

quint16 freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    close(fd);
    return ntohs(a.sin_port);
}

void raiseFileLimit()
{
    rlimit l{};
    if (getrlimit(RLIMIT_NOFILE, &l) == 0 && l.rlim_cur < l.rlim_max) {
        l.rlim_cur = l.rlim_max;
        setrlimit(RLIMIT_NOFILE, &l);
    }
}

// ---- The hostile clients ---------------------------------------------------

// For `seconds`: 1,000 idle connections, 50 that ask for lists and never
// read, one player who floods his game with orders and a new random-bytes
// connection every second.
int attack(quint16 port, int seconds)
{
    Loop loop;
    Stats stats;
    stats.intervals.resize(1);
    std::vector<std::unique_ptr<Socket>> hostile;
    for (int i = 0; i < 1000; ++i)
        hostile.push_back(std::make_unique<Silent>(loop, groupAddress(2, i / 30), port, false));
    std::vector<Socket*> deaf;
    for (int i = 0; i < 50; ++i) {
        hostile.push_back(std::make_unique<Silent>(loop, groupAddress(3, i), port, true));
        hostile.back()->write(hello());
        deaf.push_back(hostile.back().get());
    }
    QByteArray lists;
    for (int k = 0; k < 200; ++k)
        lists += listGamesRequest();
    loop.every(50, [&] {
        for (Socket* s : deaf)
            if (s->open() && s->pending() < 65536)
                s->write(lists);
    });
    // A player alone in his game sends orders as fast as his socket takes them.
    Player flooding(loop, stats, 0, groupAddress(5, 0), port);
    flooding.write(hello() + createGame(QStringLiteral("flood"), QStringLiteral("duel"),
                                        QStringLiteral("Flooder"), 0));
    loop.runUntil([&] { return flooding.hasMap; }, 10000);
    flooding.write(startGame(kSpeed) + gameSettings(0, 5));
    loop.runUntil([&] { return flooding.playing; }, 10000);
    QByteArray orders;
    for (int k = 0; k < 4096; ++k)
        orders += step(k % 2 ? 'R' : 'L', 0);
    loop.every(2, [&] {
        if (flooding.pending() < (256 << 10))
            flooding.write(orders);
    });
    std::mt19937 random(1);
    int randomCount = 0;
    loop.every(1000, [&] {
        hostile.push_back(
            std::make_unique<Silent>(loop, groupAddress(4, randomCount++ % 200), port, false));
        QByteArray junk(512, Qt::Uninitialized);
        for (char& c : junk)
            c = char(random() & 0xff);
        hostile.back()->write(junk);
    });
    loop.runFor(seconds * 1000.0);
    std::printf("  attacker cpu         %.1f s\n", ownCpuSeconds());
    std::printf("  order flooder        %s; %d random-bytes clients\n",
                flooding.playing && flooding.open() ? "still playing" : "cut off", randomCount);
    std::fflush(stdout);
    flooding.leaving = true;
    return 0;
}

// ---- The measured run ------------------------------------------------------

// Creates the games one after the other: a master creates his game, seven
// more find it in the list and join, and the master starts it once all have
// the map. Then waits until everybody plays.
bool setUp(Loop& loop, Stats& stats, std::vector<std::unique_ptr<Player>>& players, int games,
           quint16 port)
{
    for (int g = 0; g < games; ++g) {
        const QString name = QStringLiteral("g%1").arg(g);
        auto& master = *players.emplace_back(
            std::make_unique<Player>(loop, stats, g, groupAddress(1, g), port));
        master.observer = true;
        master.stampArrivals();
        master.write(hello() + createGame(name, kMap, QStringLiteral("P%1x0").arg(g), 0));
        if (!loop.runUntil([&] { return master.hasMap; }, kSetupLimitMs))
            return false;
        for (int s = 1; s < kSeats; ++s) {
            auto& p = *players.emplace_back(
                std::make_unique<Player>(loop, stats, g, groupAddress(1, g), port));
            p.join(name, QStringLiteral("P%1x%2").arg(g).arg(s), s);
        }
        const auto from = players.end() - kSeats;
        if (!loop.runUntil(
                [&] { return std::all_of(from, players.end(), [](auto& p) { return p->hasMap; }); },
                kSetupLimitMs))
            return false;
        for (auto p = from + 1; p != players.end(); ++p)
            master.mates.push_back(p->get());
        master.write(startGame(kSpeed) + gameSettings(0, 5));
    }
    return loop.runUntil(
        [&] {
            return std::all_of(players.begin(), players.end(),
                               [](const auto& p) { return p->playing; });
        },
        kSetupLimitMs);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    raiseFileLimit();
    QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("attack"))
        return attack(quint16(args.value(2).toInt()), std::clamp(args.value(3).toInt(), 1, 600));
    auto option = [&](const QString& name) {
        const qsizetype i = args.indexOf(name);
        if (i < 0 || i + 1 >= args.size())
            return QString();
        const QString value = args[i + 1];
        args.remove(i, 2);
        return value;
    };
    const QString serverPath = option(QStringLiteral("--server"));
    const QString maps = option(QStringLiteral("--maps"));
    const QString logPath = option(QStringLiteral("--log"));
    const bool faults = args.value(1) == QLatin1String("faults");
    const int games = faults ? kFaultGames : args.value(2).toInt();
    const int seconds = (faults ? args.value(2) : args.value(3)).toInt();
    if (serverPath.isEmpty() || maps.isEmpty() || logPath.isEmpty() || games < 1 || games > 1000 ||
        seconds < 1 || seconds > 600) {
        std::fprintf(stderr, "usage: server_load --server PATH --maps DIR --log FILE "
                             "(scale GAMES SECONDS | faults SECONDS)\n");
        return 2;
    }

    const quint16 port = freePort();
    QProcess server;
    server.setStandardErrorFile(logPath);
    server.setStandardOutputFile(QProcess::nullDevice());
    server.start(serverPath,
                 {QStringLiteral("--port"), QString::number(port), QStringLiteral("--maps"), maps});
    if (!server.waitForStarted(5000)) {
        std::fprintf(stderr, "server_load: cannot start %s\n", qPrintable(serverPath));
        return 1;
    }
    const qint64 pid = server.processId();
    Loop loop;
    {
        // Wait until it listens.
        std::unique_ptr<Socket> probe;
        bool listening = false;
        const double end = nowMs() + 5000;
        while (!listening && nowMs() < end) {
            const int fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(port);
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            listening = ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
            close(fd);
            if (!listening)
                usleep(20000);
        }
        if (!listening) {
            std::fprintf(stderr, "server_load: the server does not listen\n");
            return 1;
        }
    }

    Stats stats;
    stats.intervals.resize(size_t(games));
    std::vector<std::unique_ptr<Player>> players;
    players.reserve(size_t(games * kSeats));
    if (!setUp(loop, stats, players, games, port)) {
        const auto playing =
            std::count_if(players.begin(), players.end(), [](const auto& p) { return p->playing; });
        std::fprintf(stderr, "server_load: set-up incomplete: %d of %d players playing\n",
                     int(playing), games * kSeats);
        server.kill();
        server.waitForFinished(5000);
        return 1;
    }
    loop.runFor(kWarmupMs);

    // The hostile clients of the fault run, from a process of their own so
    // that their work does not delay the well-behaved clients measured here,
    // and at a lower priority, so that it does not take the processor from
    // the server and the measured clients on a busy machine.
    QProcess attacker;
    if (faults) {
        attacker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        attacker.start(QStringLiteral("nice"),
                       {QStringLiteral("-n"), QStringLiteral("10"),
                        QCoreApplication::applicationFilePath(), QStringLiteral("attack"),
                        QString::number(port), QString::number(seconds)});
        attacker.waitForStarted(5000);
    }

    // The control: this process's own 100 ms timer, which no server delays.
    // Its lateness is the machine's and the generator's, and is part of every
    // figure below.
    std::vector<double> ownTicks;
    double lastOwn = nowMs();
    loop.every(kIntervalMs, [&] {
        const double t = nowMs();
        ownTicks.push_back(t - lastOwn);
        lastOwn = t;
    });
    const double cpu0 = cpuSeconds(pid), ownCpu0 = ownCpuSeconds();
    const double t0 = nowMs();
    stats.measuring = true;
    loop.runFor(seconds * 1000.0);
    stats.measuring = false;
    loop.stopTimers();
    const double elapsed = (nowMs() - t0) / 1000;
    const double cpu = (cpuSeconds(pid) - cpu0) / elapsed;
    const double ownCpu = (ownCpuSeconds() - ownCpu0) / elapsed;
    const double rss = memoryMb(pid, "VmRSS:"), peak = memoryMb(pid, "VmHWM:");
    QByteArray attackReport;
    if (faults) {
        // The players keep reading while the attacker finishes.
        loop.runUntil([&] { return attacker.waitForFinished(0); }, 10000);
        if (attacker.state() != QProcess::NotRunning)
            attacker.kill();
        attacker.waitForFinished(2000);
        attackReport = attacker.readAllStandardOutput();
    }

    double worstIntervalP99 = 0;
    int worstGame = -1;
    for (int g = 0; g < games; ++g) {
        const double p = percentile(stats.intervals[size_t(g)], 0.99);
        if (p > worstIntervalP99) {
            worstIntervalP99 = p;
            worstGame = g;
        }
    }
    std::vector<double> allIntervals;
    for (const auto& v : stats.intervals)
        allIntervals.insert(allIntervals.end(), v.begin(), v.end());

    for (auto& p : players)
        p->leaving = true;
    players.clear();
    server.terminate();
    if (!server.waitForFinished(5000))
        server.kill();
    server.waitForFinished(2000);
    const qint64 logBytes = QFileInfo(logPath).size();

    std::printf("%s games=%d players=%d seconds=%d\n", faults ? "faults" : "scale", games,
                games * kSeats, seconds);
    std::printf("  server cpu           %.2f cores (generator %.2f)\n", cpu, ownCpu);
    std::printf("  server memory        %.0f MB resident at the end, %.0f MB peak\n", rss, peak);
    std::printf("  orders sent          %ld, own updates timed %ld, observer orders unanswered "
                "before the next %ld\n",
                stats.orders, stats.updates, stats.unanswered);
    std::printf("  order-to-update      p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                percentile(stats.latencies, 0.5), percentile(stats.latencies, 0.99),
                percentile(stats.latencies, 1.0));
    std::printf("    as the loop read   p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                percentile(stats.readLatencies, 0.5), percentile(stats.readLatencies, 0.99),
                percentile(stats.readLatencies, 1.0));
    std::printf("  step interval        p50 %.1f ms, p99 %.1f ms over all games; worst game %d "
                "p99 %.1f ms (limit %.0f)\n",
                percentile(allIntervals, 0.5), percentile(allIntervals, 0.99), worstGame,
                worstIntervalP99, 1.5 * kIntervalMs);
    std::printf("  control: own timer   p50 %.1f ms, p99 %.1f ms (machine load %.1f)\n",
                percentile(ownTicks, 0.5), percentile(ownTicks, 0.99), loadAverage());
    std::printf("  well-behaved cut off %d\n", stats.disconnected);
    if (faults)
        std::printf("%s", attackReport.constData());
    std::printf("  server log           %lld bytes\n", logBytes);
    return 0;
}
