#pragma once
// The command line of vorlan-server.

#include "ai/agent.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

namespace vorlan {

struct ServerOptions
{
    int port = 0;
    QHostAddress bind{QHostAddress::LocalHost};
    QString maps; ///< folder of the *.map files offered
    int bots = 0; ///< computer players per game, 0..7
    ai::Level botLevel = ai::Level::Normal;
    int minuteMs = 0; ///< length of a game minute
};

enum class ParseResult
{
    Run,
    Help,  ///< the text to print is in *message
    Error, ///< the reason is in *message
};

// Reads the arguments (the first is the program); defaults: port from
// VORLAN_PORT or 8080, the loopback address, the maps folder given, no
// computer players of normal level, a minute of 60000 ms.
ParseResult parseServerOptions(const QStringList& arguments, const QString& defaultMaps,
                               ServerOptions* options, QString* message);

} // namespace vorlan
