#pragma once

#include "messages.h"
#include "rules.h"

namespace vorlan {

class TForm1;
class Connection;
struct AppState;

// What the server's messages during a game do to the model and the window:
// the start, blocks and player records, growth steps, control texts and the
// end. The client keeps no rules of its own; it applies and draws.
class InGame
{
public:
    InGame(TForm1& main, AppState& state, Connection& connection);

    void stepNumber(const StepNumber& m);
    void gameStart(const GameStart& m);
    void cellUpdate(const CellUpdate& m);
    void playerUpdate(const PlayerUpdate& m);
    void youAre(const YouAre& m);
    void leaveIfMoreNotice(const LeaveIfMoreNotice& m);
    void roundToNotice(const RoundToNotice& m);
    void armyChangeNotice(const ArmyChangeNotice& m);
    void eventCame();
    void textMessage(const TextMessage& m);
    void gameOver();

    // Step timer interval for a game speed 0..4.
    static int stepInterval(int speed);

    // The control texts are known by their exact form only, so that no chat
    // line can pass for one. The minutes of "TIME LEFT:" and digits only, as
    // a whole number; null for any other text.
    static QString timeLeftMinutes(const QString& text);
    // The number of "voice:" and one to three digits; null for any other text.
    static QString voiceNumber(const QString& text);

private:
    // A time stamp for the game log: the game clock as "h:mm:ss".
    QString stamp() const;
    void refreshMonitorIfVisible();

    TForm1& main_;
    AppState& state_;
    Connection& connection_;
};

} // namespace vorlan
