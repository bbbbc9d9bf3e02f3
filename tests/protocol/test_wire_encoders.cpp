// Encoders byte for byte, texts in Windows-1251, the string limits, the step
// guard, and every encoder against the message table.

#include "test_wire_support.h"

#include <gtest/gtest.h>

using namespace vorlan;
using wiretest::hex;

TEST(ClientEncoders, LobbyMessagesByteForByte)
{
    EXPECT_EQ(hello(), hex("00 00 4D"));
    EXPECT_EQ(listGamesRequest(), hex("00 52"));
    EXPECT_EQ(joinGame(7, "Ann", 2), hex("00 4A  00 00 00 07  00 03 41 6E 6E  00 00 00 02"));
    // Only the low byte of the game number travels: 300 is sent as 44.
    EXPECT_EQ(joinGame(300, "Ann", 2), hex("00 4A  00 00 00 2C  00 03 41 6E 6E  00 00 00 02"));
    EXPECT_EQ(joinGame(-1, "", 0), hex("00 4A  00 00 00 FF  00 00  00 00 00 00"));
    EXPECT_EQ(createGame("War", "small", "Ann", 5),
              hex("00 53  00 03 57 61 72  00 05 73 6D 61 6C 6C"
                  "  00 03 41 6E 6E  00 00 00 05"));
    EXPECT_EQ(createGame("", "", "", 0), hex("00 53 00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(mapReady(), hex("00 66"));
}

TEST(ClientEncoders, GameMessagesByteForByte)
{
    EXPECT_EQ(startGame(4), hex("00 6D 00 00 00 04"));
    EXPECT_EQ(gameSettings(1, 40), hex("00 74 00 31 00 00 00 28"));
    EXPECT_EQ(gameSettings(0, 120), hex("00 74 00 30 00 00 00 78"));
    EXPECT_EQ(startedAck(), hex("00 54 00 5A"));
    EXPECT_EQ(step('R', 0), hex("00 73 00 52 00 00 00 00"));
    EXPECT_EQ(step('P', -2), hex("00 73 00 50 FF FF FF FE"));
    EXPECT_EQ(step('g', 0x01020304), hex("00 73 00 67 01 02 03 04"));
    EXPECT_EQ(chat(-1, "Ann: hi"), hex("00 6A FF FF FF FF 00 07 41 6E 6E 3A 20 68 69"));
    EXPECT_EQ(chat(3, ""), hex("00 6A 00 00 00 03 00 00"));
    EXPECT_EQ(market('B', 10, 300), hex("00 4B 00 42 00 00 00 0A 00 00 01 2C"));
    EXPECT_EQ(market('N', 0, 0), hex("00 4B 00 4E 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(market('3', 5, 0), hex("00 4B 00 33 00 00 00 05 00 00 00 00")); // gift to player 3
    EXPECT_EQ(pauseToggle(), hex("00 30"));
}

TEST(WireText, CyrillicTravelsAsWindows1251)
{
    EXPECT_EQ(joinGame(1, QString::fromUtf8("Аня"), 0),
              hex("00 4A 00 00 00 01 00 03 C0 ED FF 00 00 00 00"));
    EXPECT_EQ(toWireText(QString::fromUtf8("Ёж ё №€")), hex("A8 E6 20 B8 20 B9 88"));
    EXPECT_EQ(fromWireText(hex("C7 E4 F0 E0 E2 F1 F2 E2 F3 E9 F2 E5")),
              QString::fromUtf8("Здравствуйте"));
    // No Windows-1251 byte: one '?' per character, a surrogate pair included.
    EXPECT_EQ(toWireText(QString::fromUtf8("a中😀b")), QByteArray("a??b"));
    // Every byte but zero comes back as itself.
    for (int b = 1; b < 256; ++b) {
        const QByteArray one(1, char(b));
        EXPECT_EQ(toWireText(fromWireText(one)), one) << "byte " << b;
    }
    // A received text ends at its first zero byte.
    EXPECT_EQ(fromWireText(QByteArray("ab\0cd", 5)), QString("ab"));
}

TEST(ClientEncoders, StringsAreCutToWhatTheirLengthByteCarries)
{
    const QString longName(300, QChar('n'));
    const QByteArray create = createGame(longName, "m", "p", 0);
    // 255 bytes of game name, so the map name follows where the length says.
    EXPECT_EQ(uint8_t(create[3]), 255);
    EXPECT_EQ(create.mid(4 + 255, 3), hex("00 01 6D"));
    EXPECT_EQ(create.size(), 12 + 255 + 1 + 1);

    const QByteArray longChat = chat(-1, QString(200, QChar('c')));
    EXPECT_EQ(uint8_t(longChat[7]), kMaxChatTextBytes);
    EXPECT_EQ(longChat.size(), 8 + kMaxChatTextBytes);

    const QByteArray text = toClient::textMessage({QString(200, QChar('t'))});
    EXPECT_EQ(uint8_t(text[3]), kMaxInboundStringBytes);
    EXPECT_EQ(text.size(), 4 + kMaxInboundStringBytes);
}

TEST(StepGuard, OneStepPerTickAndTheFlagIsClearedEitherWay)
{
    bool newStepCanBeSent = true;
    std::vector<QByteArray> sent;
    auto send = [&](const QByteArray& m) { sent.push_back(m); };

    EXPECT_TRUE(sendStepGated(newStepCanBeSent, step('R', 0), send));
    EXPECT_FALSE(newStepCanBeSent);
    EXPECT_FALSE(sendStepGated(newStepCanBeSent, market('B', 1, 2), send));
    EXPECT_FALSE(newStepCanBeSent);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], step('R', 0));

    newStepCanBeSent = true; // the next tick
    EXPECT_TRUE(sendStepGated(newStepCanBeSent, market('B', 1, 2), send));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], market('B', 1, 2));

    // Only step and market are step-gated.
    for (const MessageSpec& m : kOutboundMessages)
        EXPECT_EQ(m.stepGated, m.code == 's' || m.code == 'K') << m.name;
}

