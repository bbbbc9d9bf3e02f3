#include "encoders.h"

#include "wire.h"

#include <algorithm>
#include <QtEndian>

namespace vorlan {

namespace {

// Builds one message field by field, starting with the code from the table.
// Strings are cut to the side's limit unless a field sets a smaller one.
class Writer
{
public:
    Writer(const MessageSpec& m, int stringLimit)
        : stringLimit_(stringLimit), minimumSize_(minimumSize(m))
    {
        bytes_.reserve(minimumSize_);
        if (m.extraZero)
            bytes_.append('\0');
        bytes_.append('\0');
        bytes_.append(m.code);
    }

    void int32(int32_t v)
    {
        char be[4];
        qToBigEndian(v, be);
        bytes_.append(be, 4);
    }

    void byteInt(int32_t v)
    {
        bytes_.append(3, '\0');
        bytes_.append(static_cast<char>(v & 0xFF));
    }

    void zeroChar(char c)
    {
        bytes_.append('\0');
        bytes_.append(c);
    }

    void byte(char c) { bytes_.append(c); }

    // maxBytes: a limit of the field's own, below the side's.
    void string(const QString& text, int maxBytes = kMaxOutboundStringBytes)
    {
        const QByteArray wire = toWireText(text, std::min(maxBytes, stringLimit_));
        grow(wire.size());
        bytes_.append('\0');
        bytes_.append(static_cast<char>(wire.size()));
        bytes_.append(wire);
    }

    // A blob longer than a receive buffer can take spoils the message.
    void blob(const QByteArray& data)
    {
        if (data.size() > kMaxMapDataBytes)
            spoiled_ = true;
        if (spoiled_)
            return;
        grow(data.size());
        int32(static_cast<int32_t>(data.size()));
        bytes_.append(data);
    }

    QByteArray done() { return spoiled_ ? QByteArray() : std::move(bytes_); }

private:
    // Room for the whole message as far as its strings are known.
    void grow(qsizetype bytes)
    {
        variable_ += bytes;
        bytes_.reserve(minimumSize_ + variable_);
    }

    QByteArray bytes_;
    const int stringLimit_;
    const int minimumSize_;
    qsizetype variable_ = 0; ///< string and blob bytes so far
    bool spoiled_ = false;
};

} // namespace

// Each row of messages.def becomes an encoder that writes the fields of its
// struct m, in order, into the Writer w.

#include "fieldwriters.inc"
#define TO_SERVER(name, code, flags, Struct, fields)                                               \
    QByteArray name(const Struct& m)                                                               \
    {                                                                                              \
        Writer w(spec(Outbound::name), kMaxOutboundStringBytes);                                   \
        fields return w.done();                                                                    \
    }
#define TO_SERVER_CODE_ONLY(name, code, flags, fixedBytes)                                         \
    QByteArray name()                                                                              \
    {                                                                                              \
        Writer w(spec(Outbound::name), kMaxOutboundStringBytes);                                   \
        fixedBytes return w.done();                                                                \
    }
#include "messages.def"

QByteArray joinGame(int32_t gameNumber, const QString& playerName, int32_t emblem)
{
    return joinGame(JoinGame{gameNumber, playerName, emblem});
}

QByteArray createGame(const QString& gameName, const QString& mapName, const QString& playerName,
                      int32_t emblem)
{
    return createGame(CreateGame{gameName, mapName, playerName, emblem});
}

QByteArray startGame(int32_t speed)
{
    return startGame(StartGame{speed});
}

QByteArray gameSettings(int gameTypeIndex, int32_t minutes)
{
    return gameSettings(GameSettings{static_cast<char>('0' + gameTypeIndex), minutes});
}

QByteArray step(char subCode, int32_t argument)
{
    return step(Step{subCode, argument});
}

QByteArray chat(int32_t recipient, const QString& text)
{
    return chat(Chat{recipient, text});
}

QByteArray market(char operation, int32_t quantity, int32_t price)
{
    return market(Market{operation, quantity, price});
}

namespace toClient {

#include "fieldwriters.inc"
#define TO_CLIENT(name, code, Struct, fields)                                                      \
    QByteArray name(const Struct& m)                                                               \
    {                                                                                              \
        Writer w(spec(Inbound::name), kMaxInboundStringBytes);                                     \
        fields return w.done();                                                                    \
    }
#define TO_CLIENT_CODE_ONLY(name, code)                                                            \
    QByteArray name()                                                                              \
    {                                                                                              \
        return Writer(spec(Inbound::name), kMaxInboundStringBytes).done();                         \
    }
#define TO_CLIENT_TWO_PARTS(name, code, Struct, first, FirstStruct, firstFields, second,           \
                            SecondStruct, secondFields)                                            \
    QByteArray name(const Struct& m)                                                               \
    {                                                                                              \
        Writer w(spec(Inbound::name), kMaxInboundStringBytes);                                     \
        firstFields secondFields return w.done();                                                  \
    }
#include "messages.def"

} // namespace toClient

} // namespace vorlan
