// The main window's calls into the other windows: options (sound, music,
// bot library), monitor, results and first help.
#include "bothost.h"
#include "controls/chat.h"
#include "mainwindow.h"
#include "options/market.h"
#include "options/optionsdialog.h"
#include "session.h"
#include "view/firsthelp.h"
#include "view/language.h"
#include "view/mappanel.h"
#include "view/monitor.h"
#include "view/results.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace vorlan {

void TForm1::linkWindows()
{
    // The monitor follows every full repaint of the map, and closing it
    // hands the keyboard back to command mode.
    connect(mapPanel, &MapPanel::mapRepainted, &windows_.monitor, &TForm3::refreshIfVisible);
    connect(&windows_.monitor, &TForm3::hidden, focusButton, [this] { focusButton->setFocus(); });
    connect(&windows_.options, &TOptions::blockSizeChanged, this, [this](int size) {
        if (!state_.map)
            return;
        state_.map->blockWidth = state_.map->blockHeight = size;
        mapPanel->paintMap();
    });
    connect(&windows_.options, &TOptions::botLibraryReleaseRequested, this,
            [this](const QString& fileName) { bot_->releaseIfRenamed(fileName); });
}

bool TForm1::waveEnabled() const
{
    return windows_.options.sound().waveEnabled();
}

void TForm1::pauseMusicForMap()
{
    pauseMusic();
}

void TForm1::startMusic()
{
    windows_.options.sound().startMusic();
}

void TForm1::pauseMusic()
{
    windows_.options.sound().pauseMusic();
}

void TForm1::playEvent(Sound::Event event)
{
    windows_.options.sound().playEvent(event);
}

void TForm1::playWave(const QString& fileName)
{
    windows_.options.sound().playWave(fileName);
}

void TForm1::sendVoice(int n)
{
    TOptions& options = windows_.options;
    chat_->sendVoice(n, options.voiceIndex(n), options.voiceText(n));
    options.sound().playVoice(n);
}

void TForm1::refreshMonitorIfVisible()
{
    windows_.monitor.refreshIfVisible();
}

void TForm1::refreshTotalsForBot(Map& map)
{
    windows_.monitor.refreshMonitor(map, state_.rus);
}

void TForm1::showResults(const Map& finalMap, int gameType)
{
    // The window runs its own loop; it works on its own copy of the map.
    Map copy = finalMap;
    // The monitor's refresh comes first: it computes the places the table shows.
    windows_.monitor.refreshMonitor(copy, state_.rus);
    windows_.results.showResults(copy, gameType, state_.rus);
}

void TForm1::offerFirstHelp()
{
    windows_.firstHelp.offer(*yourName, &windows_.language, state_.rus);
}

void TForm1::runMarket()
{
    if (!state_.map)
        return;
    // The dialog reads the map before its own loop and never after.
    TForm6& dialog = windows_.market;
    if (dialog.runFor(*state_.map, state_.rus) != QDialog::Accepted)
        return;
    if (const auto order = dialog.order())
        session_->sendMarketOrder(order->operation, order->quantity, order->price);
}

void TForm1::startStopBot()
{
    const QString line =
        bot_->startStop(windows_.options.idiotAllowed(), windows_.options.idiotLibrary());
    if (!line.isEmpty())
        logGame(formatClock(state_.elapsedSeconds()) + QLatin1Char(' ') + line);
}

} // namespace vorlan
