#pragma once
// The vocabulary the client, the server and its computer players share: the
// game speeds and their step intervals, the lobby list's length, the control
// texts the server sends as chat lines, the variable that moves the port.
// One definition for both sides, so that they cannot drift apart.

#include <array>
#include <cstdint>
#include <QString>

namespace vorlan {

constexpr int kSlowestSpeed = 0;
constexpr int kHighestSpeed = 4;
/// The length of a step by game speed, slowest first.
constexpr std::array<int, kHighestSpeed + 1> kStepIntervalMs{1100, 700, 500, 350, 100};

/// What a step message orders, by its sub-code. Unscoped on purpose: the
/// message carries the code as a plain character.
enum StepCode : char
{
    kStepLeft = 'L',
    kStepRight = 'R',
    kStepUp = 'U',
    kStepDown = 'D',
    kStepCityLeft = '1', ///< to the nearest city on that side
    kStepCityRight = '2',
    kStepCityUp = '3',
    kStepCityDown = '4',
    kStepPutSoldiers = 'P', ///< into the block stood on
    kStepGetSoldiers = 'G', ///< 0: all there are
    kStepPutGold = 'p',
    kStepGetGold = 'g',
    kStepLeaveIfMore = 'i', ///< sets the Leave if more figure
    kStepRoundTo = 't',     ///< 0, 30 or 100
};

/// What a market message asks; a digit '0'..'7' instead gives soldiers and
/// gold to that player.
enum MarketCode : char
{
    kMarketCodeWithdraw = 'N',
    kMarketCodeBuy = 'B',
    kMarketCodeSell = 'S',
    kMarketCodeGiftTo0 = '0',
};

/// A player's standing market offer, as his record carries it.
enum MarketOffer : int32_t
{
    kOfferNone = 0,
    kOfferBuy = 1,
    kOfferSell = 2,
};

/// The game type as gameSettings and gameInfo carry it.
enum GameTypeCode : char
{
    kGameForTerritory = '0',
    kGameForGold = '1',
};

/// A game's length in minutes, as the master may set it.
constexpr int kMinGameMinutes = 1;
constexpr int kMaxGameMinutes = 120;
constexpr int kDefaultGameMinutes = 40;

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
