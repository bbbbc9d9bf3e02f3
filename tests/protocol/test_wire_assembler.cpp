// The client's receive assembler: completion rules, dispatch order, the three
// violations, stopping, resetting and feeding from inside a handler.

#include "test_wire_support.h"

#include <gtest/gtest.h>

using namespace vorlan;
using wiretest::hex;
using wiretest::Recorder;
using wiretest::sampleInbound;

namespace {

using Events = std::vector<std::string>;

// Feeds byte by byte and returns after which byte counts the recorder grew.
std::vector<int> eventPositions(ReceiveAssembler& a, Recorder& r, const QByteArray& bytes)
{
    std::vector<int> at;
    for (int i = 0; i < bytes.size(); ++i) {
        const auto before = r.events.size();
        a.feedByte(bytes[i]);
        if (r.events.size() != before)
            at.push_back(i + 1);
    }
    return at;
}

Events runBytewise(const QByteArray& stream)
{
    Recorder r;
    ReceiveAssembler a(r);
    for (char b : stream)
        a.feedByte(b);
    return r.events;
}

} // namespace

TEST(ReceiveAssembler, EveryInboundMessageReachesItsHandlerWithItsValues)
{
    Recorder r;
    ReceiveAssembler a(r);
    for (std::size_t row = 0; row < kInboundMessages.size(); ++row) {
        const QByteArray bytes = sampleInbound(static_cast<Inbound>(row), 7);
        r.events.clear();
        ASSERT_EQ(a.feed(bytes), bytes.size());
        const std::string name = kInboundMessages[row].name;
        if (name == "gameEntry") {
            ASSERT_EQ(r.events.size(), 2u);
            EXPECT_EQ(r.events[0].rfind("gameEntryName", 0), 0u);
            EXPECT_EQ(r.events[1].rfind("gameEntryMap", 0), 0u);
        } else {
            ASSERT_EQ(r.events.size(), 1u) << name;
            EXPECT_EQ(r.events[0].substr(0, r.events[0].find(' ')), name);
        }
        EXPECT_EQ(a.receivedLength(), 0) << name;
    }
    // Values survive the trip exactly.
    Recorder values;
    ReceiveAssembler b(values);
    const PlayerUpdate p{7,    9000, -1, 300, 20, 39, 0, 5, -1, 250, QString::fromUtf8("Ёлка"),
                         -400, 50};
    b.feed(toClient::playerUpdate(p) + toClient::mapData({hex("0A0B0C")}) +
           toClient::cellUpdate({3, 4, 1234, 56, 11}) + toClient::gameInfo({3600, '1', 90}) +
           toClient::armyChangeNotice({6, -301}));
    ASSERT_EQ(values.players.size(), 1u);
    EXPECT_EQ(values.players[0], p);
    ASSERT_EQ(values.maps.size(), 1u);
    EXPECT_EQ(values.maps[0].file, hex("0A0B0C"));
    EXPECT_EQ(values.events[2], "cellUpdate 3 4 1234 56 11");
    EXPECT_EQ(values.events[3], "gameInfo 3600 1 90");
    EXPECT_EQ(values.events[4], "armyChangeNotice 6 -301");
}

TEST(ReceiveAssembler, SplitMessageIsHandledOnceAtItsLastByte)
{
    Recorder r;
    ReceiveAssembler a(r);
    const QByteArray text = toClient::textMessage({"TIME LEFT: 12"});
    EXPECT_EQ(eventPositions(a, r, text), std::vector<int>{int(text.size())});
    EXPECT_EQ(r.events, Events{"textMessage [TIME LEFT: 12]"});

    // Fixed-size messages complete exactly at their size.
    r.events.clear();
    EXPECT_EQ(eventPositions(a, r, toClient::cellUpdate({1, 2, 3, 4, 5})), std::vector<int>{22});
    EXPECT_EQ(eventPositions(a, r, toClient::gameInfo({1, '0', 2})), std::vector<int>{12});
    EXPECT_EQ(eventPositions(a, r, toClient::armyChangeNotice({1, 2})), std::vector<int>{10});
    EXPECT_EQ(eventPositions(a, r, toClient::stepNumber({1})), std::vector<int>{6});
    EXPECT_EQ(eventPositions(a, r, toClient::eventCame()), std::vector<int>{2});
}

