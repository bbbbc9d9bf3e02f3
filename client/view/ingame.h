#pragma once

#include "session.h"

namespace vorlan {

class TForm1;

// The game as the main window shows it: the map panel, the status panel,
// the recipients grid and the game's clock, told by the session what changed.
class InGame final : public GameView
{
public:
    explicit InGame(TForm1& main) : main_(main) {}

    void gameStarted(int speed) override;
    void ownPlayer(int index) override;
    void blockChanged(int x, int y) override;
    void cursorChanged() override;
    void playersChanged() override;
    void totalsChanged() override;
    void showHud(const Hud& hud) override;
    void armyChanged(int player, int32_t change) override;
    void timeLeft(const QString& minutes) override;
    void pausedChanged(bool paused) override;
    void synced() override;
    bool voice(const QString& number) override;
    void gameOver(const Map& finalMap, int gameType) override;

private:
    Session& session() const;

    TForm1& main_;
};

} // namespace vorlan
