// The vorlan-server program as a user starts it: its help, its refusals of
// bad options (exit status 2) and the address it listens on.
#include "encoders.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace vorlan {
namespace {

// Runs the server to its end with the arguments; returns the exit status.
int run(const QStringList& arguments, QString* out = nullptr, QString* err = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("./vorlan-server"), arguments);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (out)
        *out = QString::fromLocal8Bit(p.readAllStandardOutput());
    if (err)
        *err = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

quint16 freePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// Whether a server answers the games list at the address.
bool answers(const QString& address, quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(address), port);
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(hello() + listGamesRequest());
    QByteArray got;
    while (!got.endsWith(toClient::listEnd()) && socket.waitForReadyRead(2000))
        got += socket.readAll();
    return got.endsWith(toClient::listEnd());
}

// A server started in the background; stopped when the test ends.
struct RunningServer
{
    QProcess process;
    RunningServer(const QStringList& arguments, const QByteArray& envPort = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("VORLAN_PORT"));
        if (!envPort.isEmpty())
            env.insert(QStringLiteral("VORLAN_PORT"), QString::fromLatin1(envPort));
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        process.start(QStringLiteral("./vorlan-server"), arguments);
    }
    bool listening()
    {
        QByteArray err;
        while (!err.contains("listening") && process.waitForReadyRead(5000))
            err += process.readAllStandardError();
        return err.contains("listening");
    }
    ~RunningServer()
    {
        process.kill();
        process.waitForFinished();
    }
};

TEST(ServerProgram, HelpListsEveryOptionAndExits)
{
    QString out;
    ASSERT_EQ(run({"--help"}, &out), 0);
    for (const char* option :
         {"--port", "--bind", "--maps", "--bots", "--bot-level", "--minute-ms"})
        EXPECT_TRUE(out.contains(QLatin1String(option))) << option;
}

TEST(ServerProgram, UnknownOptionsAndBadValuesExitWithStatusTwo)
{
    const QList<QStringList> bad = {
        {"--colour", "red"}, {"--port", "0"},  {"--port", "x"},          {"--bind", "nowhere"},
        {"--bots", "8"},     {"--bots", "-1"}, {"--bot-level", "silly"}, {"--minute-ms", "0"},
        {"stray"},           {"--maps"}};
    for (const QStringList& args : bad) {
        QString err;
        EXPECT_EQ(run(args, nullptr, &err), 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(err.startsWith("vorlan-server: ")) << qPrintable(err);
    }
}

TEST(ServerProgram, ListensOnlyOnTheBoundAddress)
{
    // By default on the loopback address 127.0.0.1 only, the port from the
    // environment.
    const quint16 port = freePort();
    {
        RunningServer server({}, QByteArray::number(port));
        ASSERT_TRUE(server.listening());
        EXPECT_TRUE(answers("127.0.0.1", port));
        EXPECT_FALSE(answers("127.0.0.2", port));
    }
    // --bind and --port, with computer players of a chosen level.
    const quint16 other = freePort();
    RunningServer server({"--bind", "127.0.0.2", "--port", QString::number(other), "--bots", "3",
                          "--bot-level", "hard", "--minute-ms", "500"},
                         "1");
    ASSERT_TRUE(server.listening());
    EXPECT_TRUE(answers("127.0.0.2", other));
    EXPECT_FALSE(answers("127.0.0.1", other));
}

} // namespace
} // namespace vorlan
