#include "serveroptions.h"

#include "game.h"
#include "tcpfront.h"

#include <QCommandLineParser>

namespace vorlan {

namespace {

// A whole decimal number within [low, high].
bool readInt(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

} // namespace

ParseResult parseServerOptions(const QStringList& arguments, const QString& defaultMaps,
                               ServerOptions* options, QString* message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The game server of The Vorlane: it offers the maps of a folder, runs the "
                       "games of the clients that connect and, if asked, fills free seats with "
                       "computer players."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print these options and exit."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("TCP port to listen on (default: %1, else %2).")
                                      .arg(QLatin1String(kPortVariable))
                                      .arg(kServerPort),
                                  QStringLiteral("N"));
    const QCommandLineOption bind(
        QStringLiteral("bind"),
        QStringLiteral("IP address to listen on (default: 127.0.0.1, this machine only; 0.0.0.0 "
                       "for a LAN)."),
        QStringLiteral("ADDR"));
    const QCommandLineOption maps(
        QStringLiteral("maps"),
        QStringLiteral("Folder of the *.map files to offer (default: %1).").arg(defaultMaps),
        QStringLiteral("DIR"));
    const QCommandLineOption bots(
        QStringLiteral("bots"),
        QStringLiteral("Up to N computer players (0..%1) take the free seats of every game when "
                       "its master starts it (default: 0).")
            .arg(kMaxSeats - 1),
        QStringLiteral("N"));
    const QCommandLineOption level(
        QStringLiteral("bot-level"),
        QStringLiteral("Strength of the computer players: easy, normal or hard (default: normal)."),
        QStringLiteral("LEVEL"));
    const QCommandLineOption minute(
        QStringLiteral("minute-ms"),
        QStringLiteral("How long a game minute lasts, in milliseconds (default: %1); the game "
                       "clock, the minutes left and the end of a game follow it.")
            .arg(kMinuteMs),
        QStringLiteral("MS"));
    parser.addOptions({help, port, bind, maps, bots, level, minute});

    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return ParseResult::Error;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return ParseResult::Help;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);
        return ParseResult::Error;
    }

    ServerOptions o;
    const QString portText = parser.isSet(port) ? parser.value(port)
                             : qEnvironmentVariableIsSet(kPortVariable)
                                 ? qEnvironmentVariable(kPortVariable)
                                 : QString::number(kServerPort);
    if (!readInt(portText, 1, 65535, &o.port)) {
        *message = QStringLiteral("Not a port number: '%1'.").arg(portText);
        return ParseResult::Error;
    }
    if (parser.isSet(bind) && !o.bind.setAddress(parser.value(bind))) {
        *message = QStringLiteral("Not an IP address: '%1'.").arg(parser.value(bind));
        return ParseResult::Error;
    }
    o.maps = parser.isSet(maps) ? parser.value(maps) : defaultMaps;
    if (parser.isSet(bots) && !readInt(parser.value(bots), 0, kMaxSeats - 1, &o.bots)) {
        *message = QStringLiteral("--bots takes 0 to %1, not '%2'.")
                       .arg(kMaxSeats - 1)
                       .arg(parser.value(bots));
        return ParseResult::Error;
    }
    if (parser.isSet(level) && !ai::parseLevel(parser.value(level), &o.botLevel)) {
        *message = QStringLiteral("--bot-level takes easy, normal or hard, not '%1'.")
                       .arg(parser.value(level));
        return ParseResult::Error;
    }
    o.minuteMs = kMinuteMs;
    if (parser.isSet(minute) && !readInt(parser.value(minute), 1, 3600000, &o.minuteMs)) {
        *message =
            QStringLiteral("--minute-ms takes 1 to 3600000, not '%1'.").arg(parser.value(minute));
        return ParseResult::Error;
    }
    *options = o;
    return ParseResult::Run;
}

} // namespace vorlan
