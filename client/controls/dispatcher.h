#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWindow;

namespace vorlan {

class TForm1;
struct AppState;

// Virtual-key codes of the keys the dispatcher names directly.
enum VirtualKey : int
{
    kVkTab = 9,
    kVkReturn = 13,
    kVkEscape = 27,
    kVkLeft = 37,
    kVkUp = 38,
    kVkRight = 39,
    kVkDown = 40,
};

// The named keys of a key event as virtual-key codes; 0 for others.
int namedVirtualKey(const QKeyEvent& event);

// The one application-wide filter (`onAppMessage`): it sees every key press
// of every window before delivery and runs the keyboard commands. Qt offers
// one press to the filter several times (the window, the focus widget, each
// parent it travels up to); each press is acted on once.
class Dispatcher : public QObject
{
    Q_OBJECT

public:
    Dispatcher(TForm1& main, AppState& state, QObject* parent = nullptr);
    ~Dispatcher() override;

    // Runs the commands for one key press; returns true when it is handled
    // (delivery stops there).
    bool onKeyDown(QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isRepeatDelivery(QObject* watched, const QEvent* event) const;

    TForm1& main_;
    AppState& state_;
    // The press being delivered and where it was last offered, to tell a new
    // press from the same press travelling on.
    const QEvent* lastEvent_ = nullptr;
    QPointer<QObject> lastReceiver_;
    bool lastHandled_ = false;
};

} // namespace vorlan
