// The main window's calls into the other windows: options (sound, music,
// bot library), monitor, results and first help.
#include "connection.h"
#include "controls/bothost.h"
#include "controls/chat.h"
#include "encoders.h"
#include "mainwindow.h"
#include "options/market.h"
#include "options/optionsdialog.h"
#include "rankings.h"
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

void TForm1::setWindows(const Windows& windows)
{
    const bool monitorIsNew = windows.monitor && windows.monitor != windows_.monitor;
    windows_ = windows;
    if (monitorIsNew) {
        // The monitor follows every full repaint of the map, and closing it
        // hands the keyboard back to command mode.
        connect(mapPanel, &MapPanel::mapRepainted, windows.monitor, &TForm3::refreshIfVisible);
        connect(windows.monitor, &TForm3::hidden, focusButton, [this] { focusButton->setFocus(); });
    }
    if (windows.options && windows.options != optionsLinked_) {
        optionsLinked_ = windows.options;
        connect(windows.options, &TOptions::blockSizeChanged, this, [this](int size) {
            if (!state_.map)
                return;
            state_.map->blockWidth = state_.map->blockHeight = size;
            mapPanel->paintMap();
        });
        connect(windows.options, &TOptions::botLibraryReleaseRequested, this,
                [this](const QString& fileName) { bot_->releaseIfRenamed(fileName); });
    }
}

bool TForm1::waveEnabled() const
{
    return windows_.options && windows_.options->sound().waveEnabled();
}

void TForm1::pauseMusicForMap()
{
    pauseMusic();
}

void TForm1::startMusic()
{
    if (windows_.options)
        windows_.options->sound().startMusic();
}

void TForm1::pauseMusic()
{
    if (windows_.options)
        windows_.options->sound().pauseMusic();
}

void TForm1::playEvent(Sound::Event event)
{
    if (windows_.options)
        windows_.options->sound().playEvent(event);
}

void TForm1::playWave(const QString& fileName)
{
    if (windows_.options)
        windows_.options->sound().playWave(fileName);
}

void TForm1::sendVoice(int n)
{
    if (!windows_.options)
        return;
    chat_->sendVoice(n, windows_.options->voiceIndex(n), windows_.options->voiceText(n));
    windows_.options->sound().playVoice(n);
}

void TForm1::refreshMonitorIfVisible()
{
    if (windows_.monitor)
        windows_.monitor->refreshIfVisible();
}

void TForm1::refreshTotalsForBot(Map& map)
{
    if (windows_.monitor)
        windows_.monitor->refreshMonitor(map, state_.rus);
    else
        refreshTotals(map);
}

void TForm1::showResults(const Map& finalMap)
{
    if (!windows_.results)
        return;
    // The window runs its own loop; it works on its own copy of the map.
    Map copy = finalMap;
    // The monitor's refresh comes first: it computes the places the table shows.
    if (windows_.monitor)
        windows_.monitor->refreshMonitor(copy, state_.rus);
    windows_.results->showResults(copy, gameType->currentIndex(), state_.rus);
}

void TForm1::offerFirstHelp()
{
    if (windows_.firstHelp)
        windows_.firstHelp->offer(*yourName, windows_.language, state_.rus);
}

void TForm1::runMarket()
{
    if (!windows_.market || !state_.map)
        return;
    // The dialog reads the map before its own loop and never after.
    if (windows_.market->runFor(*state_.map, state_.rus) != QDialog::Accepted)
        return;
    if (const auto order = windows_.market->order())
        sendStepGated(state_.newStepCanBeSent,
                      market(order->operation, order->quantity, order->price),
                      [this](const QByteArray& m) { ClientSocket1->write(m); });
}

void TForm1::startStopBot()
{
    const QString line = windows_.options ? bot_->startStop(windows_.options->idiotAllowed(),
                                                            windows_.options->idiotLibrary())
                                          : bot_->startStop(false, QString());
    if (!line.isEmpty())
        logGame(formatClock(state_.elapsedSeconds()) + QLatin1Char(' ') + line);
}

} // namespace vorlan
