// Every message declared in messages.def, encoded, framed and decoded by the
// side that receives it: what arrives is what was sent, at the message's
// last byte. The cases come from the declarations, so a new message is
// tested the moment it is declared.

#include "test_wire_support.h"

#include <any>
#include <gtest/gtest.h>

using namespace vorlan;
using wiretest::Filler;

namespace {

// Handlers that keep what they are given: a struct, or the name of a message
// without fields. A violation leaves nothing.
struct ClientSide : ProtocolHandler
{
    std::vector<std::any> got;
#define TO_CLIENT(name, code, Struct, fields)                                                      \
    void name(const Struct& m) override                                                            \
    {                                                                                              \
        got.emplace_back(m);                                                                       \
    }
#define TO_CLIENT_CODE_ONLY(name, code)                                                            \
    void name() override                                                                           \
    {                                                                                              \
        got.emplace_back(std::string(#name));                                                      \
    }
#define TO_CLIENT_TWO_PARTS(name, code, Struct, first, FirstStruct, firstFields, second,           \
                            SecondStruct, secondFields)                                            \
    void first(const FirstStruct& m) override                                                      \
    {                                                                                              \
        got.emplace_back(m);                                                                       \
    }                                                                                              \
    void second(const SecondStruct& m) override                                                    \
    {                                                                                              \
        got.emplace_back(m);                                                                       \
    }
#include "messages.def"
};

struct ServerSide : ClientMessageHandler
{
    std::vector<std::any> got;
#define TO_SERVER(name, code, flags, Struct, fields)                                               \
    void name(const Struct& m) override                                                            \
    {                                                                                              \
        got.emplace_back(m);                                                                       \
    }
#define TO_SERVER_CODE_ONLY(name, code, flags, fixedBytes)                                         \
    void name() override                                                                           \
    {                                                                                              \
        got.emplace_back(std::string(#name));                                                      \
    }
#include "messages.def"
};

template <typename T> bool holds(const std::any& a, const T& want)
{
    const T* p = std::any_cast<T>(&a);
    return p && *p == want;
}

// Feeds all but the last byte, then the last: returns what was handed on
// before it and in all.
template <typename Assembler, typename Side>
std::pair<std::size_t, std::vector<std::any>> receive(const QByteArray& bytes)
{
    Side side;
    Assembler a(side);
    EXPECT_EQ(a.feed(bytes.chopped(1)), bytes.size() - 1);
    const std::size_t before = side.got.size();
    EXPECT_TRUE(a.feedByte(bytes.back()));
    EXPECT_EQ(a.receivedLength(), 0);
    return {before, side.got};
}

// The encoded message starts with the declared code and, with every field
// at its default, is as long as the table's layout says.
void checkBytes(const MessageSpec& spec, const QByteArray& bytes, char code, bool defaults)
{
    EXPECT_EQ(bytes[spec.extraZero ? 2 : 1], code) << spec.name;
    if (defaults) {
        EXPECT_EQ(bytes.size(), minimumSize(spec)) << spec.name;
    }
}

// Round 0: every field at its default, the message at its table size.
// Round 1: varied values. Round 2: every text and the map file at its limit.
constexpr int kRounds = 3;

} // namespace

#include "fieldfillers.inc"

TEST(MessageDeclarations, EveryServerMessageArrivesAsItWasSent)
{
    for (int round = 0; round < kRounds; ++round) {
        Filler g(uint32_t(round), round == 2);
        [[maybe_unused]] const int limit = kMaxInboundStringBytes;
#define TO_CLIENT(name, code, Struct, fields)                                                      \
    {                                                                                              \
        Struct m;                                                                                  \
        if (round > 0) {                                                                           \
            fields                                                                                 \
        }                                                                                          \
        const QByteArray bytes = toClient::name(m);                                                \
        checkBytes(spec(Inbound::name), bytes, code, round == 0);                                  \
        const auto [before, got] = receive<ReceiveAssembler, ClientSide>(bytes);                   \
        EXPECT_EQ(before, 0u) << #name;                                                            \
        ASSERT_EQ(got.size(), 1u) << #name;                                                        \
        EXPECT_TRUE(holds(got[0], m)) << #name << " round " << round;                              \
    }
#define TO_CLIENT_CODE_ONLY(name, code)                                                            \
    {                                                                                              \
        const QByteArray bytes = toClient::name();                                                 \
        checkBytes(spec(Inbound::name), bytes, code, round == 0);                                  \
        const auto [before, got] = receive<ReceiveAssembler, ClientSide>(bytes);                   \
        EXPECT_EQ(before, 0u) << #name;                                                            \
        ASSERT_EQ(got.size(), 1u) << #name;                                                        \
        EXPECT_TRUE(holds(got[0], std::string(#name))) << #name;                                   \
    }
// Each part arrives with the values the whole was given.
#define TO_CLIENT_TWO_PARTS(name, code, Struct, first, FirstStruct, firstFields, second,           \
                            SecondStruct, secondFields)                                            \
    {                                                                                              \
        Struct m;                                                                                  \
        FirstStruct part1;                                                                         \
        SecondStruct part2;                                                                        \
        if (round > 0) {                                                                           \
            const Filler start = g;                                                                \
            firstFields secondFields g = start;                                                    \
            {                                                                                      \
                auto& m = part1;                                                                   \
                firstFields                                                                        \
            }                                                                                      \
            {                                                                                      \
                auto& m = part2;                                                                   \
                secondFields                                                                       \
            }                                                                                      \
        }                                                                                          \
        const QByteArray bytes = toClient::name(m);                                                \
        checkBytes(spec(Inbound::name), bytes, code, round == 0);                                  \
        const auto [before, got] = receive<ReceiveAssembler, ClientSide>(bytes);                   \
        EXPECT_EQ(before, 1u) << #name;                                                            \
        ASSERT_EQ(got.size(), 2u) << #name;                                                        \
        EXPECT_TRUE(holds(got[0], part1)) << #name << " round " << round;                          \
        EXPECT_TRUE(holds(got[1], part2)) << #name << " round " << round;                          \
    }
#include "messages.def"
    }
}

#include "fieldfillers.inc"

TEST(MessageDeclarations, EveryClientMessageArrivesAsItWasSent)
{
    for (int round = 0; round < kRounds; ++round) {
        Filler g(uint32_t(round), round == 2);
        [[maybe_unused]] const int limit = kMaxOutboundStringBytes;
#define TO_SERVER(name, code, flags, Struct, fields)                                               \
    {                                                                                              \
        Struct m;                                                                                  \
        if (round > 0) {                                                                           \
            fields                                                                                 \
        }                                                                                          \
        const QByteArray bytes = name(m);                                                          \
        checkBytes(spec(Outbound::name), bytes, code, round == 0);                                 \
        const auto [before, got] = receive<ClientMessageAssembler, ServerSide>(bytes);             \
        EXPECT_EQ(before, 0u) << #name;                                                            \
        ASSERT_EQ(got.size(), 1u) << #name;                                                        \
        EXPECT_TRUE(holds(got[0], m)) << #name << " round " << round;                              \
    }
#define TO_SERVER_CODE_ONLY(name, code, flags, fixedBytes)                                         \
    {                                                                                              \
        const QByteArray bytes = name();                                                           \
        checkBytes(spec(Outbound::name), bytes, code, round == 0);                                 \
        const auto [before, got] = receive<ClientMessageAssembler, ServerSide>(bytes);             \
        EXPECT_EQ(before, 0u) << #name;                                                            \
        ASSERT_EQ(got.size(), 1u) << #name;                                                        \
        EXPECT_TRUE(holds(got[0], std::string(#name))) << #name;                                   \
    }
#include "messages.def"
    }
}
