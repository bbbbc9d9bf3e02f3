#pragma once
// Helpers of the wire protocol tests: byte literals, handlers that record what
// they are given, and sample messages of every kind.

#include "protocol.h"

#include <functional>
#include <ostream>
#include <QByteArray>
#include <QString>
#include <random>
#include <string>
#include <vector>

namespace wiretest {

using namespace vorlan;

// "00 4A 00 07" -> bytes. Spaces and other non-hex characters are skipped.
inline QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

inline std::string str(const QString& s)
{
    return s.toStdString();
}

// Records every call of the client's handler as one line, for comparing runs.
// onEvent runs after each line is recorded, so a test can act from inside a
// handler (stop, reset, feed again).
class Recorder : public ProtocolHandler
{
public:
    std::vector<std::string> events;
    std::vector<QString> violations;
    std::vector<PlayerUpdate> players;
    std::vector<MapData> maps;
    std::function<void(const std::string&)> onEvent;

    void stepNumber(const StepNumber& m) override { add("stepNumber " + n(m.step)); }
    void mapBegin() override { add("mapBegin"); }
    void mapData(const MapData& m) override
    {
        maps.push_back(m);
        add("mapData " + n(int(m.file.size())) + " " + m.file.toHex().left(16).toStdString());
    }
    void cellUpdate(const CellUpdate& m) override
    {
        add("cellUpdate " + n(m.x) + " " + n(m.y) + " " + n(m.army) + " " + n(m.gold) + " " +
            n(m.kind));
    }
    void listEnd() override { add("listEnd"); }
    void gameOver() override { add("gameOver"); }
    void gameEntryName(const GameEntryName& m) override { add("gameEntryName " + str(m.gameName)); }
    void gameEntryMap(const GameEntryMap& m) override
    {
        add("gameEntryMap " + str(m.mapName) + " " + n(m.gameNumber));
    }
    void leaveIfMoreNotice(const LeaveIfMoreNotice& m) override
    {
        add("leaveIfMoreNotice " + n(m.value));
    }
    void youAre(const YouAre& m) override { add("youAre " + n(m.index)); }
    void playerUpdate(const PlayerUpdate& m) override
    {
        players.push_back(m);
        add("playerUpdate " + n(m.player) + " " + n(m.army) + " " + n(m.gold) + " " +
            n(m.cityArmy) + " " + n(m.cityGold) + " " + n(m.x) + " " + n(m.y) + " " + n(m.killed) +
            " " + n(m.marketOffer) + " " + n(m.marketAmount) + " [" + str(m.name) + "] " +
            n(m.armyChange) + " " + n(m.goldChange));
    }
    void mapEntry(const MapEntry& m) override { add("mapEntry " + str(m.mapName)); }
    void gameInfo(const GameInfo& m) override
    {
        add("gameInfo " + n(m.elapsedSeconds) + " " + std::string(1, m.gameType) + " " +
            n(m.minutes));
    }
    void eventCame() override { add("eventCame"); }
    void roundToNotice(const RoundToNotice& m) override { add("roundToNotice " + n(m.value)); }
    void ignoredMessage() override { add("ignoredMessage"); }
    void gameStart(const GameStart& m) override { add("gameStart " + n(m.speed)); }
    void playerJoined(const PlayerJoined& m) override { add("playerJoined " + str(m.name)); }
    void textMessage(const TextMessage& m) override { add("textMessage [" + str(m.text) + "]"); }
    void armyChangeNotice(const ArmyChangeNotice& m) override
    {
        add("armyChangeNotice " + n(m.player) + " " + n(m.change));
    }
    void protocolViolation(const QString& what) override
    {
        violations.push_back(what);
        add("violation " + str(what));
    }

private:
    static std::string n(int32_t v) { return std::to_string(v); }
    void add(std::string line)
    {
        events.push_back(std::move(line));
        if (onEvent)
            onEvent(events.back());
    }
};

// The server side's counterpart.
class ServerRecorder : public ClientMessageHandler
{
public:
    std::vector<std::string> events;

    void hello() override { add("hello"); }
    void listGamesRequest() override { add("listGamesRequest"); }
    void joinGame(const JoinGame& m) override
    {
        add("joinGame " + n(m.gameNumber) + " " + str(m.playerName) + " " + n(m.emblem));
    }
    void createGame(const CreateGame& m) override
    {
        add("createGame " + str(m.gameName) + " " + str(m.mapName) + " " + str(m.playerName) + " " +
            n(m.emblem));
    }
    void mapReady() override { add("mapReady"); }
    void startGame(const StartGame& m) override { add("startGame " + n(m.speed)); }
    void gameSettings(const GameSettings& m) override
    {
        add("gameSettings " + std::string(1, m.gameType) + " " + n(m.minutes));
    }
    void startedAck() override { add("startedAck"); }
    void step(const Step& m) override
    {
        add("step " + std::string(1, m.subCode) + " " + n(m.argument));
    }
    void chat(const Chat& m) override { add("chat " + n(m.recipient) + " [" + str(m.text) + "]"); }
    void market(const Market& m) override
    {
        add("market " + std::string(1, m.operation) + " " + n(m.quantity) + " " + n(m.price));
    }
    void pauseToggle() override { add("pauseToggle"); }
    void protocolViolation(const QString& what) override { add("violation " + str(what)); }

private:
    static std::string n(int32_t v) { return std::to_string(v); }
    void add(std::string line) { events.push_back(std::move(line)); }
};

// Fills the fields of a declared message from a seed: any int, any byte-int
// and character, texts in Latin and Cyrillic. `longest`: every text and the
// map file as long as its receiver takes.
class Filler
{
public:
    explicit Filler(uint32_t seed, bool longest = false) : rng_(seed), longest_(longest) {}

