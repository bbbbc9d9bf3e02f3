#pragma once

#include "assembler.h"

namespace vorlan {

class TForm1;
class Lobby;

// Where the messages of the server go: lobby messages to the lobby, a broken
// protocol to the main window, which closes the connection.
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
    void protocolViolation(const QString& what) override;

private:
    Lobby& lobby();

    TForm1& main_;
};

} // namespace vorlan
