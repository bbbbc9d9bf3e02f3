// The server's receive side: a fuzzed player inside a running game. Each
// input starts a fresh lobby with one map; the fuzzed client creates a game,
// an honest one joins, the game starts and both are synced. Then the input
// is the fuzzed client's stream, cut into chunks, with server steps between
// them; a second fuzzed client in the lobby gets the same bytes.
//
// Input: a sequence of [control byte][chunk]; the control byte's low six
// bits are the chunk's length, bit 6 runs a server step after it, bit 7 feeds
// the chunk to the lobby client as well.
// Checked: every byte the server sends to anybody is well-formed for the
// client's own assembler; the players stay on the grid; every chat line the
// honest player gets from the fuzzed one is in his name or a voice number.
#include "assembler.h"
#include "contract.h"
#include "encoders.h"
#include "gameserver.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

using namespace vorlan;

namespace {

// What a client makes of the server's bytes, with its own assembler.
struct View final : ProtocolHandler
{
    View() : assembler(*this) {}
    void textMessage(const TextMessage& m) override { texts.push_back(m.text); }
    void protocolViolation(const QString&) override { violated = true; }
    ReceiveAssembler assembler;
    std::vector<QString> texts;
    bool violated = false;
};

struct Output final : ServerOutput
{
    void send(int client, const QByteArray& message) override
    {
        views[client].assembler.feed(message);
    }
    void disconnect(int client) override { gone.push_back(client); }
    void setGameTimer(int, int) override {}
    void log(const QString&) override {}
    std::map<int, View> views;
    std::vector<int> gone;
};

// 6 x 4 with two start positions, a city pair, a gold mine and a rock.
QByteArray smallMap()
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Output out;
    GameServer server(out);
    server.setHoldUntilStep(true); // as the network front runs it
    server.addMap(QStringLiteral("small"), smallMap());
    const int fuzzed = server.clientConnected(QStringLiteral("10.0.0.1"));
    const int honest = server.clientConnected(QStringLiteral("10.0.0.2"));
    const int lobby = server.clientConnected(QStringLiteral("10.0.0.3"));
    server.receive(fuzzed, hello() +
                               createGame(QStringLiteral("war"), QStringLiteral("small"),
                                          QStringLiteral("Fuzz"), 0) +
                               mapReady());
    server.receive(honest, hello() + joinGame(0, QStringLiteral("Bob"), 1) + mapReady());
    server.receive(fuzzed, startGame(4) + gameSettings(0, 1) + startedAck());
    server.receive(honest, startedAck());
    out.views[honest].texts.clear();

    size_t i = 0;
    while (i < size) {
        const uint8_t control = data[i++];
        const size_t n = std::min<size_t>(control & 0x3f, size - i);
        const QByteArrayView chunk(reinterpret_cast<const char*>(data + i), qsizetype(n));
        i += n;
        for (int c : {fuzzed, lobby}) {
            if (c == lobby && !(control & 0x80))
                continue;
            server.receive(c, chunk);
            // As the network front does: the session goes after the call.
            for (int g : std::exchange(out.gone, {}))
                server.clientGone(g);
        }
        if (control & 0x40)
            server.stepGame(0);
        if (const Game* g = server.game(0)) {
            for (int p = 0; p < g->capacity(); ++p)
                if (g->seatTaken(p))
                    check(g->map().contains(g->map().players[p].x, g->map().players[p].y),
                          "a player left the grid");
        }
    }
    for (const auto& [client, view] : out.views)
        check(!view.violated, "the server sent bytes a client cannot read");
    // While the game runs, the honest player hears the fuzzed one only; in
    // the lobby afterwards he may hear the lobby client under its own name,
    // but never a line in his own name (he says nothing).
    bool over = false;
    for (const QString& t : out.views[honest].texts) {
        over = over || t == kTimeLeftText + QLatin1Char('0');
        const bool fromFuzz = t.startsWith(QLatin1String("Fuzz:")) || honestChatLine(t, {});
        const bool fromServer = !t.contains(QLatin1Char(':')) || t.startsWith(kTimeLeftText);
        check(over || fromFuzz || fromServer, "a chat line in another's name was passed on");
        check(!t.startsWith(QLatin1String("Bob:")), "a chat line in Bob's name reached Bob");
    }
    return 0;
}