TEST(ServerEncoders, MessagesByteForByte)
{
    using namespace toClient;
    EXPECT_EQ(textMessage({""}), hex("00 71 00 00"));
    EXPECT_EQ(textMessage({"GAME PAUSED"}), hex("00 71 00 0B") + QByteArray("GAME PAUSED"));
    EXPECT_EQ(stepNumber({258}), hex("00 30 00 00 01 02"));
    EXPECT_EQ(mapBegin(), hex("00 41"));
    EXPECT_EQ(mapData({hex("03 02 01")}), hex("00 78 00 00 00 03 03 02 01"));
    EXPECT_EQ(mapData({QByteArray()}), hex("00 78 00 00 00 00"));
    EXPECT_EQ(mapData({QByteArray(kMaxMapDataBytes, 'm')}).size(), kReceiveBufferSize);
    EXPECT_TRUE(mapData({QByteArray(kMaxMapDataBytes + 1, 'm')}).isEmpty());
    EXPECT_EQ(cellUpdate({1, 2, 300, -4, 11}),
              hex("00 42 00000001 00000002 0000012C FFFFFFFC 0000000B"));
    EXPECT_EQ(listEnd(), hex("00 45"));
    EXPECT_EQ(gameOver(), hex("00 46"));
    EXPECT_EQ(gameEntry({"g1", "map", 300}), hex("00 47 00 02 67 31 00 03 6D 61 70 00 00 01 2C"));
    EXPECT_EQ(leaveIfMoreNotice({100}), hex("00 4C 00 00 00 64"));
    EXPECT_EQ(youAre({3}), hex("00 4E 00 00 00 03"));
    EXPECT_EQ(mapEntry({"m"}), hex("00 51 00 01 6D"));
    EXPECT_EQ(gameInfo({65, '1', 40}), hex("00 54 00 00 00 41 00 31 00 00 00 28"));
    EXPECT_EQ(eventCame(), hex("00 56"));
    EXPECT_EQ(roundToNotice({30}), hex("00 59 00 00 00 1E"));
    EXPECT_EQ(ignoredMessage(), hex("00 65"));
    EXPECT_EQ(gameStart({4}), hex("00 6D 00 00 00 04"));
    EXPECT_EQ(playerJoined({"Bob"}), hex("00 70 00 03 42 6F 62"));
    EXPECT_EQ(armyChangeNotice({2, -300}), hex("00 75 00 00 00 02 FF FF FE D4"));
}