TEST(ReceiveAssembler, BackToBackMessagesInOnePacketAreHandledInOrder)
{
    Recorder r;
    ReceiveAssembler a(r);
    const QByteArray packet = toClient::cellUpdate({1, 2, 3, 4, 5}) +
                              toClient::textMessage({"hi"}) + toClient::eventCame() +
                              toClient::youAre({2});
    EXPECT_EQ(a.feed(packet), packet.size());
    EXPECT_EQ(r.events,
              (Events{"cellUpdate 1 2 3 4 5", "textMessage [hi]", "eventCame", "youAre 2"}));
}

TEST(ReceiveAssembler, ZeroLengthStrings)
{
    Recorder r;
    ReceiveAssembler a(r);
    a.feed(hex("00 71 00 00  00 51 00 00  00 70 00 00  00 47 00 00 00 00 00 00 00 05"));
    EXPECT_EQ(r.events, (Events{"textMessage []", "mapEntry ", "playerJoined ", "gameEntryName ",
                                "gameEntryMap  5"}));
}

TEST(ReceiveAssembler, TextsAreDecodedAndEndAtAZeroByte)
{
    Recorder r;
    ReceiveAssembler a(r);
    a.feed(hex("00 71 00 05 CF F0 E8 E2 E5") + hex("00 71 00 05 61 62 00 63 64"));
    EXPECT_EQ(r.events, (Events{"textMessage [Приве]", "textMessage [ab]"}));
}

TEST(ReceiveAssembler, MapDataByItsAnnouncedLength)
{
    Recorder r;
    ReceiveAssembler a(r);
    EXPECT_EQ(a.mapDataLength(), kMapBeginDataLength);

    // N = 0 completes at length 6.
    EXPECT_EQ(eventPositions(a, r, hex("00 78 00 00 00 00")), std::vector<int>{6});
    EXPECT_EQ(r.events.back(), "mapData 0 ");
    EXPECT_EQ(a.mapDataLength(), 0);

    a.feed(toClient::mapBegin());
    EXPECT_EQ(a.mapDataLength(), kMapBeginDataLength);

    // The length is taken at byte 6, the message completes N bytes later.
    const QByteArray map = toClient::mapData({QByteArray(1627, 'k')});
    a.feed(map.left(5));
    EXPECT_EQ(a.mapDataLength(), kMapBeginDataLength);
    a.feed(map.mid(5, 1));
    EXPECT_EQ(a.mapDataLength(), 1627);
    r.events.clear();
    EXPECT_EQ(eventPositions(a, r, map.mid(6)), std::vector<int>{1627});
    ASSERT_EQ(r.maps.size(), 2u);
    EXPECT_EQ(r.maps[1].file, QByteArray(1627, 'k'));

    // The largest map fills the whole buffer.
    QByteArray largest(kMaxMapDataBytes, '\0');
    for (int i = 0; i < largest.size(); ++i)
        largest[i] = char(i * 7);
    a.feed(toClient::mapData({largest}) + toClient::listEnd());
    ASSERT_EQ(r.maps.size(), 3u);
    EXPECT_EQ(r.maps[2].file, largest);
    EXPECT_EQ(r.events.back(), "listEnd");
    EXPECT_TRUE(r.violations.empty());
}

TEST(ReceiveAssembler, GameEntryGivesTwoResultsFromOneCode)
{
    Recorder r;
    ReceiveAssembler a(r);
    const QByteArray entry = toClient::gameEntry({"Duel", "cross", 300});
    const int nameEnd = 4 + 4; // code, 00, 4, "Duel"
    for (int i = 0; i < nameEnd; ++i)
        a.feedByte(entry[i]);
    EXPECT_EQ(r.events, Events{"gameEntryName Duel"});
    // The code stays, the map part is assembled from offset 2.
    EXPECT_EQ(a.gameEntryPhase(), 1);
    EXPECT_EQ(a.receivedLength(), 2);
    EXPECT_EQ(a.receiveBuffer(), hex("00 47"));
    for (int i = nameEnd; i < entry.size() - 1; ++i)
        a.feedByte(entry[i]);
    EXPECT_EQ(r.events.size(), 1u);
    a.feedByte(entry.back());
    EXPECT_EQ(r.events, (Events{"gameEntryName Duel", "gameEntryMap cross 300"}));
    EXPECT_EQ(a.gameEntryPhase(), 0);
    EXPECT_EQ(a.receivedLength(), 0);
}

