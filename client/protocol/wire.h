#pragma once
// Wire primitives of the game protocol: the limits, the text encoding and the
// tables of every message in both directions, built from messages.def.
// Framing (assembler.cpp), encoders and tests all read the tables below, so a
// code or a layout is written down exactly once.
//
// "Inbound" and "outbound" are seen from the client: inbound messages go from
// the server to the client, outbound ones from the client to the server.

#include <array>
#include <cstddef>
#include <cstdint>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vorlan {

// ---- Wire limits -----------------------------------------------------------

constexpr int kServerPort = 8080;         ///< TCP port of the game server
constexpr int kCodeBytes = 2;             ///< every message starts with a 16-bit code
constexpr int kReceiveBufferSize = 12000; ///< the client assembles one inbound message in this
constexpr int kMapDataHeaderBytes = 6;    ///< code and the int N ahead of the map file in mapData
constexpr int kMaxMapDataBytes = kReceiveBufferSize - kMapDataHeaderBytes; ///< 11994
constexpr int kMapBeginDataLength = 2000;    ///< mapDataLength as set by every mapBegin
constexpr int kMaxInboundStringBytes = 127;  ///< the client reads a length byte as signed 8-bit
constexpr int kMaxOutboundStringBytes = 255; ///< one length byte, read unsigned by the server
constexpr int kMaxChatTextBytes = 123; ///< the chat sender's buffer is 124 bytes, zero included

// ---- Texts -----------------------------------------------------------------

// Texts travel as single-byte Windows-1251. Characters without a Windows-1251
// byte become '?'. The result is cut to maxBytes.
QByteArray toWireText(QStringView text, int maxBytes = kMaxOutboundStringBytes);

// Decodes Windows-1251 bytes. A received text ends at its first zero byte.
QString fromWireText(QByteArrayView bytes);

// ---- The message tables ----------------------------------------------------

// A message's layout after its code, one letter per field:
//   i   int: 32-bit signed, big-endian
//   b   byte-int: an int whose low byte carries the value (written 00 00 00 v)
//   c   a zero byte, then one ASCII character
//   z   a zero byte
//   =X  the byte X (a fixed trailer)
//   s   string: 00, length n, then n bytes of Windows-1251 text
//   x   int N, then N bytes (the map file of mapData)
//   |   end of the first part of a message that is assembled in two parts:
//       the first part is handed on by itself, then the rest is assembled
//       again from offset 2 with the code kept in place (gameEntry)
struct MessageSpec
{
    char code;              ///< second byte of the code (the first is 0x00)
    const char* name;       ///< the message's name in code, tests and logs
    const char* layout;     ///< fields after the code, as above
    bool stepGated = false; ///< sent only under the step guard (sendStepGated)
    bool extraZero = false; ///< one more zero byte goes ahead of the code (hello)
};

// Flags of a client-to-server row in messages.def.
enum MessageFlag : uint8_t
{
    kPlain = 0,
    kStepGated = 1, ///< MessageSpec::stepGated
    kExtraZero = 2, ///< MessageSpec::extraZero
};

// The rows of messages.def, in order: Inbound and Outbound name them, the
// tables give each one's code and layout.

#define TO_CLIENT(name, ...) name,
#define TO_CLIENT_CODE_ONLY(name, ...) name,
#define TO_CLIENT_TWO_PARTS(name, ...) name,
enum class Inbound : uint8_t
{
#include "messages.def"
};

#define TO_SERVER(name, ...) name,
#define TO_SERVER_CODE_ONLY(name, ...) name,
enum class Outbound : uint8_t
{
#include "messages.def"
};

// Each field gives its layout letters (fieldletters.inc); the literals of a
// row join into its layout string.
#include "fieldletters.inc"
#define TO_CLIENT(name, code, Struct, fields) MessageSpec{code, #name, "" fields},
#define TO_CLIENT_CODE_ONLY(name, code) MessageSpec{code, #name, ""},
#define TO_CLIENT_TWO_PARTS(name, code, Struct, first, FirstStruct, firstFields, second,           \
                            SecondStruct, secondFields)                                            \
    MessageSpec{code, #name, "" firstFields "|" secondFields},
inline constexpr std::array kInboundMessages{
#include "messages.def"
};

#include "fieldletters.inc"
#define TO_SERVER(name, code, flags, Struct, fields)                                               \
    MessageSpec{code, #name, "" fields, ((flags)&kStepGated) != 0, ((flags)&kExtraZero) != 0},
#define TO_SERVER_CODE_ONLY(name, code, flags, fixedBytes)                                         \
    MessageSpec{code, #name, "" fixedBytes, ((flags)&kStepGated) != 0, ((flags)&kExtraZero) != 0},
inline constexpr std::array kOutboundMessages{
#include "messages.def"
};

constexpr const MessageSpec& spec(Inbound m)
{
    return kInboundMessages[static_cast<std::size_t>(m)];
}
constexpr const MessageSpec& spec(Outbound m)
{
    return kOutboundMessages[static_cast<std::size_t>(m)];
}

// The row of a whole client message, found by its code; null for bytes that
// begin no client message.
const MessageSpec* outboundSpecOf(const QByteArray& message);

// Size of a message with every string and the map file empty.
constexpr int minimumSize(const MessageSpec& m)
{
    int size = (m.extraZero ? 1 : 0) + kCodeBytes;
    for (const char* t = m.layout; *t; ++t) {
        switch (*t) {
        case 'i':
        case 'b':
        case 'x':
            size += 4;
            break;
        case 'c':
        case 's':
            size += 2;
            break;
        case 'z':
            size += 1;
            break;
        case '=':
            size += 1;
            ++t;
            break;
        default: // '|'
            break;
        }
    }
    return size;
}

namespace detail {

// Code byte -> row of a table, -1 for a code that is not in it. The byte
// looked up is the one at offset 1, which is 0x00 for a message sent with
// an extra zero ahead of its code.
template <std::size_t N>
constexpr std::array<int8_t, 256> codeIndex(const std::array<MessageSpec, N>& table)
{
    std::array<int8_t, 256> index{};
    for (auto& slot : index)
        slot = -1;
    for (std::size_t row = 0; row < N; ++row) {
        const auto key = table[row].extraZero ? 0 : static_cast<uint8_t>(table[row].code);
        index[key] = static_cast<int8_t>(row);
    }
    return index;
}

inline constexpr auto kInboundIndex = codeIndex(kInboundMessages);
inline constexpr auto kOutboundIndex = codeIndex(kOutboundMessages);

} // namespace detail

// Row of the inbound message with this code byte, or -1.
constexpr int inboundRow(uint8_t code)
{
    return detail::kInboundIndex[code];
}
// Row of the outbound message whose byte at offset 1 is this one, or -1.
constexpr int outboundRow(uint8_t codeByte)
{
    return detail::kOutboundIndex[codeByte];
}

} // namespace vorlan
