// server_load: the load and fault benchmark of vorlan-server. Starts the real
// server as a process on a free loopback port and plays against it from one
// event loop, with the project's own encoders and receive assembler.
//
//   server_load --server PATH --maps DIR --log FILE scale GAMES SECONDS
//   server_load --server PATH --maps DIR --log FILE faults SECONDS
//
// scale: GAMES games (at most 256: a client names a game by one byte) of 8
// players at the highest speed, every player sending
// one order per step (the first player of each game, the observer, answers
// every step it reads and times the answer; the others send theirs from a
// timer of the step's length and only drain their sockets); reports the server's CPU,
// order-to-update latency, resident memory and the step interval seen by the clients. faults: 20
// such games while 1,000 idle connections, 50 clients that never read, one order flooder and one
// random-bytes client a second come at the server; reports whether a well-behaved client was
// disconnected, the step interval p99 of every game, the server's memory and the size of its log.
//
// Every loop is bounded: the run ends by itself after its seconds (plus the
// set-up, at most 120 s). Loopback addresses only (127.x.y.z).
#include "assembler.h"
#include "encoders.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace vorlan;

constexpr int kSeats = 8;
constexpr int kSpeed = 4; // 100 ms a step
constexpr int kIntervalMs = 100;
constexpr int kSetupLimitMs = 120000;
constexpr int kWarmupMs = 2000;
const QString kMap = QStringLiteral("warfield");
const QString kSynced = QStringLiteral("Now you received all changes. You can start playing.");

QElapsedTimer wall;

double nowMs()
{
    return double(wall.nsecsElapsed()) / 1e6;
}

// The loopback source address of connection group g (one host per group).
QHostAddress groupAddress(int family, int g)
{
    return QHostAddress(QStringLiteral("127.%1.%2.%3").arg(family).arg(g / 250).arg(g % 250 + 1));
}

struct Stats
{
    std::vector<double> latencies;
    std::vector<std::vector<double>> intervals; // per game
    bool measuring = false;
    int disconnected = 0; // well-behaved clients cut off
    long orders = 0, updates = 0;
};

// One well-behaved player: joins, acknowledges, then answers every step with
// one move order and times the server's update of its own record.
struct Player final : ProtocolHandler
{
    Player(Stats& stats, int game, int seat, const QHostAddress& from)
        : stats(stats), game(game), seat(seat), assembler(*this)
    {
        socket.bind(from);
        // Once playing, only the observer of a game reads what it gets; the
        // others just drain their sockets, so that this one process can
        // keep up with thousands of them.
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] {
            ++batch;
            const QByteArray bytes = socket.readAll();
            if (observer || !playing)
                assembler.feed(bytes);
        });
        QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [this] {
            if (!leaving)
                ++this->stats.disconnected;
        });
    }
    void connectTo(quint16 port) { socket.connectToHost(QHostAddress::LocalHost, port); }

    void mapBegin() override { socket.write(mapReady()); }
    void gameInfo(const GameInfo&) override { hasMap = true; }
    void playerJoined(const PlayerJoined&) override { ++joined; }
    void gameStart(const GameStart&) override { socket.write(startedAck()); }
    void youAre(const YouAre& m) override { me = m.index; }
    void textMessage(const TextMessage& m) override
    {
        if (m.text == kSynced)
            playing = true;
    }
    void stepNumber(const StepNumber&) override
    {
        const double t = nowMs();
        if (observer && stats.measuring && lastStep > 0) {
            stats.intervals[size_t(game)].push_back(t - lastStep);
            if (t - lastStep > 3 * kIntervalMs && qEnvironmentVariableIsSet("SERVER_LOAD_DEBUG"))
                std::fprintf(stderr, "game %d: step interval %.0f ms at %.1f s\n", game,
                             t - lastStep, t / 1000);
        }
        lastStep = t;
        if (playing)
            order(t);
    }
    // One move order; the observer times the answer.
    void order(double t)
    {
        socket.write(step(right ? 'R' : 'L', 0));
        right = !right;
        sentAt = t;
        sentBatch = batch;
        if (stats.measuring)
            ++stats.orders;
    }
    void playerUpdate(const PlayerUpdate& m) override
    {
        // An update read with the step that made the order was sent before
        // the order left: not its answer.
        if (m.player != me || sentAt < 0 || batch == sentBatch)
            return;
        if (stats.measuring) {
            stats.latencies.push_back(nowMs() - sentAt);
            ++stats.updates;
        }
        sentAt = -1;
    }

    Stats& stats;
    const int game, seat;
    QTcpSocket socket;
    ReceiveAssembler assembler;
    bool observer = false, hasMap = false, playing = false, right = true, leaving = false;
    bool invited = false; ///< the master's: the others were sent to join
    int joined = 0, me = -1;
    double sentAt = -1, lastStep = -1;
    long batch = 0, sentBatch = -1;
};

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
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void raiseFileLimit()
{
    rlimit l{};
    if (getrlimit(RLIMIT_NOFILE, &l) == 0 && l.rlim_cur < l.rlim_max) {
        l.rlim_cur = l.rlim_max;
        setrlimit(RLIMIT_NOFILE, &l);
    }
}