TEST(ReceiveAssembler, PlayerUpdateByItsNameLength)
{
    Recorder r;
    ReceiveAssembler a(r);
    PlayerUpdate p{2, 10, 20, 30, 40, 3, 4, 1, -1, 0, "", 5, 6};
    EXPECT_EQ(eventPositions(a, r, toClient::playerUpdate(p)), std::vector<int>{52});
    p.name = QString::fromUtf8("Иван");
    EXPECT_EQ(eventPositions(a, r, toClient::playerUpdate(p)), std::vector<int>{56});
    p.name = QString(127, QChar('n'));
    EXPECT_EQ(eventPositions(a, r, toClient::playerUpdate(p)), std::vector<int>{52 + 127});
    ASSERT_EQ(r.players.size(), 3u);
    EXPECT_EQ(r.players[0].name, "");
    EXPECT_EQ(r.players[1].name, QString::fromUtf8("Иван"));
    EXPECT_EQ(r.players[2], p);
}

TEST(ReceiveAssembler, IgnoredMessageOnlyResets)
{
    Recorder r;
    ReceiveAssembler a(r);
    a.feed(toClient::ignoredMessage() + toClient::youAre({4}));
    EXPECT_EQ(r.events, (Events{"ignoredMessage", "youAre 4"}));
    EXPECT_EQ(a.receivedLength(), 0);
    EXPECT_EQ(a.mapDataLength(), kMapBeginDataLength);
    EXPECT_EQ(a.gameEntryPhase(), 0);
}

TEST(ReceiveAssembler, FirstByteOfACodeIsNotExamined)
{
    Recorder r;
    ReceiveAssembler a(r);
    a.feed(hex("FF 45  7A 56"));
    EXPECT_EQ(r.events, (Events{"listEnd", "eventCame"}));
}

TEST(ReceiveAssembler, BlocksOfAnySizeGiveTheSameResultsAsSingleBytes)
{
    const QByteArray stream = wiretest::mixedStream(42, 600);
    const Events expected = runBytewise(stream);
    ASSERT_GT(expected.size(), 600u);

    std::mt19937 rng(9);
    for (int run = 0; run < 20; ++run) {
        Recorder r;
        ReceiveAssembler a(r);
        const int maxChunk = run < 10 ? 16 : 4096;
        for (qsizetype i = 0; i < stream.size();) {
            const qsizetype n = std::min<qsizetype>(
                std::uniform_int_distribution<int>(1, maxChunk)(rng), stream.size() - i);
            ASSERT_EQ(a.feed(QByteArrayView(stream).sliced(i, n)), n);
            i += n;
        }
        EXPECT_EQ(r.events, expected) << "run " << run;
    }
    Recorder whole;
    ReceiveAssembler a(whole);
    EXPECT_EQ(a.feed(stream), stream.size());
    EXPECT_EQ(whole.events, expected);
}

// ---- Violations ------------------------------------------------------------

TEST(ReceiveAssemblerViolations, UnknownCodeStopsAtItsSecondByte)
{
    Recorder r;
    ReceiveAssembler a(r);
    const QByteArray block = toClient::eventCame() + hex("00 7A") + toClient::listEnd();
    EXPECT_EQ(a.feed(block), 4);
    EXPECT_EQ(r.events, (Events{"eventCame", "violation Unknown message code 0x7A."}));
    EXPECT_EQ(a.lastViolation().kind, ProtocolViolation::Kind::UnknownCode);
    EXPECT_EQ(a.lastViolation().value, 0x7A);
    EXPECT_TRUE(a.lastViolation().text(true).contains("0x7A"));
    EXPECT_TRUE(a.lastViolation().text(true).startsWith(QString::fromUtf8("Неизвестный")));
    EXPECT_TRUE(a.isStopped());

    // Nothing more is taken, however much comes.
    EXPECT_EQ(a.feed(QByteArray(50000, 'q')), 0);
    EXPECT_FALSE(a.feedByte('\0'));
    EXPECT_EQ(a.receivedLength(), 2);
    EXPECT_EQ(r.events.size(), 2u);

    // A new connection starts afresh.
    a.reset();
    EXPECT_FALSE(a.isStopped());
    EXPECT_EQ(a.lastViolation().kind, ProtocolViolation::Kind::None);
    EXPECT_EQ(a.feed(toClient::listEnd()), 2);
    EXPECT_EQ(r.events.back(), "listEnd");
}

