#pragma once
// A seat played by the program instead of a person. An agent sees exactly the
// bytes the server sends to that seat (nothing hidden is handed to it) and
// answers with encoded client messages, which the server feeds through the
// very path a human's bytes take, with the same validation and notices.
//
// Hosting a seat (server or arena): after Game::start, hand the agent the
// bytes a client gets before the start (mapBegin, mapData, gameInfo,
// gameStart), call Game::sync(seat) yourself (agents send no startedAck),
// then forward every message for the seat to receive() and, once per step,
// feed act()'s bytes through a SeatOrders (seatorders.h, in this folder).
// act() gives at most one step order per server step (and may add a market
// order); it returns nothing before the seat is synced, while paused and
// after gameOver.

#include <cstdint>
#include <memory>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vorlan::ai {

enum class Level
{
    Easy,
    Normal,
    Hard,
};

// "easy", "normal", "hard"; false for anything else.
bool parseLevel(const QString& text, Level* level);

class Agent
{
public:
    virtual ~Agent() = default;
    // Server-to-client bytes for this seat, in stream order (any split).
    virtual void receive(QByteArrayView bytes) = 0;
    // Called once per server step, after that step's messages have been
    // received. Returns the client-to-server messages to send now (a step
    // order, a market order, ...), encoded as on the wire; may be empty.
    virtual QByteArray act() = 0;
    // A line for the host to show once (a plug-in that cannot play, ...);
    // empty when there is nothing to say. Reading it clears it.
    virtual QString report() { return {}; }
};

// "easy", "normal", "hard".
QString levelName(Level level);

// A computer player of the given strength; the seed makes its choices
// repeatable.
std::unique_ptr<Agent> makeComputerPlayer(Level level, uint32_t seed);

} // namespace vorlan::ai
