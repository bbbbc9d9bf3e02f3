#pragma once

#include "messages.h"
#include "rules.h"

#include <array>
#include <QString>

namespace vorlan {

class TForm1;
class Connection;
struct AppState;

// The lobby and the waiting room: the games and maps a server offers,
// joining or creating a game, the map download and the master's start.
class Lobby
{
public:
    Lobby(TForm1& main, AppState& state, Connection& connection);

    // Server messages
    void gameEntryName(const GameEntryName& m);
    void gameEntryMap(const GameEntryMap& m);
    void mapEntry(const MapEntry& m);
    void listEnd();
    void playerJoined(const PlayerJoined& m);
    void mapBegin();
    void mapData(const MapData& m);
    void gameInfo(const GameInfo& m);

    // Menu actions
    void refresh();
    void join();
    void create();
    void start();

    // Forgets the listed games (at every Connect and Refresh).
    void clearGames();

    const std::array<QString, kMaxListedGames>& mapsNamesArray() const { return mapsNamesArray_; }
    const std::array<int32_t, kMaxListedGames>& mapsNumsArray() const { return mapsNumsArray_; }

private:
    bool writeWhole(const QByteArray& message);
    void warn(const char* english, const char* russian);
    int emblemIndex() const;

    TForm1& main_;
    AppState& state_;
    Connection& connection_;
    std::array<QString, kMaxListedGames> mapsNamesArray_;
    std::array<int32_t, kMaxListedGames> mapsNumsArray_{};
    bool dropNextMapPart_ = false; ///< the name part of this entry found no slot
};

} // namespace vorlan
