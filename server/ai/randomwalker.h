#pragma once
// A seat that walks at random: a move in one of the four directions every
// step, now and then taking the soldiers of the block it stands on. A
// yardstick for the computer players, nothing more.

#include "agent.h"
#include "seatview.h"

#include <random>

namespace vorlan::ai {

class RandomWalker final : public Agent
{
public:
    explicit RandomWalker(uint32_t seed) : rng_(seed) {}
    void receive(QByteArrayView bytes) override { view_.receive(bytes); }
    QByteArray act() override;

private:
    std::mt19937 rng_;
    SeatView view_;
    int lastStep_ = -1;
};

} // namespace vorlan::ai
