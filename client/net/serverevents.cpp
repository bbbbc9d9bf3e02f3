#include "serverevents.h"

#include "ingame.h"
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

InGame& ServerEvents::game()
{
    return main_.inGame();
}

void ServerEvents::stepNumber(const StepNumber& m)
{
    game().stepNumber(m);
}
void ServerEvents::gameStart(const GameStart& m)
{
    game().gameStart(m);
}
void ServerEvents::cellUpdate(const CellUpdate& m)
{
    game().cellUpdate(m);
}
void ServerEvents::playerUpdate(const PlayerUpdate& m)
{
    game().playerUpdate(m);
}
void ServerEvents::youAre(const YouAre& m)
{
    game().youAre(m);
}
void ServerEvents::leaveIfMoreNotice(const LeaveIfMoreNotice& m)
{
    game().leaveIfMoreNotice(m);
}
void ServerEvents::roundToNotice(const RoundToNotice& m)
{
    game().roundToNotice(m);
}
void ServerEvents::armyChangeNotice(const ArmyChangeNotice& m)
{
    game().armyChangeNotice(m);
}
void ServerEvents::eventCame()
{
    game().eventCame();
}
void ServerEvents::textMessage(const TextMessage& m)
{
    game().textMessage(m);
}
void ServerEvents::gameOver()
{
    game().gameOver();
}

void ServerEvents::protocolViolation(const QString& what)
{
    main_.protocolViolation(what);
}

} // namespace vorlan
