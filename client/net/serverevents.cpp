#include "serverevents.h"

#include "lobby.h"
#include "mainwindow.h"

namespace vorlan {

Lobby& ServerEvents::lobby()
{
    return main_.lobby();
}

void ServerEvents::gameEntryName(const GameEntryName& m)
{
    lobby().gameEntryName(m);
}
void ServerEvents::gameEntryMap(const GameEntryMap& m)
{
    lobby().gameEntryMap(m);
}
void ServerEvents::mapEntry(const MapEntry& m)
{
    lobby().mapEntry(m);
}
void ServerEvents::listEnd()
{
    lobby().listEnd();
}
void ServerEvents::playerJoined(const PlayerJoined& m)
{
    lobby().playerJoined(m);
}
void ServerEvents::mapBegin()
{
    lobby().mapBegin();
}
void ServerEvents::mapData(const MapData& m)
{
    lobby().mapData(m);
}
void ServerEvents::gameInfo(const GameInfo& m)
{
    lobby().gameInfo(m);
}

void ServerEvents::protocolViolation(const QString& what)
{
    main_.protocolViolation(what);
}

} // namespace vorlan
