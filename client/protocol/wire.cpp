#include "wire.h"

#include <algorithm>
#include <QStringDecoder>

namespace vorlan {

namespace {

// The checks below hold the tables to what the assemblers rely on.

template <std::size_t N> constexpr bool uniqueKeys(const std::array<MessageSpec, N>& table)
{
    for (std::size_t a = 0; a < N; ++a)
        for (std::size_t b = a + 1; b < N; ++b) {
            const auto keyA = table[a].extraZero ? 0 : table[a].code;
            const auto keyB = table[b].extraZero ? 0 : table[b].code;
            if (keyA == keyB)
                return false;
        }
    return true;
}

constexpr bool validLayout(const char* t)
{
    int parts = 0;
    for (; *t; ++t) {
        switch (*t) {
        case 'i':
        case 'b':
        case 'c':
        case 'z':
        case 's':
        case 'x':
            break;
        case '=':
            if (!t[1])
                return false;
            ++t;
            break;
        case '|':
            if (++parts > 1)
                return false;
            break;
        default:
            return false;
        }
    }
    return true;
}

template <std::size_t N> constexpr bool validLayouts(const std::array<MessageSpec, N>& table)
{
    for (const auto& m : table)
        if (!validLayout(m.layout))
            return false;
    return true;
}

// A string-carrying inbound message other than mapData must fit the buffer
// with its longest strings.
constexpr bool inboundFitsBuffer()
{
    for (const auto& m : kInboundMessages) {
        int strings = 0;
        for (const char* t = m.layout; *t; ++t)
            strings += *t == 's';
        if (minimumSize(m) + strings * kMaxInboundStringBytes > kReceiveBufferSize)
            return false;
    }
    return true;
}

// A code is an ASCII letter or digit.
template <std::size_t N> constexpr bool alphanumericCodes(const std::array<MessageSpec, N>& table)
{
    for (const auto& m : table) {
        const char c = m.code;
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

// A blob is a message's only field: its encoder and framing allow it the
// whole buffer after its header.
template <std::size_t N> constexpr bool blobsAlone(const std::array<MessageSpec, N>& table)
{
    for (const auto& m : table)
        for (const char* t = m.layout; *t; ++t)
            if (*t == 'x' && (t != m.layout || t[1] || m.extraZero))
                return false;
    return true;
}

// A string's own limit is within what its receiver reads: each row's fields
// are checked in a scope that knows its receiver's limit.
#define INT(...)
#define BYTE_INT(...)
#define CHAR(...)
#define STRING(member)
#define STRING_UPTO(member, max) static_assert((max) > 0 && (max) <= kReceiverLimit, #member);
#define BLOB(member)
#define ZERO()
#define FIXED(letter)
#define TO_CLIENT(name, code, Struct, fields)                                                      \
    struct name##ToClientLimits                                                                    \
    {                                                                                              \
        static constexpr int kReceiverLimit = kMaxInboundStringBytes;                              \
        fields                                                                                     \
    };
#define TO_CLIENT_TWO_PARTS(name, code, Struct, first, FirstStruct, firstFields, second,           \
                            SecondStruct, secondFields)                                            \
    TO_CLIENT(name, code, Struct, firstFields secondFields)
#define TO_SERVER(name, code, flags, Struct, fields)                                               \
    struct name##ToServerLimits                                                                    \
    {                                                                                              \
        static constexpr int kReceiverLimit = kMaxOutboundStringBytes;                             \
        fields                                                                                     \
    };
#include "messages.def"

static_assert(alphanumericCodes(kInboundMessages) && alphanumericCodes(kOutboundMessages));
static_assert(blobsAlone(kInboundMessages) && blobsAlone(kOutboundMessages));
static_assert(uniqueKeys(kInboundMessages) && uniqueKeys(kOutboundMessages));
static_assert(validLayouts(kInboundMessages) && validLayouts(kOutboundMessages));
static_assert(inboundFitsBuffer());
static_assert(minimumSize(spec(Inbound::mapData)) == kMapDataHeaderBytes);
static_assert(minimumSize(spec(Inbound::playerUpdate)) == 52);
static_assert(minimumSize(spec(Outbound::hello)) == 3);
static_assert(minimumSize(spec(Outbound::startedAck)) == 4);
static_assert(minimumSize(spec(Outbound::createGame)) == 12);

// Windows-1251 as a table, built once from Qt's converter: the wire is
// single-byte, so a lookup per byte is exact and costs nothing per message.
struct Cp1251
{
    char16_t toUnicode[256];
    // Sorted (unicode, byte) pairs of the upper half, for encoding.
    std::array<std::pair<char16_t, uint8_t>, 128> fromUnicode;

    Cp1251()
    {
        QStringDecoder decoder("windows-1251");
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            const QString s = decoder.isValid() ? decoder.decode(QByteArrayView(&c, 1)) : QString();
            // Without the converter the upper half still decodes to something
            // visible rather than vanishing.
            toUnicode[b] = s.size() == 1 ? s[0].unicode() : (b < 0x80 ? char16_t(b) : u'?');
        }
        for (int b = 0x80; b < 256; ++b)
            fromUnicode[b - 0x80] = {toUnicode[b], static_cast<uint8_t>(b)};
        std::sort(fromUnicode.begin(), fromUnicode.end());
    }

    char encode(char32_t u) const
    {
        if (u < 0x80)
            return static_cast<char>(u);
        if (u > 0xFFFF)
            return '?';
        const auto it = std::lower_bound(fromUnicode.begin(), fromUnicode.end(),
                                         std::pair<char16_t, uint8_t>{char16_t(u), 0});
        if (it != fromUnicode.end() && it->first == u)
            return static_cast<char>(it->second);
        return '?';
    }
};

const Cp1251& cp1251()
{
    static const Cp1251 table;
    return table;
}

} // namespace

QByteArray toWireText(QStringView text, int maxBytes)
{
    const Cp1251& t = cp1251();
    QByteArray out;
    out.reserve(std::min<qsizetype>(text.size(), maxBytes));
    for (qsizetype i = 0; i < text.size() && out.size() < maxBytes; ++i) {
        char32_t u = text[i].unicode();
        // A surrogate pair is one character, and so one '?'.
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            u = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        out.append(t.encode(u));
    }
    return out;
}

QString fromWireText(QByteArrayView bytes)
{
    const Cp1251& t = cp1251();
    const qsizetype zero = bytes.indexOf('\0');
    const qsizetype n = zero < 0 ? bytes.size() : zero;
    QString out(n, Qt::Uninitialized);
    QChar* dst = out.data();
    const auto* src = reinterpret_cast<const uint8_t*>(bytes.data());
    for (qsizetype i = 0; i < n; ++i)
        dst[i] = QChar(t.toUnicode[src[i]]);
    return out;
}

const MessageSpec* outboundSpecOf(const QByteArray& message)
{
    for (const MessageSpec& m : kOutboundMessages) {
        const qsizetype at = m.extraZero ? 2 : 1;
        if (message.size() > at && message[at] == m.code && message[0] == 0 &&
            (!m.extraZero || message[1] == 0))
            return &m;
    }
    return nullptr;
}

} // namespace vorlan
