#pragma once
// Wire primitives of the game protocol: the limits, the text encoding and the
// one table of every message in both directions. Framing (assembler.cpp),
// encoders and tests all read the tables below, so a code or a layout is
// written down exactly once.
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

// Server to client. Order of the rows = values of Inbound. Only append.
enum class Inbound : uint8_t
{
    stepNumber,
    mapBegin,
    mapData,
    cellUpdate,
    listEnd,
    gameOver,
    gameEntry,
    leaveIfMoreNotice,
    youAre,
    playerUpdate,
    mapEntry,
    gameInfo,
    eventCame,
    roundToNotice,
    ignoredMessage,
    gameStart,
    playerJoined,
    textMessage,
    armyChangeNotice,
};

inline constexpr std::array<MessageSpec, 19> kInboundMessages{{
    {'0', "stepNumber", "i"},
    {'A', "mapBegin", ""},
    {'x', "mapData", "x"},
    {'B', "cellUpdate", "iiiii"}, // x, y, army, gold, kind
    {'E', "listEnd", ""},
    {'F', "gameOver", ""},
    {'G', "gameEntry", "s|si"}, // game name | map name, game number
    {'L', "leaveIfMoreNotice", "i"},
    {'N', "youAre", "i"},
    {'P', "playerUpdate", "iiiiiiiiiisii"}, // see PlayerUpdate
    {'Q', "mapEntry", "s"},
    {'T', "gameInfo", "ici"}, // elapsed seconds, type, minutes
    {'V', "eventCame", ""},
    {'Y', "roundToNotice", "i"},
    {'e', "ignoredMessage", ""},
    {'m', "gameStart", "i"},
    {'p', "playerJoined", "s"},
    {'q', "textMessage", "s"},
    {'u', "armyChangeNotice", "ii"}, // player, change
}};

// Client to server. Order of the rows = values of Outbound. Only append.
enum class Outbound : uint8_t
{
    hello,
    listGamesRequest,
    joinGame,
    createGame,
    mapReady,
    startGame,
    gameSettings,
    startedAck,
    step,
    chat,
    market,
    pauseToggle,
};

inline constexpr std::array<MessageSpec, 12> kOutboundMessages{{
    {'M', "hello", "", false, true}, // 00 00 4D
    {'R', "listGamesRequest", ""},
    {'J', "joinGame", "bsi"},    // game number, player name, emblem
    {'S', "createGame", "sssi"}, // game, map, player name, emblem
    {'f', "mapReady", ""},
    {'m', "startGame", "b"},      // speed
    {'t', "gameSettings", "ci"},  // type, minutes
    {'T', "startedAck", "z=Z"},   // 00 54 00 5A
    {'s', "step", "ci", true},    // sub-code, argument
    {'j', "chat", "is"},          // recipient, text
    {'K', "market", "cii", true}, // operation, quantity, price
    {'0', "pauseToggle", ""},
}};

constexpr const MessageSpec& spec(Inbound m)
{
    return kInboundMessages[static_cast<std::size_t>(m)];
}
constexpr const MessageSpec& spec(Outbound m)
{
    return kOutboundMessages[static_cast<std::size_t>(m)];
}

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