TEST(ReceiveAssemblerViolations, LongStringLengthIsCaughtTheMomentItArrives)
{
    struct Case
    {
        const char* what;
        QByteArray prefix; // everything before the length byte
    };
    const QByteArray playerPrefix = toClient::playerUpdate({}).left(43);
    const std::vector<Case> cases = {
        {"textMessage", hex("00 71 00")},
        {"mapEntry", hex("00 51 00")},
        {"playerJoined", hex("00 70 00")},
        {"gameEntry name", hex("00 47 00")},
        {"gameEntry map", hex("00 47 00 01 67 00")},
        {"playerUpdate name", playerPrefix},
    };
    for (const Case& c : cases) {
        for (int length : {128, 0xC8, 0xF8, 0xFF}) {
            Recorder r;
            ReceiveAssembler a(r);
            for (char b : c.prefix)
                a.feedByte(b);
            EXPECT_TRUE(r.violations.empty()) << c.what;
            // 0xF8 read as signed would be -8 and complete at once.
            EXPECT_TRUE(a.feedByte(char(length)));
            ASSERT_EQ(r.violations.size(), 1u) << c.what << " " << length;
            EXPECT_EQ(a.lastViolation().kind, ProtocolViolation::Kind::StringLength);
            EXPECT_EQ(a.lastViolation().value, length);
            EXPECT_TRUE(r.violations[0].contains(QString::number(length))) << c.what;
            EXPECT_EQ(r.events.size() - r.violations.size(),
                      std::string(c.what) == "gameEntry map" ? 1u : 0u)
                << c.what;
            EXPECT_EQ(a.feed(QByteArray(300, 'x')), 0);
        }
        // 127 is the longest string a client reads.
        Recorder r;
        ReceiveAssembler a(r);
        a.feed(c.prefix + char(127) + QByteArray(127, 'y'));
        EXPECT_TRUE(r.violations.empty()) << c.what;
    }
}

TEST(ReceiveAssemblerViolations, MapDataLengthMustFitTheBuffer)
{
    for (const char* length : {"FF FF FF FF", "00 00 2E DB", "7F FF FF FF", "80 00 00 00"}) {
        Recorder r;
        ReceiveAssembler a(r);
        const QByteArray head = hex("00 78") + hex(length);
        for (int i = 0; i < 5; ++i)
            a.feedByte(head[i]);
        EXPECT_TRUE(r.violations.empty());
        a.feedByte(head[5]);
        ASSERT_EQ(r.violations.size(), 1u) << length;
        EXPECT_EQ(a.lastViolation().kind, ProtocolViolation::Kind::MapDataLength);
        EXPECT_EQ(a.feed(QByteArray(kReceiveBufferSize, 'm')), 0);
        EXPECT_EQ(a.receivedLength(), 6);
    }
    Recorder r;
    ReceiveAssembler a(r);
    a.feed(hex("00 78 00 00 2E DA") + QByteArray(kMaxMapDataBytes, 'm')); // 11994
    EXPECT_TRUE(r.violations.empty());
    ASSERT_EQ(r.maps.size(), 1u);
    EXPECT_EQ(r.maps[0].file.size(), kMaxMapDataBytes);
}

TEST(ReceiveAssemblerViolations, AHandlerMayResetInsideTheViolation)
{
    Recorder r;
    ReceiveAssembler a(r);
    r.onEvent = [&](const std::string& e) {
        if (e.rfind("violation", 0) == 0)
            a.reset(); // the error path of a new connection-to-be
    };
    const QByteArray block = hex("00 01") + toClient::listEnd();
    EXPECT_EQ(a.feed(block), 2);
    EXPECT_EQ(r.events.size(), 1u);
    EXPECT_EQ(a.feed(toClient::listEnd()), 2);
    EXPECT_EQ(r.events.back(), "listEnd");
}

// ---- Stopping, resetting, re-entry -----------------------------------------