    void integer(int32_t& v) { v = static_cast<int32_t>(rng_()); }
    void byteInt(int32_t& v) { v = static_cast<int32_t>(rng_() % 256); }
    void character(char& c) { c = static_cast<char>(rng_()); }
    void text(QString& s, int maxBytes)
    {
        const int n = longest_ ? maxBytes : int(rng_() % 21);
        s.clear();
        for (int i = 0; i < n; ++i)
            s += rng_() % 2 ? QChar(0x0410 + int(rng_() % 64)) : QChar('a' + int(rng_() % 26));
    }
    void blob(QByteArray& b)
    {
        b.resize(longest_ ? kMaxMapDataBytes : qsizetype(rng_() % 300));
        for (auto& c : b)
            c = static_cast<char>(rng_());
    }

private:
    std::mt19937 rng_;
    bool longest_;
};

// A well-formed message of any declared kind, filled from `seed`.
inline QByteArray filledInbound(Inbound kind, uint32_t seed)
{
    Filler g(seed);
    const int limit = kMaxInboundStringBytes;
    switch (kind) {
#define INT(member, ...) g.integer(m.member);
#define BYTE_INT(member, ...) g.byteInt(m.member);
#define CHAR(member, ...) g.character(m.member);
#define STRING(member) g.text(m.member, limit);
#define STRING_UPTO(member, max) g.text(m.member, max);
#define BLOB(member) g.blob(m.member);
#define ZERO()
#define FIXED(letter)
#define TO_CLIENT(name, code, Struct, fields)                                                      \
    case Inbound::name: {                                                                          \
        Struct m;                                                                                  \
        fields return toClient::name(m);                                                           \
    }
#define TO_CLIENT_CODE_ONLY(name, code)                                                            \
    case Inbound::name:                                                                            \
        return toClient::name();
#define TO_CLIENT_TWO_PARTS(name, code, Struct, first, FirstStruct, firstFields, second,           \
                            SecondStruct, secondFields)                                            \
    case Inbound::name: {                                                                          \
        Struct m;                                                                                  \
        firstFields secondFields return toClient::name(m);                                         \
    }
#include "messages.def"
    }
    return {};
}

// A well-formed message of the given kind; `seed` varies its values and the
// lengths of its texts.
inline QByteArray sampleInbound(Inbound kind, uint32_t seed = 1)
{
    std::mt19937 rng(seed);
    auto num = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto text = [&](int maxLen) {
        QString s;
        const int len = num(0, maxLen);
        for (int i = 0; i < len; ++i)
            s += num(0, 3) == 0 ? QChar(0x0410 + num(0, 63)) : QChar('a' + num(0, 25));
        return s;
    };
    using namespace toClient;
    switch (kind) {
    case Inbound::stepNumber:
        return stepNumber({num(-1000, 100000)});
    case Inbound::mapBegin:
        return mapBegin();
    case Inbound::mapData: {
        QByteArray file(num(0, 300), '\0');
        for (auto& b : file)
            b = char(num(0, 255));
        return mapData({file});
    }
    case Inbound::cellUpdate:
        return cellUpdate({num(0, 39), num(0, 39), num(0, 5000), num(0, 900), num(0, 11)});
    case Inbound::listEnd:
        return listEnd();
    case Inbound::gameOver:
        return gameOver();
    case Inbound::gameEntry:
        return gameEntry({text(20), text(20), num(0, 400)});
    case Inbound::leaveIfMoreNotice:
        return leaveIfMoreNotice({num(0, 2000)});
    case Inbound::youAre:
        return youAre({num(0, 7)});
    case Inbound::playerUpdate:
        return playerUpdate({num(0, 7), num(0, 9000), num(0, 9000), num(0, 500), num(0, 500),
                             num(0, 39), num(0, 39), num(0, 50), num(-1, 300), num(0, 100),
                             text(12), num(-400, 400), num(-50, 50)});
    case Inbound::mapEntry:
        return mapEntry({text(30)});
    case Inbound::gameInfo:
        return gameInfo({num(0, 7200), char('0' + num(0, 1)), num(1, 120)});
    case Inbound::eventCame:
        return eventCame();
    case Inbound::roundToNotice:
        return roundToNotice({num(0, 100)});
    case Inbound::ignoredMessage:
        return ignoredMessage();
    case Inbound::gameStart:
        return gameStart({num(0, 4)});
    case Inbound::playerJoined:
        return playerJoined({text(16)});
    case Inbound::textMessage:
        return textMessage({text(127)});
    case Inbound::armyChangeNotice:
        return armyChangeNotice({num(0, 7), num(-600, 600)});
    default: // a message declared since: values from its declaration
        break;
    }
    return filledInbound(kind, seed);
}

// A long stream of every kind of message, in random order.
inline QByteArray mixedStream(uint32_t seed, int messages)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> kind(0, int(kInboundMessages.size()) - 1);
    QByteArray stream;
    for (int i = 0; i < messages; ++i)
        stream += sampleInbound(static_cast<Inbound>(kind(rng)), rng());
    return stream;
}

} // namespace wiretest

// Readable QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
