#pragma once
// The decoded contents of every message that carries data. The receive
// assemblers hand these to their handlers; the server's encoders take them.
// Numbers are passed on as they came: range checks belong to the handlers.

#include <cstdint>
#include <QByteArray>
#include <QString>

namespace vorlan {

// ---- Server to client ------------------------------------------------------

struct StepNumber
{
    int32_t step = 0;
    bool operator==(const StepNumber&) const = default;
};

struct MapData
{
    QByteArray file; ///< the map file, at most kMaxMapDataBytes
    bool operator==(const MapData&) const = default;
};

struct CellUpdate
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t army = 0;
    int32_t gold = 0;
    int32_t kind = 0;
    bool operator==(const CellUpdate&) const = default;
};

// gameEntry is one message on the wire; the client receives it in two parts,
// the name as soon as it is complete, then the map part.
struct GameEntry
{
    QString gameName;
    QString mapName;
    int32_t gameNumber = 0;
    bool operator==(const GameEntry&) const = default;
};

struct GameEntryName
{
    QString gameName;
    bool operator==(const GameEntryName&) const = default;
};

struct GameEntryMap
{
    QString mapName;
    int32_t gameNumber = 0;
    bool operator==(const GameEntryMap&) const = default;
};

struct LeaveIfMoreNotice
{
    int32_t value = 0;
    bool operator==(const LeaveIfMoreNotice&) const = default;
};

struct YouAre
{
    int32_t index = 0; ///< the client's own player index
    bool operator==(const YouAre&) const = default;
};

// Fields in wire order (the name sits between marketAmount and armyChange).
struct PlayerUpdate
{
    int32_t player = 0;
    int32_t army = 0;
    int32_t gold = 0;
    int32_t cityArmy = 0;
    int32_t cityGold = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t killed = 0;
    int32_t marketOffer = 0;
    int32_t marketAmount = 0;
    QString name;
    int32_t armyChange = 0;
    int32_t goldChange = 0;
    bool operator==(const PlayerUpdate&) const = default;
};

struct MapEntry
{
    QString mapName;
    bool operator==(const MapEntry&) const = default;
};

struct GameInfo
{
    int32_t elapsedSeconds = 0;
    char gameType = '0'; ///< '0' territory, '1' gold; anything else as it came
    int32_t minutes = 0;
    bool operator==(const GameInfo&) const = default;
};

struct RoundToNotice
{
    int32_t value = 0;
    bool operator==(const RoundToNotice&) const = default;
};

struct GameStart
{
    int32_t speed = 0; ///< 0..4 when well-behaved
    bool operator==(const GameStart&) const = default;
};

struct PlayerJoined
{
    QString name;
    bool operator==(const PlayerJoined&) const = default;
};

struct TextMessage
{
    QString text;
    bool operator==(const TextMessage&) const = default;
};

struct ArmyChangeNotice
{
    int32_t player = 0;
    int32_t change = 0;
    bool operator==(const ArmyChangeNotice&) const = default;
};

// ---- Client to server ------------------------------------------------------

struct JoinGame
{
    int32_t gameNumber = 0; ///< the client sends only the low byte
    QString playerName;
    int32_t emblem = 0;
    bool operator==(const JoinGame&) const = default;
};

struct CreateGame
{
    QString gameName;
    QString mapName;
    QString playerName;
    int32_t emblem = 0;
    bool operator==(const CreateGame&) const = default;
};

struct StartGame
{
    int32_t speed = 0;
    bool operator==(const StartGame&) const = default;
};

struct GameSettings
{
    char gameType = '0'; ///< '0' territory, '1' gold
    int32_t minutes = 0;
    bool operator==(const GameSettings&) const = default;
};

struct Step
{
    char subCode = 0; ///< a StepCode (rules.h) or a bot's
    int32_t argument = 0;
    bool operator==(const Step&) const = default;
};

struct Chat
{
    int32_t recipient = -1; ///< -1 everybody, else a player index
    QString text;
    bool operator==(const Chat&) const = default;
};

struct Market
{
    char operation = 'N'; ///< 'N' none, 'B' buy, 'S' sell, '0'..'7' gift to that player
    int32_t quantity = 0;
    int32_t price = 0;
    bool operator==(const Market&) const = default;
};

} // namespace vorlan
