#pragma once

#include "session.h"

namespace vorlan {

class TForm1;

// The lobby and the waiting room as the main window shows them: the games
// and maps a server offers, the players who joined, and the fields the
// player fills in to join, create or start a game.
class Lobby final : public LobbyView
{
public:
    explicit Lobby(TForm1& main) : main_(main) {}

    // Menu actions, with what the player filled in.
    void refresh() { session().refresh(); }
    void join();
    void create();
    void start();

    void gamesCleared() override;
    void gameListed(const QString& gameName) override;
    void mapListed(const QString& mapName) override;
    void playerJoined(const QString& name) override;
    void mapComing() override;
    void waitingRoom(bool master) override;
    void gameSettings(int gameType, int minutes) override;
    int blockSize() const override;

    const std::array<QString, kMaxListedGames>& mapsNamesArray() const
    {
        return session().mapsNamesArray();
    }
    const std::array<int32_t, kMaxListedGames>& mapsNumsArray() const
    {
        return session().mapsNumsArray();
    }

private:
    int emblemIndex() const;

    Session& session() const;

    TForm1& main_;
};

} // namespace vorlan
