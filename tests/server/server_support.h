#pragma once
// What a client would make of the server's bytes: every message decoded by
// the client's own assembler, and a client-side Map kept up to date the way
// the client does it (cell updates, player updates, growth on eventCame).

#include "assembler.h"
#include "gameserver.h"
#include "map.h"

#include <map>
#include <QStringList>
#include <vector>

namespace vorlan::test {

struct ClientView : ProtocolHandler
{
    ClientView() : assembler(*this) {}

    void feed(const QByteArray& bytes) { assembler.feed(bytes); }
    int count(const QString& name) const { return int(names.count(name)); }

    void stepNumber(const StepNumber& m) override
    {
        names << "stepNumber";
        step = m.step;
    }
    void mapBegin() override { names << "mapBegin"; }
    void mapData(const MapData& m) override
    {
        names << "mapData";
        map = Map::fromBytes(m.file);
    }
    void cellUpdate(const CellUpdate& m) override
    {
        names << "cellUpdate";
        if (map.contains(m.x, m.y))
            map.cell(m.x, m.y) = {m.army, m.gold, m.kind};
    }
    void listEnd() override { names << "listEnd"; }
    void gameOver() override { names << "gameOver"; }
    void gameEntryMap(const GameEntryMap& m) override
    {
        names << "gameEntry";
        gameNumbers.push_back(m.gameNumber);
    }
    void leaveIfMoreNotice(const LeaveIfMoreNotice& m) override
    {
        names << "leaveIfMoreNotice";
        leaveIfMore = m.value;
    }
    void youAre(const YouAre& m) override
    {
        names << "youAre";
        map.myIndex = m.index;
    }
    void playerUpdate(const PlayerUpdate& m) override
    {
        names << "playerUpdate";
        if (m.player >= 0 && m.player < kPlayerRecords) {
            Player& p = map.players[m.player];
            p.army = m.army;
            p.gold = m.gold;
            p.cityArmy = m.cityArmy;
            p.cityGold = m.cityGold;
            p.x = m.x;
            p.y = m.y;
            p.killed = m.killed;
            p.marketOffer = m.marketOffer;
            p.marketAmount = m.marketAmount;
            p.name = m.name;
        }
    }
    void mapEntry(const MapEntry& m) override
    {
        names << "mapEntry";
        maps << m.mapName;
    }
    void gameInfo(const GameInfo& m) override
    {
        names << "gameInfo";
        info = m;
    }
    void eventCame() override
    {
        names << "eventCame";
        map.growBlocks();
    }
    void roundToNotice(const RoundToNotice& m) override
    {
        names << "roundToNotice";
        roundTo = m.value;
    }
    void gameStart(const GameStart& m) override
    {
        names << "gameStart";
        speed = m.speed;
    }
    void playerJoined(const PlayerJoined& m) override
    {
        names << "playerJoined";
        joined << m.name;
    }
    void textMessage(const TextMessage& m) override
    {
        names << "textMessage";
        texts << m.text;
    }
    void armyChangeNotice(const ArmyChangeNotice& m) override
    {
        names << "armyChangeNotice";
        changes.emplace_back(m.player, m.change);
    }
    void protocolViolation(const QString& what) override { violations << what; }

    ReceiveAssembler assembler;
    QStringList names, texts, joined, maps, violations;
    std::vector<int32_t> gameNumbers;
    std::vector<std::pair<int32_t, int32_t>> changes;
    Map map;
    GameInfo info;
    int32_t step = -1, speed = -1, leaveIfMore = -1, roundTo = -1;
};

// A ServerOutput that hands every client's bytes to its own ClientView.
struct RecordingOutput : ServerOutput
{
    void send(int client, const QByteArray& message) override { clients[client].feed(message); }
    void disconnect(int client) override { disconnected.push_back(client); }
    void setGameTimer(int game, int intervalMs) override { timers[game] = intervalMs; }
    void log(const QString& line) override { lines << line; }

    std::map<int, ClientView> clients;
    std::vector<int> disconnected;
    std::map<int, int> timers;
    QStringList lines;
};

// A small map: 6 x 4, two start positions, a city pair, a gold mine and a rock.
//   y0: . . . . . .
//   y1: . S C # C .      S start 0 at (1, 1)
//   y2: . $ . . S .      S start 1 at (4, 2), $ gold mine at (1, 2)
//   y3: . . . . . .
inline QByteArray smallMap()
{
    QByteArray b;
    b.append(char(6)).append(char(4)).append(char(2));
    const char rows[4][7] = {"......", "..C#C.", ".$....", "......"};
    for (const auto& row : rows)
        for (int x = 0; x < 6; ++x)
            b.append(char(row[x] == '.' ? 9 : row[x] == 'C' ? 11 : row[x] == '#' ? 8 : 10));
    b.append(char(1)).append(char(1)).append(char(4)).append(char(2));
    return b;
}

} // namespace vorlan::test