TEST(ServerEncoders, PlayerUpdateLayout)
{
    PlayerUpdate p{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, "", 11, 12};
    const QByteArray empty = toClient::playerUpdate(p);
    ASSERT_EQ(empty.size(), 52);
    EXPECT_EQ(empty.left(2), hex("00 50"));
    for (int field = 0; field < 10; ++field) // player index .. marketAmount at 2, 6, .. 38
        EXPECT_EQ(empty.mid(2 + 4 * field, 4), hex("000000") + char(field + 1)) << field;
    EXPECT_EQ(empty.mid(42, 2), hex("00 00"));
    EXPECT_EQ(empty.mid(44, 8), hex("0000000B 0000000C"));

    p.name = "Bob";
    const QByteArray named = toClient::playerUpdate(p);
    ASSERT_EQ(named.size(), 55);
    EXPECT_EQ(named.mid(42, 5), hex("00 03 42 6F 62"));
    EXPECT_EQ(named.mid(47, 8), hex("0000000B 0000000C"));
}

// Every encoder writes its own row's code, and its message has the table's
// size when its strings are empty.
TEST(MessageTables, EncodersFollowTheTable)
{
    const std::vector<std::pair<Outbound, QByteArray>> outbound = {
        {Outbound::hello, hello()},
        {Outbound::listGamesRequest, listGamesRequest()},
        {Outbound::joinGame, joinGame(0, "", 0)},
        {Outbound::createGame, createGame("", "", "", 0)},
        {Outbound::mapReady, mapReady()},
        {Outbound::startGame, startGame(0)},
        {Outbound::gameSettings, gameSettings(0, 0)},
        {Outbound::startedAck, startedAck()},
        {Outbound::step, step('L', 0)},
        {Outbound::chat, chat(0, "")},
        {Outbound::market, market('N', 0, 0)},
        {Outbound::pauseToggle, pauseToggle()},
    };
    ASSERT_EQ(outbound.size(), kOutboundMessages.size());
    for (const auto& [kind, bytes] : outbound) {
        const MessageSpec& m = spec(kind);
        EXPECT_EQ(bytes.size(), minimumSize(m)) << m.name;
        EXPECT_EQ(bytes[m.extraZero ? 2 : 1], m.code) << m.name;
    }
    for (std::size_t row = 0; row < kInboundMessages.size(); ++row) {
        const MessageSpec& m = kInboundMessages[row];
        const QByteArray bytes = wiretest::sampleInbound(static_cast<Inbound>(row));
        EXPECT_EQ(bytes[1], m.code) << m.name;
        EXPECT_GE(bytes.size(), minimumSize(m)) << m.name;
        EXPECT_EQ(inboundRow(uint8_t(m.code)), int(row)) << m.name;
    }
    EXPECT_EQ(minimumSize(spec(Inbound::cellUpdate)), 22);
    EXPECT_EQ(minimumSize(spec(Inbound::gameInfo)), 12);
    EXPECT_EQ(minimumSize(spec(Inbound::armyChangeNotice)), 10);
    EXPECT_EQ(minimumSize(spec(Inbound::gameEntry)), 10);
    EXPECT_EQ(inboundRow('z'), -1);
    EXPECT_EQ(outboundRow(0), int(Outbound::hello));
}
