// The Debian package made by CPack from this build: what it holds, what it
// depends on, and its programs started from an unpacked copy: the server
// offers the installed maps, the client starts and finds all its files.
#include "encoders.h"
#include "server_support.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace vorlan {
namespace {

struct Outcome
{
    int status = -1;
    QString out, err;
};

Outcome run(const QString& program, const QStringList& args, int timeoutMs = 120000)
{
    QProcess p;
    p.start(program, args);
    Outcome r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

template <typename Done> bool waitFor(Done&& done, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The data files the build puts beside the programs: every file of assets/
// except the launcher icons, and the help pages.
QStringList shippedDataFiles()
{
    QStringList names;
    const QDir assets(QStringLiteral(VORLAN_SOURCE_DIR "/assets"));
    for (const QString& f : assets.entryList(QDir::Files))
        if (f != QLatin1String("CMakeLists.txt") && !f.startsWith(QLatin1String("icon-")))
            names << f;
    const QDir docs(QStringLiteral(VORLAN_SOURCE_DIR "/docs"));
    names << docs.entryList(
        {QStringLiteral("*.html"), QStringLiteral("*.css"), QStringLiteral("rules.md")},
        QDir::Files);
    return names;
}

class Package : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty())
            return;
        scratch_ = new QTemporaryDir;
        const QString out = QDir(scratch_->path()).filePath(QStringLiteral("out"));
        const Outcome made =
            run(QStringLiteral(VORLAN_CPACK),
                {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                 QStringLiteral(VORLAN_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), out});
        log_ = made.out + made.err;
        const QStringList debs = QDir(out).entryList({QStringLiteral("*.deb")}, QDir::Files);
        if (made.status != 0 || debs.size() != 1)
            return;
        deb_ = QDir(out).filePath(debs.constFirst());
        root_ = QDir(scratch_->path()).filePath(QStringLiteral("root"));
        if (run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb_, root_}).status != 0)
            deb_.clear();
    }
    static void TearDownTestSuite()
    {
        delete scratch_;
        scratch_ = nullptr;
    }
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty())
            GTEST_SKIP() << "no dpkg-deb here";
        ASSERT_FALSE(deb_.isEmpty()) << log_.toStdString();
    }

    static QString installed(const QString& relative) { return QDir(root_).filePath(relative); }
    // Every file of the package, relative to its root.
    static QStringList contents()
    {
        QStringList files;
        QDirIterator it(root_, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(root_).relativeFilePath(it.next());
        return files;
    }
    // The environment of a desktop session with nothing of ours configured.
    static QProcessEnvironment session(const QString& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
        env.insert(QStringLiteral("TEMP"), home);
        env.remove(QStringLiteral("LD_LIBRARY_PATH"));
        return env;
    }

    static inline QTemporaryDir* scratch_ = nullptr;
    static inline QString deb_, root_, log_;
};

TEST_F(Package, HoldsTheProgramsTheLibraryAndEveryDataFileAndNothingOfTheTests)
{
    const QStringList files = contents();
    for (const char* f :
         {"usr/bin/vorlan", "usr/bin/vorlan-server", "usr/bin/vorlan-arena",
          "usr/share/applications/vorlan.desktop", "usr/share/icons/hicolor/48x48/apps/vorlan.png",
          "usr/share/icons/hicolor/256x256/apps/vorlan.png",
          "usr/share/metainfo/org.vorlane.vorlan.metainfo.xml",
          "usr/share/man/man6/vorlan-server.6.gz", "usr/share/man/man6/vorlan-arena.6.gz",
          "usr/lib/systemd/system/vorlan-server.service", "etc/default/vorlan-server"})
        EXPECT_TRUE(files.contains(QString::fromLatin1(f))) << f;
    EXPECT_EQ(
        files.filter(QRegularExpression(QStringLiteral("^usr/lib/.*vorlan/libdirud\\.so$"))).size(),
        1);
    for (const QString& f : shippedDataFiles())
        EXPECT_TRUE(files.contains(QStringLiteral("usr/share/vorlan/") + f)) << f.toStdString();
    const QDir maps(QStringLiteral(VORLAN_SOURCE_DIR "/server/maps"));
    for (const QString& m : maps.entryList({QStringLiteral("*.map")}))
        EXPECT_TRUE(files.contains(QStringLiteral("usr/share/vorlan/maps/") + m))
            << m.toStdString();
    EXPECT_TRUE(files.filter(QRegularExpression(QStringLiteral("(^|/)(test_|bench_)"))).isEmpty())
        << files.join(' ').toStdString();
}

