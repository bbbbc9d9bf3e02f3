#include "encoders.h"

#include "wire.h"

#include <QtEndian>

namespace vorlan {

namespace {

// Builds one message field by field, starting with the code from the table.
class Writer
{
public:
    explicit Writer(const MessageSpec& m, qsizetype expected = 0)
    {
        bytes_.reserve(minimumSize(m) + expected);
        if (m.extraZero)
            bytes_.append('\0');
        bytes_.append('\0');
        bytes_.append(m.code);
    }

    Writer& int32(int32_t v)
    {
        char be[4];
        qToBigEndian(v, be);
        bytes_.append(be, 4);
        return *this;
    }

    Writer& byteInt(int32_t v)
    {
        bytes_.append(3, '\0');
        bytes_.append(static_cast<char>(v & 0xFF));
        return *this;
    }

    Writer& zeroChar(char c)
    {
        bytes_.append('\0');
        bytes_.append(c);
        return *this;
    }

    Writer& byte(char c)
    {
        bytes_.append(c);
        return *this;
    }

    Writer& string(const QString& text, int maxBytes)
    {
        return rawString(toWireText(text, maxBytes));
    }

    Writer& rawString(const QByteArray& text)
    {
        bytes_.append('\0');
        bytes_.append(static_cast<char>(text.size()));
        bytes_.append(text);
        return *this;
    }

    Writer& blob(const QByteArray& data)
    {
        int32(static_cast<int32_t>(data.size()));
        bytes_.append(data);
        return *this;
    }

    QByteArray done() { return std::move(bytes_); }

private:
    QByteArray bytes_;
};

Writer out(Outbound m, qsizetype expected = 0)
{
    return Writer(spec(m), expected);
}

Writer in(Inbound m, qsizetype expected = 0)
{
    return Writer(spec(m), expected);
}

constexpr int kOut = kMaxOutboundStringBytes;
constexpr int kIn = kMaxInboundStringBytes;

} // namespace

QByteArray hello()
{
    return out(Outbound::hello).done();
}

QByteArray listGamesRequest()
{
    return out(Outbound::listGamesRequest).done();
}

QByteArray joinGame(int32_t gameNumber, const QString& playerName, int32_t emblem)
{
    return out(Outbound::joinGame, playerName.size())
        .byteInt(gameNumber)
        .string(playerName, kOut)
        .int32(emblem)
        .done();
}

QByteArray createGame(const QString& gameName, const QString& mapName, const QString& playerName,
                      int32_t emblem)
{
    return out(Outbound::createGame, gameName.size() + mapName.size() + playerName.size())
        .string(gameName, kOut)
        .string(mapName, kOut)
        .string(playerName, kOut)
        .int32(emblem)
        .done();
}

QByteArray mapReady()
{
    return out(Outbound::mapReady).done();
}

QByteArray startGame(int32_t speed)
{
    return out(Outbound::startGame).byteInt(speed).done();
}

QByteArray gameSettings(int gameTypeIndex, int32_t minutes)
{
    return out(Outbound::gameSettings)
        .zeroChar(static_cast<char>('0' + gameTypeIndex))
        .int32(minutes)
        .done();
}

QByteArray startedAck()
{
    return out(Outbound::startedAck).byte('\0').byte('Z').done();
}

QByteArray step(char subCode, int32_t argument)
{
    return out(Outbound::step).zeroChar(subCode).int32(argument).done();
}

QByteArray chat(int32_t recipient, const QString& text)
{
    return out(Outbound::chat, text.size()).int32(recipient).string(text, kMaxChatTextBytes).done();
}

QByteArray market(char operation, int32_t quantity, int32_t price)
{
    return out(Outbound::market).zeroChar(operation).int32(quantity).int32(price).done();
}

QByteArray pauseToggle()
{
    return out(Outbound::pauseToggle).done();
}

namespace toClient {

QByteArray stepNumber(const StepNumber& m)
{
    return in(Inbound::stepNumber).int32(m.step).done();
}

QByteArray mapBegin()
{
    return in(Inbound::mapBegin).done();
}

QByteArray mapData(const MapData& m)
{
    if (m.file.size() > kMaxMapDataBytes)
        return {};
    return in(Inbound::mapData, m.file.size()).blob(m.file).done();
}

QByteArray cellUpdate(const CellUpdate& m)
{
    return in(Inbound::cellUpdate)
        .int32(m.x)
        .int32(m.y)
        .int32(m.army)
        .int32(m.gold)
        .int32(m.kind)
        .done();
}

QByteArray listEnd()
{
    return in(Inbound::listEnd).done();
}

QByteArray gameOver()
{
    return in(Inbound::gameOver).done();
}

QByteArray gameEntry(const GameEntry& m)
{
    return in(Inbound::gameEntry, m.gameName.size() + m.mapName.size())
        .string(m.gameName, kIn)
        .string(m.mapName, kIn)
        .int32(m.gameNumber)
        .done();
}

QByteArray leaveIfMoreNotice(const LeaveIfMoreNotice& m)
{
    return in(Inbound::leaveIfMoreNotice).int32(m.value).done();
}

QByteArray youAre(const YouAre& m)
{
    return in(Inbound::youAre).int32(m.index).done();
}

QByteArray playerUpdate(const PlayerUpdate& m)
{
    return in(Inbound::playerUpdate, m.name.size())
        .int32(m.player)
        .int32(m.army)
        .int32(m.gold)
        .int32(m.cityArmy)
        .int32(m.cityGold)
        .int32(m.x)
        .int32(m.y)
        .int32(m.killed)
        .int32(m.marketOffer)
        .int32(m.marketAmount)
        .string(m.name, kIn)
        .int32(m.armyChange)
        .int32(m.goldChange)
        .done();
}

QByteArray mapEntry(const MapEntry& m)
{
    return in(Inbound::mapEntry, m.mapName.size()).string(m.mapName, kIn).done();
}

QByteArray gameInfo(const GameInfo& m)
{
    return in(Inbound::gameInfo)
        .int32(m.elapsedSeconds)
        .zeroChar(m.gameType)
        .int32(m.minutes)
        .done();
}

QByteArray eventCame()
{
    return in(Inbound::eventCame).done();
}

QByteArray roundToNotice(const RoundToNotice& m)
{
    return in(Inbound::roundToNotice).int32(m.value).done();
}

QByteArray ignoredMessage()
{
    return in(Inbound::ignoredMessage).done();
}

QByteArray gameStart(const GameStart& m)
{
    return in(Inbound::gameStart).int32(m.speed).done();
}

QByteArray playerJoined(const PlayerJoined& m)
{
    return in(Inbound::playerJoined, m.name.size()).string(m.name, kIn).done();
}

QByteArray textMessage(const TextMessage& m)
{
    return in(Inbound::textMessage, m.text.size()).string(m.text, kIn).done();
}

QByteArray armyChangeNotice(const ArmyChangeNotice& m)
{
    return in(Inbound::armyChangeNotice).int32(m.player).int32(m.change).done();
}

} // namespace toClient

} // namespace vorlan
