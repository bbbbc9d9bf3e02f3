#pragma once
// The vocabulary the client, the server and its computer players share: the
// game speeds and their step intervals, the lobby list's length, the control
// texts the server sends as chat lines, the variable that moves the port.
// One definition for both sides, so that they cannot drift apart.

#include <array>
#include <QString>

namespace vorlan {

constexpr int kSlowestSpeed = 0;
constexpr int kHighestSpeed = 4;
/// The length of a step by game speed, slowest first.
constexpr std::array<int, kHighestSpeed + 1> kStepIntervalMs{1100, 700, 500, 350, 100};

constexpr int kMaxListedGames = 20; ///< games one list answer names; the client keeps no more

/// Overrides the port of the game server, for the client and the server.
constexpr const char* kPortVariable = "VORLAN_PORT";

// Control texts: the server sends them as chat lines and clients act on
// their exact form, so no player may send a line that could pass for one.
inline const QString kTimeLeftText = QStringLiteral("TIME LEFT:"); ///< then the minutes left
inline const QString kPausedText = QStringLiteral("GAME PAUSED");
inline const QString kUnpausedText = QStringLiteral("GAME UNPAUSED");
inline const QString kSyncedText =
    QStringLiteral("Now you received all changes. You can start playing.");
inline const QString kVoicePrefix = QStringLiteral("voice:"); ///< then the sound's number
constexpr qsizetype kVoiceDigits = 3;                         ///< at most, at least one

} // namespace vorlan
