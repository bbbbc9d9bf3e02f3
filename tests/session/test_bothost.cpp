// The client's side of the bot: loading the library, starting and stopping,
// and one order per new server step, through the real libdirud.
#include "appstate.h"
#include "bothost.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace vorlan;

namespace {

// A 3 x 3 map of own blocks with a city in the middle; the player on (0, 0).
std::unique_ptr<Map> ownMap()
{
    QByteArray b = QByteArray::fromHex("030301"
                                       "000000"
                                       "000b00"
                                       "000000"
                                       "0000");
    auto map = std::make_unique<Map>(Map::fromBytes(b));
    map->myIndex = 0;
    map->players[0].x = 0;
    map->players[0].y = 0;
    return map;
}

struct Sent
{
    char letter;
    int32_t value;
};

class BotHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        state.dir = QDir::currentPath(); // the tests run beside libdirud
        state.map = ownMap();
        state.serverStep = 5;
    }
    std::vector<Sent> tick()
    {
        std::vector<Sent> sent;
        host.tick([&](char l, int32_t v) { sent.push_back({l, v}); });
        return sent;
    }

    AppState state;
    BotHost host{state};
};

const QString kLibrary = QStringLiteral("libdirud.so");

} // namespace

TEST_F(BotHostTest, NothingWithoutTheOptionOrAName)
{
    EXPECT_EQ(host.startStop(false, kLibrary), "");
    EXPECT_TRUE(host.libName().isEmpty());
    EXPECT_EQ(host.startStop(true, ""), "");
    EXPECT_FALSE(host.active());
    EXPECT_EQ(host.startStop(true, "no-such-library.so"), "");
    EXPECT_TRUE(host.libName().isEmpty()); // the next start tries again
    EXPECT_TRUE(tick().empty());
}

TEST_F(BotHostTest, AsksOncePerServerStepAndSendsTheOrder)
{
    EXPECT_EQ(host.startStop(true, kLibrary), "Idiot activated");
    ASSERT_TRUE(host.active());
    // The first tick asks at once, although no new step has come.
    auto sent = tick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].letter, 'i');
    EXPECT_EQ(sent[0].value, 0);
    EXPECT_FALSE(state.newStepCanBeSent);
    EXPECT_TRUE(tick().empty()); // same server step
    state.serverStep = 6;
    EXPECT_EQ(tick().size(), 1u);
}

TEST_F(BotHostTest, RestartKeepsTheLoadedLibrary)
{
    host.startStop(true, kLibrary);
    tick();
    EXPECT_EQ(host.startStop(true, kLibrary), "Idiot deactivated");
    EXPECT_FALSE(host.active());
    EXPECT_EQ(host.libName(), kLibrary); // still loaded
    EXPECT_TRUE(tick().empty());
    state.rus = true;
    EXPECT_EQ(host.startStop(true, kLibrary), QString::fromUtf8("Дурак активизирован"));
    // Renaming in the options unloads it, and the bot can no longer run.
    host.releaseIfRenamed("other.so");
    EXPECT_TRUE(host.libName().isEmpty());
    EXPECT_FALSE(host.active());
    state.serverStep = 9;
    EXPECT_TRUE(tick().empty());
}

TEST_F(BotHostTest, NoMapNoCall)
{
    host.startStop(true, kLibrary);
    state.map.reset();
    EXPECT_TRUE(tick().empty());
    EXPECT_TRUE(state.newStepCanBeSent);
}
