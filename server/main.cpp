// vorlan-server [options]; vorlan-server --help lists them.
// The game server of The Vorlane: offers the maps of a folder, runs the games
// of the clients that connect and fills free seats with computer players.
#include "ai/agent.h"
#include "datafiles.h"
#include "serveroptions.h"
#include "tcpfront.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDir>

int main(int argc, char** argv)
{
    // The plain Unix event dispatcher: the network front needs one socket
    // notifier and a precise timer per game, which it serves with the least
    // work per turn of the loop.
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    vorlan::ServerOptions options;
    QString message;
    // The maps beside the program, else the installed ones.
    QString maps =
        vorlan::DataFolders::forProgram(app.applicationDirPath()).locate(QStringLiteral("maps"));
    if (maps.isEmpty())
        maps = QDir(app.applicationDirPath()).filePath(QStringLiteral("maps"));
    switch (vorlan::parseServerOptions(app.arguments(), maps, &options, &message)) {
    case vorlan::ParseResult::Help:
        std::fputs(qPrintable(message), stdout);
        return 0;
    case vorlan::ParseResult::Error:
        std::fprintf(stderr, "vorlan-server: %s\nTry 'vorlan-server --help'.\n",
                     qPrintable(message));
        return 2;
    case vorlan::ParseResult::Run:
        break;
    }

    // Every connection is a file: take all the operating system allows.
    vorlan::raiseOpenFileLimit();
    vorlan::TcpFront front;
    vorlan::GameServer& server = front.server();
    if (server.loadMaps(options.maps) == 0) {
        std::fprintf(stderr, "vorlan-server: no maps in %s\n", qPrintable(options.maps));
        return 1;
    }
    server.setMinuteMs(options.minuteMs);
    const vorlan::ai::Level level = options.botLevel;
    server.setComputerPlayers(options.bots, [level](uint32_t seed) {
        return vorlan::ai::makeComputerPlayer(level, seed);
    });
    if (!front.listen(options.bind, quint16(options.port))) {
        std::fprintf(stderr, "vorlan-server: %s port %d: %s\n", qPrintable(options.bind.toString()),
                     options.port, qPrintable(front.errorString()));
        return 1;
    }
    return app.exec();
}
