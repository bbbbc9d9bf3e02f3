#include "dispatcher.h"

#include "bindings.h"
#include "chat.h"
#include "keys.h"
#include "net/appstate.h"
#include "net/datafiles.h"
#include "net/mainwindow.h"
#include "options/market.h"
#include "orders.h"
#include "view/mappanel.h"
#include "view/monitor.h"

#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace vorlan {

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
    if (event->type() == QEvent::MouseMove && bossMode_)
        takeOffDisguise();
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

void Dispatcher::putOnDisguise()
{
    static const QString kDisguise = QStringLiteral("{C:} - Far");
    bossMode_ = true;
    disguised_.clear();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        if (w->isVisible() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop)
            disguised_.push_back({w, w->windowTitle()});
    }
    state_.appTitle = kDisguise;
    QApplication::setWindowIcon(QIcon(dataFile(QStringLiteral("far.ico"))));
    for (const Disguised& d : disguised_) {
        d.window->setWindowTitle(kDisguise);
        d.window->showMinimized();
    }
}

void Dispatcher::takeOffDisguise()
{
    bossMode_ = false;
    QApplication::setWindowIcon(QIcon(dataFile(QStringLiteral("vorlan.ico"))));
    state_.appTitle = state_.rus ? QStringLiteral("Ворлан !") : QStringLiteral("The Vorlane");
    for (const Disguised& d : std::exchange(disguised_, {}))
        if (d.window)
            d.window->setWindowTitle(d.caption);
}

bool Dispatcher::onKeyDown(QKeyEvent& event)
{
    const KeyPress press = KeyPress::fromEvent(event);
    // Alt combinations and F10 never reach the commands.
    if (press.isSystemKey())
        return false;
    if (bossMode_)
        takeOffDisguise();
    state_.Shifted = press.shift;
    state_.Ctrled = press.ctrl;
    state_.Alted = press.alt;
    const int vk = press.vk;
    const bool noModifier = !press.shift && !press.ctrl && !press.alt;

    const Windows& w = main_.windows();
    static const KeyBindings defaults;
    const KeyBindings& bindings = w.keys ? w.keys->bindings() : defaults;
    QWidget* focus = QApplication::focusWidget();
    auto pressed = [&](int n) { return bindings.fires(n, press, focus); };

    bool handled = false;
    QWidget* focusButton = main_.focusButton;
    auto commandMode = [&] { return focusButton->hasFocus(); };
    Orders& orders = main_.orders();
    ChatControls& chat = main_.chat();
    auto idle = [&] { return orders.entryMode == kEntryNone && chat.chatMode == kChatNone; };
    const bool marketOpen = w.market && w.market->isVisible();
    TForm3* monitor = w.monitor;
    const bool inGame = state_.gameStarted;

    // Group A: not while the keys are being redefined.
    if (!(w.keys && w.keys->isVisible())) {
        // Enter runs the highlighted menu item in command mode; elsewhere it
        // closes the monitor and, with nothing being typed, returns to
        // command mode during a game.
        if (vk == vk::Return) {
            if (commandMode()) {
                main_.runMenuAction(main_.menu().menuIndex());
            } else {
                if (monitor && monitor->isVisible())
                    monitor->hide();
                if (idle() && inGame && !marketOpen)
                    focusButton->setFocus();
            }
        }
        // Esc returns to command mode during a game.
        if (vk == vk::Escape && !commandMode() && idle() && inGame && !marketOpen)
            focusButton->setFocus();
        if (pressed(13)) {
            putOnDisguise();
            return true;
        }
        if (pressed(29) || pressed(30)) {
            main_.runMenuAction(kMenuNext);
            handled = true;
        }
        if (pressed(27) || pressed(28)) {
            main_.runMenuAction(kMenuPrevious);
            handled = true;
        }
        if (pressed(31)) {
            main_.pauseButtonClick();
            handled = true;
        }
        // Ctrl+Tab switches between the main window and the monitor.
        if (vk == vk::Tab && press.ctrl && !press.shift && monitor) {
            if (main_.isVisible() && monitor->isActiveWindow())
                main_.activateWindow();
            else if (monitor->isVisible() && main_.isActiveWindow())
                monitor->activateWindow();
        }
        if (inGame && pressed(14)) {
            main_.runMenuAction(kMenuMonitor);
            handled = true;
        }
        // Before a game the plain arrows walk the menu.
        if (!inGame && commandMode() && noModifier) {
            if (vk == vk::Up) {
                main_.runMenuAction(kMenuPrevious);
                handled = true;
            } else if (vk == vk::Down) {
                main_.runMenuAction(kMenuNext);
                handled = true;
            }
        }
        if (inGame && commandMode()) {
            // The arrows move the player, with Shift from city to city.
            int dx = 0, dy = 0;
            if (vk == vk::Left)
                dx = -1;
            else if (vk == vk::Right)
                dx = 1;
            else if (vk == vk::Up)
                dy = -1;
            else if (vk == vk::Down)
                dy = 1;
            if (dx != 0 || dy != 0) {
                if (noModifier) {
                    orders.move(dx, dy);
                    handled = true;
                } else if (press.shift && !press.ctrl) {
                    orders.cityStep(dx, dy);
                    handled = true;
                }
            }
            orders.clearEntry();
            static const struct
            {
                int binding, action;
            } menuKeys[] = {{17, kMenuMarket}, {12, kMenuSendMessage}, {1, kMenuPutSoldiers},
                            {2, kMenuPutAll},  {4, kMenuPutGold},      {8, kMenuAutoLimit},
                            {9, kMenuRoundTo}};
            if (pressed(10)) {
                chat.openChat(kChatAllies);
                handled = true;
            }
            for (const auto& k : menuKeys) {
                if (pressed(k.binding)) {
                    main_.runMenuAction(k.action);
                    handled = true;
                }
            }
        }
    }

    // Group B: always. The commands that open an entry need a game, where
    // the entries are shown.
    for (int n = 1; n <= 8; ++n)
        if (pressed(18 + n))
            main_.sendVoice(n);
    if (pressed(3) && inGame) {
        orders.openEntry(kEntryDefinedValue);
        handled = true;
    }
    if (pressed(16)) {
        main_.startStopBot();
        handled = true;
    }
    if (pressed(11) && inGame) {
        chat.openChat(kChatEnemies);
        handled = true;
    }
    if (pressed(5) && inGame) {
        main_.runMenuAction(kMenuGetSoldiers);
        handled = true;
    }
    if (pressed(6)) {
        orders.getAllSoldiers();
        handled = true;
    }
    if (pressed(7) && inGame) {
        main_.runMenuAction(kMenuGetGold);
        handled = true;
    }
    if (pressed(15)) {
        if (Map* map = state_.map.get()) {
            map->showArmyLevels = map->showArmyLevels ? 0 : 1;
            main_.mapPanel->paintMap();
        }
        handled = true;
    }
    return handled;
}

} // namespace vorlan