TEST_F(Package, DependsOnDebiansQtSdlMixerAndASoundfont)
{
    const Outcome f = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb_});
    ASSERT_EQ(f.status, 0) << f.err.toStdString();
    const QString depends = f.out.section(QStringLiteral("Depends: "), 1).section('\n', 0, 0);
    for (const char* p : {"libqt6widgets6", "libqt6network6", "libsdl2-mixer-2.0-0",
                          "qt6-qpa-plugins", "timgm6mb-soundfont"})
        EXPECT_TRUE(depends.contains(QString::fromLatin1(p)))
            << p << " in " << depends.toStdString();
    EXPECT_TRUE(f.out.contains(QStringLiteral("Package: vorlan\n")));
    // Nothing of Qt or SDL is carried inside.
    EXPECT_TRUE(contents().filter(QRegularExpression(QStringLiteral("libQt6|libSDL2"))).isEmpty());
}

TEST_F(Package, DesktopEntryAndSoftwareCentreDataAreValid)
{
    const QString desktop = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!desktop.isEmpty()) {
        const Outcome r =
            run(desktop, {installed(QStringLiteral("usr/share/applications/vorlan.desktop"))});
        EXPECT_EQ(r.status, 0) << (r.out + r.err).toStdString();
        EXPECT_EQ(r.out + r.err, QString());
    }
    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (!appstream.isEmpty()) {
        const Outcome r =
            run(appstream,
                {QStringLiteral("validate"), QStringLiteral("--no-net"),
                 installed(QStringLiteral("usr/share/metainfo/org.vorlane.vorlan.metainfo.xml"))});
        EXPECT_EQ(r.status, 0) << (r.out + r.err).toStdString();
    }
}

TEST_F(Package, TheInstalledServerOffersTheInstalledMaps)
{
    const quint16 port = freePort();
    QProcess server;
    server.setProcessEnvironment(session(scratch_->path()));
    server.start(installed(QStringLiteral("usr/bin/vorlan-server")),
                 {QStringLiteral("--port"), QString::number(port)});
    ASSERT_TRUE(server.waitForStarted());

    QTcpSocket socket;
    test::ClientView view;
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket,
                     [&] { view.feed(socket.readAll()); });
    ASSERT_TRUE(waitFor([&] {
        if (socket.state() == QAbstractSocket::UnconnectedState)
            socket.connectToHost(QHostAddress::LocalHost, port);
        return socket.state() == QAbstractSocket::ConnectedState;
    })) << server.readAllStandardError().toStdString();
    socket.write(hello() + listGamesRequest());
    EXPECT_TRUE(waitFor([&] { return view.count("listEnd") == 1; }));

    QStringList shipped =
        QDir(QStringLiteral(VORLAN_SOURCE_DIR "/server/maps")).entryList({QStringLiteral("*.map")});
    for (QString& m : shipped)
        m.chop(4);
    QStringList offered = view.maps;
    offered.sort();
    EXPECT_EQ(offered, shipped);
    server.kill();
    server.waitForFinished();
}

TEST_F(Package, TheInstalledClientStartsAndFindsEveryFile)
{
    QTemporaryDir home;
    QProcess client;
    client.setProcessEnvironment(session(home.path()));
    client.start(installed(QStringLiteral("usr/bin/vorlan")), {});
    ASSERT_TRUE(client.waitForStarted());
    // It runs until closed: still up after a few seconds, with nothing missing.
    EXPECT_FALSE(client.waitForFinished(4000)) << client.readAllStandardError().toStdString();
    // A desktop's logout ends it with SIGTERM.
    client.terminate();
    EXPECT_TRUE(client.waitForFinished(5000));
    client.kill();
    client.waitForFinished();
    const QString said = QString::fromUtf8(client.readAllStandardError());
    EXPECT_FALSE(said.contains(QStringLiteral("not found"))) << said.toStdString();
    // Nothing was written into the installed folders.
    EXPECT_TRUE(contents()
                    .filter(QRegularExpression(QStringLiteral("\\.(conf|ini)$|vorlan\\.map$")))
                    .isEmpty());
}

} // namespace
} // namespace vorlan
