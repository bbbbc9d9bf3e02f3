#pragma once

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
class Dispatcher : public QObject
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isRepeatDelivery(QObject* watched, const QEvent* event) const;
    void putOnDisguise();
    void takeOffDisguise();

    TForm1& main_;
    AppState& state_;
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
