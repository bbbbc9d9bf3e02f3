#include "dispatcher.h"

#include "net/appstate.h"
#include "net/mainwindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

namespace vorlan {

int namedVirtualKey(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kVkReturn;
    case Qt::Key_Escape:
        return kVkEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kVkTab;
    case Qt::Key_Left:
        return kVkLeft;
    case Qt::Key_Up:
        return kVkUp;
    case Qt::Key_Right:
        return kVkRight;
    case Qt::Key_Down:
        return kVkDown;
    default:
        return 0;
    }
}

Dispatcher::Dispatcher(TForm1& main, AppState& state, QObject* parent)
    : QObject(parent), main_(main), state_(state)
{
    qApp->installEventFilter(this);
}

Dispatcher::~Dispatcher()
{
    qApp->removeEventFilter(this);
}

bool Dispatcher::isRepeatDelivery(QObject* watched, const QEvent* event) const
{
    if (event != lastEvent_ || !lastReceiver_)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false; // a press always starts at its window
    if (auto* window = qobject_cast<QWindow*>(lastReceiver_.data()))
        return widget->window()->windowHandle() == window;
    auto* last = qobject_cast<QWidget*>(lastReceiver_.data());
    return last && last->parentWidget() == widget;
}

bool Dispatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    if (isRepeatDelivery(watched, event)) {
        lastReceiver_ = watched;
        return lastHandled_;
    }
    QWidget* focusBefore = QApplication::focusWidget();
    bool handled = onKeyDown(*static_cast<QKeyEvent*>(event));
    // A command that moved the focus takes the key with it, so that the
    // newly focused control does not receive it as well.
    if (QApplication::focusWidget() != focusBefore)
        handled = true;
    // Remembered only now: a command may have opened a modal window whose
    // own key presses passed through here in the meantime.
    lastEvent_ = event;
    lastReceiver_ = watched;
    lastHandled_ = handled;
    return handled;
}

bool Dispatcher::onKeyDown(QKeyEvent& event)
{
    const int vk = namedVirtualKey(event);
    const Qt::KeyboardModifiers mods =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    bool handled = false;
    QWidget* focusButton = main_.focusButton;

    // Enter runs the highlighted menu item in command mode.
    if (vk == kVkReturn && focusButton->hasFocus())
        main_.runMenuAction(main_.menu().menuIndex());

    // Before a game the plain arrows walk the menu.
    if (!state_.gameStarted && focusButton->hasFocus() && mods == Qt::NoModifier) {
        if (vk == kVkUp) {
            main_.runMenuAction(kMenuPrevious);
            handled = true;
        } else if (vk == kVkDown) {
            main_.runMenuAction(kMenuNext);
            handled = true;
        }
    }
    return handled;
}

} // namespace vorlan
