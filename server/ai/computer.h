#pragma once
// The computer player: reads its seat's picture (SeatView) and chooses one
// order per server step, plus now and then a market order.
//
// Every decision is a breadth-first search from the player's block over the
// blocks he can walk (carrying soldiers: his own, cities and gold mines;
// without: everything passable, city jumps included), scoring what lies one
// block beyond: hostile blocks to take, own garrisons to collect, threatened
// blocks to reinforce, and in a gold game the mines to empty. The level sets
// how often the player reacts, whether he defends, guards his border, keeps
// to a plan and watches his rivals.

#include "agent.h"
#include "messages.h"
#include "seatview.h"

#include <array>
#include <optional>
#include <random>

namespace vorlan::ai {

// What distinguishes the levels. None of it is hidden information: every
// level reads the same picture.
struct Style
{
    int reactPercent = 100;    ///< chance of giving an order in a step
    bool defends = true;       ///< reinforces own blocks next to a stronger enemy
    bool rivalAware = true;    ///< avoids mines and blocks a rival reaches first
    bool useCities = true;     ///< city jumps and the city stock
    bool commits = true;       ///< keeps to a chosen target while it stays good
    int keepBorder = 0;        ///< soldiers left on a block next to a rival's when collecting
    double soldierSteps = 0.5; ///< steps one soldier is worth when spending them
    double enemyBlock = 1.0;   ///< worth of a rival's block against a neutral one
};

Style styleOf(Level level);

class ComputerPlayer final : public Agent
{
public:
    ComputerPlayer(const Style& style, uint32_t seed);

    void receive(QByteArrayView bytes) override { view_.receive(bytes); }
    QByteArray act() override;

    SeatView& view() { return view_; }

    // The step order this player would give now, ignoring his reaction
    // (empty when he would wait). Public for tests and benchmarks.
    std::optional<Step> decide();
    // The market order he would place now, if any.
    std::optional<Market> marketOrder() const;

private:
    static constexpr int kSide = kMaxMapSide;
    static int at(int x, int y) { return x + y * kSide; }

    void prepareMap();
    void search(bool freeEverywhere);
    std::optional<Step> settings() const;
    std::optional<Step> territoryMove();
    std::optional<Step> goldMove();
    int predictedGarrison(int x, int y, int steps) const;
    double contested(int x, int y, int steps) const;
    int keepOn(int x, int y) const;
    bool hostile(int kind) const;
    bool nextToRival(int x, int y) const;

    Style style_;
    std::mt19937 rng_;
    SeatView view_;
    int lastStep_ = -1;
    int target_ = -1;      ///< the block he set out to take
    int preparedFor_ = -1; ///< the map (SeatView::mapsReceived) the jumps were worked out for
    // City jump targets by city block and direction 1..4 (-1 none).
    std::array<std::array<int16_t, 4>, kSide * kSide> jumps_{};
    // The last search.
    std::array<int16_t, kSide * kSide> dist_{};
    std::array<char, kSide * kSide> first_{};
    std::array<int16_t, kSide * kSide> queue_{};
    int queued_ = 0;
};

} // namespace vorlan::ai
