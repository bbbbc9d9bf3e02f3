// A computer's seat: its picture follows the server's game exactly, and its
// orders take the human path, refused where a human's are.
#include "ai_support.h"
#include "encoders.h"
#include "game.h"
#include "randomwalker.h"
#include "seatorders.h"

#include <gtest/gtest.h>
#include <QStringList>

namespace vorlan::ai {
namespace {

// Counts the step orders in a batch of client bytes.
struct StepCounter : ClientMessageHandler
{
    ClientMessageAssembler assembler{*this};
    int steps = 0;
    void step(const Step&) override { ++steps; }
};

TEST(Seat, PictureStaysTheServersAndEachStepCarriesAtMostOneOrder)
{
    const QByteArray file = test::shippedMap("duel");
    std::array<QByteArray, 2> inbox;
    Game game(0, "g", "duel", file,
              [&](int seat, const QByteArray& m) { inbox[size_t(seat)] += m; });
    ASSERT_EQ(game.addPlayer("Computer 1", 0), 0);
    ASSERT_EQ(game.addPlayer("Computer 2", 1), 1);
    ASSERT_TRUE(game.start(4, '0', 1));
    ComputerPlayer normal(styleOf(Level::Normal), 3);
    RandomWalker walker(4);
    std::array<Agent*, 2> agents{&normal, &walker};
    std::array<std::unique_ptr<SeatOrders>, 2> orders;
    for (int i = 0; i < 2; ++i) {
        agents[size_t(i)]->receive(toClient::mapData({file}) + toClient::gameStart({4}));
        game.sync(i);
        orders[size_t(i)] = std::make_unique<SeatOrders>(game, i);
    }
    StepCounter counter;
    int mostPerStep = 0;
    const auto round = [&] {
        for (int i = 0; i < 2; ++i) {
            agents[size_t(i)]->receive(std::exchange(inbox[size_t(i)], {}));
            const QByteArray bytes = agents[size_t(i)]->act();
            counter.steps = 0;
            counter.assembler.feed(bytes);
            mostPerStep = std::max(mostPerStep, counter.steps);
            EXPECT_TRUE(orders[size_t(i)]->deliver(bytes));
        }
        game.step();
    };
    for (int s = 0; s < 300; ++s)
        round();

    // A pause reaches the picture and silences the player.
    game.togglePause(1);
    normal.receive(std::exchange(inbox[0], {}));
    EXPECT_TRUE(normal.view().paused());
    EXPECT_TRUE(normal.act().isEmpty());
    game.togglePause(1);
    for (int s = 0; s < 300; ++s)
        round();
    normal.receive(std::exchange(inbox[0], {}));

    EXPECT_EQ(mostPerStep, 1);
    const Map& server = game.map();
    const Map& seen = normal.view().map();
    ASSERT_EQ(seen.myIndex, 0);
    int owned = 0;
    for (int x = 0; x < server.width; ++x) {
        for (int y = 0; y < server.height; ++y) {
            const Cell &a = server.cell(x, y), &b = seen.cell(x, y);
            ASSERT_EQ(QList<int>({a.kind, a.army, a.gold}), QList<int>({b.kind, b.army, b.gold}))
                << x << "," << y;
            owned += a.kind == 0;
        }
    }
    for (int i = 0; i < 2; ++i) {
        const Player &a = server.players[size_t(i)], &b = seen.players[size_t(i)];
        EXPECT_EQ(QList<int>({a.army, a.gold, a.x, a.y, a.cityArmy, a.cityGold, a.killed}),
                  QList<int>({b.army, b.gold, b.x, b.y, b.cityArmy, b.cityGold, b.killed}));
    }
    EXPECT_GT(owned, 10); // it has been playing, not idling
}

TEST(Seat, OrdersAreRefusedWhereAHumansAreAndGarbageCutsTheSeatOff)
{
    QStringList log;
    Game game(
        0, "g", "small",
        test::drawnMap({"......", //
                        "..C#C.", //
                        ".$...."},
                       {{0, 0}, {5, 2}}),
        [](int, const QByteArray&) {}, [&](const QString& line) { log << line; });
    game.addPlayer("Computer 1", 0);
    game.addPlayer("Computer 2", 1);
    SeatOrders seat(game, 0);
    // Before the start nothing is taken.
    EXPECT_TRUE(seat.deliver(step('R', 0)));
    ASSERT_TRUE(game.start(4, '0', 10));
    EXPECT_TRUE(seat.deliver(step('R', 0)));
    EXPECT_EQ(game.map().players[0].x, 0);
    EXPECT_TRUE(log.filter("not running for him").size() >= 2);

    seat.deliver(startedAck()); // the same sync as a human's acknowledgement
    EXPECT_TRUE(game.synced(0));
    const int before = int(log.size());
    seat.deliver(step('L', 0) + step('U', 0)); // outside the grid
    seat.deliver(step('1', 0));                // a city jump away from a city
    seat.deliver(step('t', 7));                // round-to must be 0, 30 or 100
    seat.deliver(market('B', -3, 5));          // negative quantity
    EXPECT_EQ(log.size(), before + 5);
    EXPECT_EQ(QList<int>({game.map().players[0].x, game.map().players[0].y}), QList<int>({0, 0}));
    EXPECT_EQ(game.map().players[0].roundTo, 0);
    seat.deliver(step('R', 0));
    EXPECT_EQ(game.map().cell(1, 0).kind, 0); // taken with the 50 it carries

    // Bytes no client would send: the seat is cut off like a broken client.
    EXPECT_FALSE(seat.deliver(QByteArray("\x01\x02", 2)));
    EXPECT_TRUE(seat.broken());
    EXPECT_FALSE(seat.deliver(step('R', 0)));
    EXPECT_EQ(game.map().players[0].x, 1);
}

} // namespace
} // namespace vorlan::ai
