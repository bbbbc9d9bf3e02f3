// The server's side: client messages framed and decoded from the same table,
// and malformed bytes stopping that client's stream.

#include "test_wire_support.h"

#include <gtest/gtest.h>

using namespace vorlan;
using wiretest::hex;
using wiretest::ServerRecorder;

namespace {

using Events = std::vector<std::string>;

const QByteArray kEveryMessage = hello() + listGamesRequest() + joinGame(300, "Ann", 2) +
                                 createGame("War", "cross", QString::fromUtf8("Борис"), 7) +
                                 mapReady() + startGame(3) + gameSettings(1, 40) + startedAck() +
                                 step('R', 0) + step('G', -7) + chat(-1, "Ann: hi") + chat(4, "") +
                                 market('B', 10, 300) + market('2', 5, 0) + pauseToggle();

const Events kEveryEvent = {
    "hello",           "listGamesRequest", "joinGame 44 Ann 2", "createGame War cross Борис 7",
    "mapReady",        "startGame 3",      "gameSettings 1 40", "startedAck",
    "step R 0",        "step G -7",        "chat -1 [Ann: hi]", "chat 4 []",
    "market B 10 300", "market 2 5 0",     "pauseToggle",
};

Events violationOf(const QByteArray& bytes, qsizetype* taken = nullptr)
{
    ServerRecorder r;
    ClientMessageAssembler a(r);
    const qsizetype n = a.feed(bytes);
    if (taken)
        *taken = n;
    EXPECT_TRUE(a.isStopped());
    return r.events;
}

} // namespace

TEST(ClientMessageAssembler, EveryClientMessageRoundTrips)
{
    ServerRecorder whole;
    ClientMessageAssembler a(whole);
    EXPECT_EQ(a.feed(kEveryMessage), kEveryMessage.size());
    EXPECT_EQ(whole.events, kEveryEvent);

    ServerRecorder bytewise;
    ClientMessageAssembler b(bytewise);
    for (char c : kEveryMessage)
        EXPECT_TRUE(b.feedByte(c));
    EXPECT_EQ(bytewise.events, kEveryEvent);
}

TEST(ClientMessageAssembler, StringsUpTo255BytesAreAccepted)
{
    ServerRecorder r;
    ClientMessageAssembler a(r);
    const QString longName(200, QChar('n'));
    a.feed(createGame(longName, "m", "p", 1) + listGamesRequest());
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0], "createGame " + longName.toStdString() + " m p 1");
    EXPECT_EQ(r.events[1], "listGamesRequest");
}

TEST(ClientMessageAssembler, MalformedBytesStopTheStream)
{
    qsizetype taken = 0;
    EXPECT_EQ(violationOf(hex("00 7A 00 52"), &taken),
              Events{"violation Unknown message code 0x7A."});
    EXPECT_EQ(taken, 2);
    // hello is exactly 00 00 4D.
    EXPECT_EQ(violationOf(hex("00 00 4E")),
              Events{"violation hello: unexpected byte 0x4E at offset 2."});
    // The zero ahead of every code.
    EXPECT_EQ(violationOf(hex("01 52")),
              Events{"violation listGamesRequest: unexpected byte 0x01 at offset 0."});
    // The zero ahead of a character, and startedAck's trailer.
    EXPECT_EQ(violationOf(hex("00 73 01 52 00 00 00 00")),
              Events{"violation step: unexpected byte 0x01 at offset 2."});
    EXPECT_EQ(violationOf(hex("00 54 00 5B")),
              Events{"violation startedAck: unexpected byte 0x5B at offset 3."});
    EXPECT_EQ(violationOf(hex("00 54 01 5A")),
              Events{"violation startedAck: unexpected byte 0x01 at offset 2."});
    // The high byte of a string length: caught when the length is in.
    EXPECT_EQ(violationOf(hex("00 6A FF FF FF FF 01 02"), &taken),
              Events{"violation chat: unexpected byte 0x01 at offset 6."});
    EXPECT_EQ(taken, 8);

    // The messages before the bad one were delivered; nothing after it.
    EXPECT_EQ(violationOf(pauseToggle() + hex("00 00 00") + mapReady()),
              (Events{"pauseToggle", "violation hello: unexpected byte 0x00 at offset 2."}));
}

TEST(ClientMessageAssembler, ViolationTextInBothLanguages)
{
    ServerRecorder r;
    ClientMessageAssembler a(r);
    a.feed(hex("00 73 05 52 00 00 00 00"));
    EXPECT_EQ(a.lastViolation().kind, ProtocolViolation::Kind::UnexpectedByte);
    EXPECT_EQ(a.lastViolation().offset, 2);
    EXPECT_EQ(a.lastViolation().value, 5);
    EXPECT_EQ(a.lastViolation().text(true),
              QString::fromUtf8("step: неожиданный байт 0x05 на позиции 2."));
}
