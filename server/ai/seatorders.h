#pragma once
// The server's side of a seat played by an agent: its bytes go through the
// same assembler as a human's and into the same Game calls, so a computer's
// order is validated, applied and refused exactly as a person's.
//
// Header only: whoever links the Game (the server, the arena) links this.

#include "assembler.h"
#include "game.h"

#include <QByteArrayView>

namespace vorlan::ai {

class SeatOrders final : public ClientMessageHandler
{
public:
    SeatOrders(Game& game, int seat) : game_(game), seat_(seat), assembler_(*this) {}
    SeatOrders(const SeatOrders&) = delete;
    SeatOrders& operator=(const SeatOrders&) = delete;

    // Feeds the agent's bytes. False once they were malformed: from then on
    // the seat is treated like a disconnected client and nothing is taken.
    bool deliver(QByteArrayView bytes)
    {
        if (!bytes.isEmpty())
            assembler_.feed(bytes);
        return !assembler_.isStopped();
    }
    bool broken() const { return assembler_.isStopped(); }
    int seat() const { return seat_; }

    void startedAck() override { game_.sync(seat_); }
    void step(const Step& m) override { game_.order(seat_, m); }
    void chat(const Chat& m) override { game_.chat(seat_, m); }
    void market(const Market& m) override { game_.market(seat_, m); }
    void pauseToggle() override { game_.togglePause(seat_); }

private:
    Game& game_;
    int seat_;
    ClientMessageAssembler assembler_;
};

} // namespace vorlan::ai
