#pragma once

#include "controls/commands.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class QKeyEvent;
class QWidget;
class QWindow;

namespace vorlan {

class TForm1;
struct AppState;

// The one application-wide filter (`onAppMessage`): it sees every key press
// of every window before delivery and runs the keyboard commands. Qt offers
// one press to the filter several times (the window, the focus widget, each
// parent it travels up to); each press is acted on once.
class Dispatcher : public QObject, private CommandTarget
{
    Q_OBJECT

public:
    Dispatcher(TForm1& main, AppState& state, QObject* parent = nullptr);
    ~Dispatcher() override;

    // Runs the commands for one key press; returns true when it is handled
    // (delivery stops there).
    bool onKeyDown(QKeyEvent& event);

    // The boss key's disguise: every visible window minimised, with another
    // title and icon; the next key press or mouse movement in any window
    // gives each window its own caption and icon back.
    bool bossMode() const { return bossMode_; }

    // Where the commands of the command table act: the main window, unless
    // another target is given (null gives the main window back).
    void setCommandTarget(CommandTarget* target) { target_ = target ? target : this; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Press;

    bool isRepeatDelivery(QObject* watched, const QEvent* event) const;
    void takeOffDisguise();

    // The fixed keys, each step of its own.
    void enterOrEscape(const Press& p);
    void switchWindows(const Press& p);
    bool walkMenuBeforeGame(const Press& p);
    bool moveOrCityStep(const Press& p);
    // Runs every command of the scope that the press fires, in table order.
    // Returns false when one of them ends the press.
    bool runCommands(Scope scope, const Press& p, bool& handled);

    // The commands' actions on the main window.
    void runMenuAction(int code) override;
    void openChat(int chatMode) override;
    void openEntry(int entryMode) override;
    void getAllSoldiers() override;
    void sendVoice(int n) override;
    void startStopBot() override;
    void pause() override;
    void toggleGarrisons() override;
    void putOnDisguise() override;

    TForm1& main_;
    AppState& state_;
    CommandTarget* target_ = this;
    // The press being delivered and where it was last offered, to tell a new
    // press from the same press travelling on.
    const QEvent* lastEvent_ = nullptr;
    QPointer<QObject> lastReceiver_;
    bool lastHandled_ = false;
    bool bossMode_ = false;
    // Each disguised window and its own caption, given back on the way out.
    struct Disguised
    {
        QPointer<QWidget> window;
        QString caption;
    };
    std::vector<Disguised> disguised_;
};

} // namespace vorlan
