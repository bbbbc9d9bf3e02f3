// vorlan-server [--port N] [--maps DIR]
// The game server of The Vorlane. Offers the maps of DIR (default: the maps
// folder beside the program, else the installed one) and listens on port N
// (default: VORLAN_PORT, or 8080).
#include "datafiles.h"
#include "tcpfront.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int port = vorlan::serverPort(args);
    if (port == 0) {
        std::fprintf(stderr, "vorlan-server: not a port number\n");
        return 2;
    }
    const qsizetype at = args.indexOf(QStringLiteral("--maps"));
    const QString maps = at >= 0 && at + 1 < args.size()
                             ? args[at + 1]
                             : vorlan::DataFolders::forProgram(app.applicationDirPath())
                                   .find(QStringLiteral("maps"));

    vorlan::TcpFront front;
    if (front.server().loadMaps(maps) == 0) {
        std::fprintf(stderr, "vorlan-server: no maps in %s\n", qPrintable(maps));
        return 1;
    }
    if (!front.listen(QHostAddress::Any, quint16(port))) {
        std::fprintf(stderr, "vorlan-server: port %d: %s\n", port, qPrintable(front.errorString()));
        return 1;
    }
    return app.exec();
}
