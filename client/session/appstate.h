#pragma once

#include "map.h"

#include <memory>
#include <QElapsedTimer>
#include <QString>

namespace vorlan {

// Connection and game state codes; only "not connected" and "connecting"
// are tested, the others record progress.
enum Status : int
{
    kNotConnected = 0,
    kConnecting = 10,
    kHelloSent = 15,
    kGamesRequested = 20,
    kJoinRequested = 21,
    kCreateRequested = 22,
    kMapReceived = 30,
    kGameStarted = 31,
    kOwnPlayerKnown = 40,
};

// The flags and globals that the windows share. One object, owned by the
// application, so that a test can build a fresh one.
struct AppState
{
    // Files
    QString dir;           ///< the program folder, current directory at start
    QString tempDir;       ///< where the downloaded map is written
    QString globalMapName; ///< the temporary map file
    QString appTitle;      ///< the application's title (task-bar text)

    // Connection and game
    int status = kNotConnected;
    bool gameStarted = false;
    bool master = false;
    bool newStepCanBeSent = true;
    int serverStep = -1;
    bool rus = false;
    bool Shifted = false;
    bool Ctrled = false;
    bool Alted = false;

    // The current model: the idle map outside a game, the game's map in one.
    // Null only while it is being replaced.
    std::unique_ptr<Map> map;

    // Game clock: seconds since the start of the current game, on a
    // monotonic clock so that it survives midnight.
    void restartClock(qint64 elapsedSeconds = 0)
    {
        clock_.start();
        clockOffsetMs_ = elapsedSeconds * 1000;
    }
    qint64 elapsedSeconds() const
    {
        return clock_.isValid() ? (clock_.elapsed() + clockOffsetMs_) / 1000 : 0;
    }

private:
    QElapsedTimer clock_;
    qint64 clockOffsetMs_ = 0;
};

// "h:mm:ss" for a time stamp.
QString formatClock(qint64 seconds);

} // namespace vorlan
