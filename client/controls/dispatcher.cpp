#include "dispatcher.h"

#include "appstate.h"
#include "bindings.h"
#include "chat.h"
#include "datafiles.h"
#include "keys.h"
#include "options/market.h"
#include "orders.h"
#include "view/mainwindow.h"
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

// One key press and what it found when it arrived.
struct Dispatcher::Press
{
    KeyPress key;
    const KeyBindings& bindings;
    QWidget* focus;
    bool inGame;
    bool marketOpen;

    bool fires(const CommandInfo& c) const { return bindings.fires(c.hotKey(), key, focus); }
    bool noModifier() const { return !key.shift && !key.ctrl && !key.alt; }
};

bool Dispatcher::onKeyDown(QKeyEvent& event)
{
    const KeyPress key = KeyPress::fromEvent(event);
    // Alt combinations and F10 never reach the commands.
    if (key.isSystemKey())
        return false;
    if (bossMode_)
        takeOffDisguise();
    state_.Shifted = key.shift;
    state_.Ctrled = key.ctrl;
    state_.Alted = key.alt;

    const Windows& w = main_.windows();
    const Press p{key, w.keys.bindings(), QApplication::focusWidget(), bool(state_.gameStarted),
                  w.market.isVisible()};
    bool handled = false;

    // Not while the keys are being redefined.
    if (!w.keys.isVisible()) {
        enterOrEscape(p);
        if (!runCommands(Scope::Anytime, p, handled))
            return true;
        switchWindows(p);
        if (p.inGame && !runCommands(Scope::InGame, p, handled))
            return true;
        handled |= walkMenuBeforeGame(p);
        if (p.inGame && main_.focusButton->hasFocus()) {
            handled |= moveOrCityStep(p);
            // Every key in command mode during a game drops a pending entry.
            main_.session().clearEntry();
            if (!runCommands(Scope::CommandMode, p, handled))
                return true;
        }
    }
    // Always. The commands that open an entry need a game, where the entries
    // are shown.
    if (!runCommands(Scope::Always, p, handled))
        return true;
    return handled;
}

bool Dispatcher::runCommands(Scope scope, const Press& p, bool& handled)
{
    // The two keys of one command run it once when both match.
    void (*lastRun)(CommandTarget&) = nullptr;
    for (const CommandInfo& c : commandTable()) {
        const bool inScope =
            c.scope == scope || (scope == Scope::Always && c.scope == Scope::AlwaysButNeedsGame);
        if (!inScope || !c.action || !p.fires(c))
            continue;
        if (c.scope == Scope::AlwaysButNeedsGame && !p.inGame)
            continue;
        if (c.action == lastRun)
            continue;
        c.action(*target_);
        lastRun = c.action;
        if (c.handling == Handling::Ends)
            return false;
        handled |= c.handling == Handling::Handled;
    }
    return true;
}

// Enter runs the highlighted menu item in command mode; elsewhere it closes
// the monitor and, with nothing being typed, returns to command mode during
// a game. Esc returns to command mode during a game. Neither is handled.
void Dispatcher::enterOrEscape(const Press& p)
{
    QWidget* focusButton = main_.focusButton;
    const bool idle = main_.session().entryMode == kEntryNone && main_.chat().chatMode == kChatNone;
    if (p.key.vk == vk::Return) {
        if (focusButton->hasFocus()) {
            main_.runMenuAction(main_.menu().menuIndex());
        } else {
            TForm3& monitor = main_.windows().monitor;
            if (monitor.isVisible())
                monitor.hide();
            if (idle && p.inGame && !p.marketOpen)
                focusButton->setFocus();
        }
    }
    if (p.key.vk == vk::Escape && !focusButton->hasFocus() && idle && p.inGame && !p.marketOpen)
        focusButton->setFocus();
}

// Ctrl+Tab switches between the main window and the monitor.
void Dispatcher::switchWindows(const Press& p)
{
    TForm3& monitor = main_.windows().monitor;
    if (p.key.vk != vk::Tab || !p.key.ctrl || p.key.shift)
        return;
    if (main_.isVisible() && monitor.isActiveWindow())
        main_.activateWindow();
    else if (monitor.isVisible() && main_.isActiveWindow())
        monitor.activateWindow();
}

// Before a game the plain Up and Down arrows walk the menu.
bool Dispatcher::walkMenuBeforeGame(const Press& p)
{
    if (p.inGame || !main_.focusButton->hasFocus() || !p.noModifier())
        return false;
    if (p.key.vk == vk::Up)
        main_.runMenuAction(kMenuPrevious);
    else if (p.key.vk == vk::Down)
        main_.runMenuAction(kMenuNext);
    else
        return false;
    return true;
}

// During a game the arrows move the player, with Shift from city to city;
// the key is taken whether or not an order went out.
bool Dispatcher::moveOrCityStep(const Press& p)
{
    int dx = 0, dy = 0;
    if (p.key.vk == vk::Left)
        dx = -1;
    else if (p.key.vk == vk::Right)
        dx = 1;
    else if (p.key.vk == vk::Up)
        dy = -1;
    else if (p.key.vk == vk::Down)
        dy = 1;
    if (dx == 0 && dy == 0)
        return false;
    if (p.noModifier()) {
        main_.session().move(dx, dy);
        return true;
    }
    if (p.key.shift && !p.key.ctrl) {
        main_.session().cityStep(dx, dy);
        return true;
    }
    return false;
}

void Dispatcher::runMenuAction(int code)
{
    main_.runMenuAction(code);
}

void Dispatcher::openChat(int chatMode)
{
    main_.chat().openChat(ChatMode(chatMode));
}

void Dispatcher::openEntry(int entryMode)
{
    main_.orders().openEntry(EntryMode(entryMode));
}

void Dispatcher::getAllSoldiers()
{
    main_.orders().getAllSoldiers();
}

void Dispatcher::sendVoice(int n)
{
    main_.sendVoice(n);
}

void Dispatcher::startStopBot()
{
    main_.startStopBot();
}

void Dispatcher::pause()
{
    main_.pauseButtonClick();
}

void Dispatcher::toggleGarrisons()
{
    if (Map* map = state_.map.get()) {
        map->showArmyLevels = map->showArmyLevels ? 0 : 1;
        main_.mapPanel->paintMap();
    }
}

} // namespace vorlan