// Runs the event loop until done() or the time is up.
template <typename Done> bool runUntil(Done&& done, int ms)
{
    QElapsedTimer t;
    t.start();
    // A ticking timer wakes the wait below even when no socket speaks.
    QTimer tick;
    tick.start(10);
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

void runFor(int ms)
{
    runUntil([] { return false; }, ms);
}

// The hostile clients, for `seconds`: 1,000 idle connections, 50 that ask
// for lists and never read, one player who floods his game with orders and a
// new random-bytes connection every second.
int attack(quint16 port, int seconds)
{
    Stats stats;
    stats.intervals.resize(1);
    std::vector<std::unique_ptr<QTcpSocket>> hostile;
    QTimer nonReaders, flooder, randomBytes;
    int randomCount = 0;
    {
        for (int i = 0; i < 1000; ++i) {
            auto& s = hostile.emplace_back(std::make_unique<QTcpSocket>());
            s->bind(groupAddress(2, i / 30));
            s->connectToHost(QHostAddress::LocalHost, port);
        }
        std::vector<QTcpSocket*> deaf;
        for (int i = 0; i < 50; ++i) {
            auto& s = hostile.emplace_back(std::make_unique<QTcpSocket>());
            s->bind(groupAddress(3, i));
            s->setReadBufferSize(1);
            s->connectToHost(QHostAddress::LocalHost, port);
            s->write(hello());
            deaf.push_back(s.get());
        }
        QObject::connect(&nonReaders, &QTimer::timeout, &nonReaders, [deaf] {
            QByteArray lists;
            for (int k = 0; k < 200; ++k)
                lists += listGamesRequest();
            for (QTcpSocket* s : deaf)
                if (s->state() == QAbstractSocket::ConnectedState && s->bytesToWrite() < 65536)
                    s->write(lists);
        });
        nonReaders.start(50);
        // A player alone in his game sends orders as fast as his socket takes them.
        auto flooding = std::make_unique<Player>(stats, 0, 0, groupAddress(5, 0));
        flooding->connectTo(port);
        flooding->socket.write(hello() + createGame(QStringLiteral("flood"), QStringLiteral("duel"),
                                                    QStringLiteral("Flooder"), 0));
        runUntil([&] { return flooding->hasMap; }, 10000);
        flooding->socket.write(startGame(kSpeed) + gameSettings(0, 5));
        runUntil([&] { return flooding->playing; }, 10000);
        QByteArray orders;
        for (int k = 0; k < 4096; ++k)
            orders += step(k % 2 ? 'R' : 'L', 0);
        QObject::connect(&flooder, &QTimer::timeout, &flooder, [p = flooding.get(), orders] {
            if (p->socket.bytesToWrite() < (256 << 10))
                p->socket.write(orders);
        });
        flooder.start(2);
        QObject::connect(&randomBytes, &QTimer::timeout, &randomBytes, [&] {
            auto& s = hostile.emplace_back(std::make_unique<QTcpSocket>());
            s->bind(groupAddress(4, randomCount++ % 200));
            s->connectToHost(QHostAddress::LocalHost, port);
            QByteArray junk(512, Qt::Uninitialized);
            for (char& c : junk)
                c = char(QRandomGenerator::global()->bounded(256));
            s->write(junk);
        });
        randomBytes.start(1000);
        runFor(seconds * 1000);
        rusage self{};
        getrusage(RUSAGE_SELF, &self);
        std::printf("  attacker cpu         %.1f s\n",
                    double(self.ru_utime.tv_sec + self.ru_stime.tv_sec) +
                        double(self.ru_utime.tv_usec + self.ru_stime.tv_usec) / 1e6);
        std::printf("  order flooder        %s; %d random-bytes clients\n",
                    flooding->playing && flooding->socket.state() == QAbstractSocket::ConnectedState
                        ? "still playing"
                        : "cut off",
                    randomCount);
        flooding->leaving = true;
    }
    for (auto& h : hostile)
        h->abort();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    wall.start();
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
    const int games = faults ? 20 : args.value(2).toInt();
    const int seconds = (faults ? args.value(2) : args.value(3)).toInt();
    if (serverPath.isEmpty() || maps.isEmpty() || logPath.isEmpty() || games < 1 || games > 256 ||
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
    {
        QTcpSocket probe;
        if (!runUntil(
                [&] {
                    if (probe.state() == QAbstractSocket::UnconnectedState)
                        probe.connectToHost(QHostAddress::LocalHost, port);
                    return probe.state() == QAbstractSocket::ConnectedState;
                },
                5000)) {
            std::fprintf(stderr, "server_load: the server does not listen\n");
            return 1;
        }
        probe.abort();
    }

    Stats stats;
    stats.intervals.resize(size_t(games));
    std::vector<std::unique_ptr<Player>> players;
    players.reserve(size_t(games * kSeats));
    // Games are made one after the other, so game g gets number g.
    int made = 0;
    bool setupOk = runUntil(
        [&] {
            if (made > 0) {
                Player& master = *players[size_t((made - 1) * kSeats)];
                if (!master.hasMap)
                    return false;
                if (!master.invited) { // the others join
                    for (int s = 1; s < kSeats; ++s) {
                        auto& p = players.emplace_back(std::make_unique<Player>(
                            stats, made - 1, s, groupAddress(1, made - 1)));
                        p->connectTo(port);
                        p->socket.write(
                            hello() +
                            joinGame(made - 1, QStringLiteral("P%1x%2").arg(made - 1).arg(s), s));
                    }
                    master.invited = true;
                }
            }
            if (made == games)
                return true;
            auto& master = players.emplace_back(
                std::make_unique<Player>(stats, made, 0, groupAddress(1, made)));
            master->observer = true;
            master->connectTo(port);
            master->socket.write(hello() + createGame(QStringLiteral("g%1").arg(made), kMap,
                                                      QStringLiteral("P%1x0").arg(made), 0));
            ++made;
            return false;
        },
        kSetupLimitMs);
    // Each master starts his game once all seven have their map.
    std::vector<bool> started(size_t(games), false);
    setupOk = setupOk && runUntil(
                             [&] {
                                 bool all = true;
                                 for (int g = 0; g < games; ++g) {
                                     if (started[size_t(g)])
                                         continue;
                                     bool ready = true;
                                     for (int s = 0; s < kSeats; ++s)
                                         ready = ready && players[size_t(g * kSeats + s)]->hasMap;
                                     if (ready) {
                                         players[size_t(g * kSeats)]->socket.write(
                                             startGame(kSpeed) + gameSettings(0, 5));
                                         started[size_t(g)] = true;
                                     } else {
                                         all = false;
                                     }
                                 }
                                 return all;
                             },
                             kSetupLimitMs);
    setupOk = setupOk && runUntil(
                             [&] {
                                 return std::all_of(players.begin(), players.end(),
                                                    [](const auto& p) { return p->playing; });
                             },
                             kSetupLimitMs);
    if (!setupOk) {
        int playing = 0;
        for (const auto& p : players)
            playing += p->playing ? 1 : 0;
        std::fprintf(stderr, "server_load: set-up incomplete: %d of %d players playing\n", playing,
                     int(players.size()));
        server.kill();
        server.waitForFinished(5000);
        return 1;
    }
    // The players that only drain give their order of each step from one
    // timer of the step's length.
    QTimer orders;
    orders.setTimerType(Qt::PreciseTimer);
    QObject::connect(&orders, &QTimer::timeout, &orders, [&] {
        const double t = nowMs();
        for (auto& p : players)
            if (!p->observer && p->playing)
                p->order(t);
    });
    orders.start(kIntervalMs);
    runFor(kWarmupMs);

    // The hostile clients of the fault run, from a process of their own so
    // that their work does not delay the well-behaved clients measured here.
    QProcess attacker;
    if (faults) {
        attacker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // At a lower priority: on a busy machine it would otherwise take the
        // processor from the server and from the clients measured here.
        attacker.start(QStringLiteral("nice"),
                       {QStringLiteral("-n"), QStringLiteral("10"),
                        QCoreApplication::applicationFilePath(), QStringLiteral("attack"),
                        QString::number(port), QString::number(seconds)});
        attacker.waitForStarted(5000);
    }

    // The control: this process's own 100 ms timer, which no server delays.
    // Its lateness is the machine's, and is part of every figure below.
    std::vector<double> ownTicks;
    QTimer own;
    own.setTimerType(Qt::PreciseTimer);
    double lastOwn = nowMs();
    QObject::connect(&own, &QTimer::timeout, &own, [&] {
        const double t = nowMs();
        ownTicks.push_back(t - lastOwn);
        lastOwn = t;
    });
    own.start(kIntervalMs);
    const double cpu0 = cpuSeconds(pid);
    const double t0 = nowMs();
    stats.measuring = true;
    runFor(seconds * 1000);
    stats.measuring = false;
    orders.stop();
    const double cpu = (cpuSeconds(pid) - cpu0) / ((nowMs() - t0) / 1000);
    const double rss = memoryMb(pid, "VmRSS:"), peak = memoryMb(pid, "VmHWM:");
    QByteArray attackReport;
    if (faults) {
        runUntil([&] { return attacker.state() == QProcess::NotRunning; }, 10000);
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
    for (auto& p : players)
        p->socket.abort();
    runFor(500);
    server.terminate();
    if (!server.waitForFinished(5000))
        server.kill();
    server.waitForFinished(2000);
    const qint64 logBytes = QFileInfo(logPath).size();

    std::printf("%s games=%d players=%d seconds=%d\n", faults ? "faults" : "scale", games,
                int(players.size()), seconds);
    std::printf("  server cpu           %.2f cores\n", cpu);
    std::printf("  server memory        %.0f MB resident at the end, %.0f MB peak\n", rss, peak);
    std::printf("  orders sent          %ld, own updates received %ld\n", stats.orders,
                stats.updates);
    std::printf("  order-to-update      p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                percentile(stats.latencies, 0.5), percentile(stats.latencies, 0.99),
                percentile(stats.latencies, 1.0));
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