TEST(ReceiveAssembler, HandlerThatStopsEndsTheBlockRightThere)
{
    Recorder r;
    ReceiveAssembler a(r);
    r.onEvent = [&](const std::string& e) {
        if (e == "gameOver")
            a.stop(); // the client closes the connection
    };
    const QByteArray block = toClient::eventCame() + toClient::gameOver() +
                             toClient::cellUpdate({1, 1, 1, 1, 1}) + toClient::textMessage({"x"});
    EXPECT_EQ(a.feed(block), 4);
    EXPECT_EQ(r.events, (Events{"eventCame", "gameOver"}));
    EXPECT_EQ(a.feed(toClient::eventCame()), 0);
    a.reset();
    EXPECT_EQ(a.feed(toClient::eventCame()), 2);
    EXPECT_EQ(r.events.back(), "eventCame");
}

TEST(ReceiveAssembler, HandlerThatResetsLeavesNothingOfTheOldConnection)
{
    Recorder r;
    ReceiveAssembler a(r);
    r.onEvent = [&](const std::string& e) {
        if (e == "gameOver")
            a.reset();
    };
    // The rest of the block starts a gameEntry that must not carry over.
    const QByteArray block = toClient::gameOver() + hex("00 47 00 02 61");
    EXPECT_EQ(a.feed(block), 2);
    EXPECT_EQ(a.receivedLength(), 0);
    EXPECT_EQ(a.feed(toClient::textMessage({"new"})), 7);
    EXPECT_EQ(r.events, (Events{"gameOver", "textMessage [new]"}));
}

TEST(ReceiveAssembler, ResetDropsAHalfAssembledMessage)
{
    Recorder r;
    ReceiveAssembler a(r);
    a.feed(toClient::playerUpdate({}).left(30));
    a.reset();
    EXPECT_EQ(a.receivedLength(), 0);
    a.feed(toClient::gameEntry({"g", "m", 1}).left(6)); // into the map part
    EXPECT_EQ(a.gameEntryPhase(), 1);
    a.reset();
    EXPECT_EQ(a.gameEntryPhase(), 0);
    a.feed(toClient::mapData({QByteArray(100, 'a')}).left(50));
    EXPECT_EQ(a.mapDataLength(), 100);
    a.reset();
    EXPECT_EQ(a.mapDataLength(), kMapBeginDataLength);
    r.events.clear();
    a.feed(toClient::cellUpdate({1, 2, 3, 4, 5}));
    EXPECT_EQ(r.events, Events{"cellUpdate 1 2 3 4 5"});
}

TEST(ReceiveAssembler, BytesFedFromInsideAHandlerFollowTheBlock)
{
    Recorder r;
    ReceiveAssembler a(r);
    // A modal window in a handler lets the socket deliver the next block.
    r.onEvent = [&](const std::string& e) {
        if (e == "textMessage [first]") {
            EXPECT_EQ(a.feed(toClient::youAre({1}) + toClient::textMessage({"third"})), 15);
        }
    };
    const QByteArray block = toClient::textMessage({"first"}) + toClient::textMessage({"second"});
    EXPECT_EQ(a.feed(block), block.size());
    EXPECT_EQ(r.events, (Events{"textMessage [first]", "textMessage [second]", "youAre 1",
                                "textMessage [third]"}));

    // Queued bytes go when the handler stops.
    Recorder s;
    ReceiveAssembler b(s);
    s.onEvent = [&](const std::string& e) {
        if (e == "gameOver") {
            b.feed(toClient::eventCame());
            b.stop();
        }
    };
    b.feed(toClient::gameOver() + toClient::listEnd());
    EXPECT_EQ(s.events, Events{"gameOver"});
}

TEST(ReceiveAssembler, AfterAResetInsideAHandlerNewBytesAreTakenAtOnce)
{
    Recorder r;
    ReceiveAssembler a(r);
    r.onEvent = [&](const std::string& e) {
        if (e == "gameOver") {
            a.reset();
            EXPECT_EQ(a.feed(toClient::listEnd()), 2); // a new connection's bytes
        }
    };
    EXPECT_EQ(a.feed(toClient::gameOver() + toClient::eventCame()), 2);
    EXPECT_EQ(r.events, (Events{"gameOver", "listEnd"}));
}
