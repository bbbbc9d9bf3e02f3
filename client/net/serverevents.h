#pragma once

#include "assembler.h"

namespace vorlan {

class TForm1;
class InGame;
class Lobby;

// Where the messages of the server go: lobby messages to the lobby, game
// messages to the game, a broken protocol to the main window, which closes
// the connection.
class ServerEvents : public ProtocolHandler
{
public:
    explicit ServerEvents(TForm1& main) : main_(main) {}

    void gameEntryName(const GameEntryName& m) override;
    void gameEntryMap(const GameEntryMap& m) override;
    void mapEntry(const MapEntry& m) override;
    void listEnd() override;
    void playerJoined(const PlayerJoined& m) override;
    void mapBegin() override;
    void mapData(const MapData& m) override;
    void gameInfo(const GameInfo& m) override;
    void stepNumber(const StepNumber& m) override;
    void gameStart(const GameStart& m) override;
    void cellUpdate(const CellUpdate& m) override;
    void playerUpdate(const PlayerUpdate& m) override;
    void youAre(const YouAre& m) override;
    void leaveIfMoreNotice(const LeaveIfMoreNotice& m) override;
    void roundToNotice(const RoundToNotice& m) override;
    void armyChangeNotice(const ArmyChangeNotice& m) override;
    void eventCame() override;
    void textMessage(const TextMessage& m) override;
    void gameOver() override;
    void protocolViolation(const QString& what) override;

private:
    Lobby& lobby();
    InGame& game();

    TForm1& main_;
};

} // namespace vorlan
