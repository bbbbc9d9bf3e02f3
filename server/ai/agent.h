#pragma once
// A seat played by the program instead of a person. An agent sees exactly the
// bytes the server sends to that seat (nothing hidden is handed to it) and
// answers with encoded client messages, which the server feeds through the
// very path a human's bytes take, with the same validation and notices.

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
};

// A computer player of the given strength; the seed makes its choices
// repeatable.
std::unique_ptr<Agent> makeComputerPlayer(Level level, uint32_t seed);

} // namespace vorlan::ai
