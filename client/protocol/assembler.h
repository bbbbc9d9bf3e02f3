#pragma once
// Receiving: the bytes of a TCP stream become whole messages, each handed to a
// handler exactly once, at its last byte, in stream order. Blocks of any size
// give the same results as one byte at a time.
//
// ReceiveAssembler is the client's (server-to-client messages); the server
// uses ClientMessageAssembler (client-to-server messages). Both run on the
// same table-driven framing, StreamAssembler.

#include "messages.h"
#include "wire.h"

#include <array>
#include <cstdint>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vorlan {

namespace detail {
struct LayoutOp; // one step of a compiled message layout
}

// Why an assembler stopped. The client's only violations are an unknown code,
// a string length byte of 128 or more (tested the moment it arrives) and a
// mapData length outside 0..kMaxMapDataBytes (tested at byte 6). The server's
// are an unknown code and a byte that its layout fixes (the zero ahead of the
// code, of a string length or of a character, hello's 'M', startedAck's
// trailer) having another value.
struct ProtocolViolation
{
    enum class Kind : uint8_t
    {
        None,
        UnknownCode,    ///< value = the code byte (offset 1)
        StringLength,   ///< value = the length byte
        MapDataLength,  ///< value = the announced length
        UnexpectedByte, ///< value = the byte found
    };
    Kind kind = Kind::None;
    const char* message = nullptr; ///< name of the message, null for an unknown code
    int offset = 0;                ///< where in the message the bad byte or field sits
    int32_t value = 0;

    // One line for the system log, e.g. "Unknown message code 0x7A."
    QString text(bool rus = false) const;
};

// Shared framing: buffer, completion rules from the message table, stop and
// reset. Not used directly.
class StreamAssembler
{
public:
    StreamAssembler(const StreamAssembler&) = delete;
    StreamAssembler& operator=(const StreamAssembler&) = delete;
    virtual ~StreamAssembler();

    // Feeds bytes in stream order and returns how many were taken. Fewer than
    // given means it stopped inside them: after a protocol violation, or
    // because a handler called stop() or reset() (it closed the connection);
    // the rest belongs to no one and must not be fed again. A stopped
    // assembler takes nothing until reset().
    //
    // Feeding from inside a handler (a modal window lets the socket deliver
    // more) is allowed: those bytes are queued behind the block being fed,
    // so stream order holds, and are dropped if the handler stops or resets.
    qsizetype feed(QByteArrayView bytes);

    // One byte; false when it was not taken (stopped).
    bool feedByte(char byte) { return feed(QByteArrayView(&byte, 1)) == 1; }

    // Starts afresh: drops a half-assembled message, queued bytes and a
    // stop. Call it at every new connection.
    void reset();

    // Ignore every further byte until reset(). For a handler that closed
    // the connection.
    void stop();

    bool isStopped() const { return stopped_; }

    // The violation that stopped the assembler (Kind::None if none did).
    const ProtocolViolation& lastViolation() const { return violation_; }

    // The bytes of the message being assembled, code first.
    QByteArrayView receiveBuffer() const
    {
        return {reinterpret_cast<const char*>(buffer_.data()), receivedLength_};
    }
    int receivedLength() const { return receivedLength_; }

protected:
    enum class Side : uint8_t
    {
        Client, ///< receives kInboundMessages
        Server, ///< receives kOutboundMessages
    };
    explicit StreamAssembler(Side side);

    // A complete message (or first part) of table row `row`; `message`
    // points at its code. State is already set for the next message.
    virtual void deliver(int row, int part, const uint8_t* message, int length) = 0;
    virtual void violated(const ProtocolViolation& v, const QString& what) = 0;

    int part_ = 0;                             ///< 1 while a second part is assembled
    int32_t dataLength_ = kMapBeginDataLength; ///< N of the mapData being assembled

private:
    struct DispatchScope;
    using Op = detail::LayoutOp;
    qsizetype consume(const uint8_t* data, qsizetype n);
    bool advance();
    void startPart(int part);
    void prime();
    void complete();
    bool violate(ProtocolViolation v);

    const Side side_;
    const MessageSpec* table_;
    const int8_t* index_;
    const Op* plans_; ///< compiled layouts, two parts per row
    std::array<uint8_t, kReceiveBufferSize> buffer_;
    int receivedLength_ = 0;
    int need_ = kCodeBytes;  ///< receivedLength at which to look next
    int row_ = -1;           ///< table row once the code is in
    const Op* op_ = nullptr; ///< next step of the row's layout
    int pos_ = 0;            ///< offset where that step starts
    bool stopped_ = false;
    ProtocolViolation violation_;
    QByteArray queued_;
    uint64_t generation_ = 0; ///< counts reset()
    uint64_t dispatchGeneration_ = ~uint64_t(0);
    int depth_ = 0; ///< handlers running
};

// ---- Client side -----------------------------------------------------------

// One function per server-to-client row of messages.def, named after the
// message and taking its struct (or nothing); every one does nothing unless
// overridden. Handlers may call stop() or reset() on the assembler.
class ProtocolHandler
{
public:
    virtual ~ProtocolHandler() = default;

#define TO_CLIENT(name, code, Struct, fields)                                                      \
    virtual void name(const Struct&) {}
#define TO_CLIENT_CODE_ONLY(name, code)                                                            \
    virtual void name() {}
// gameEntry: first(const GameEntryName&), then second(const GameEntryMap&).
#define TO_CLIENT_TWO_PARTS(name, code, Struct, first, FirstStruct, firstFields, second,           \
                            SecondStruct, secondFields)                                            \
    virtual void first(const FirstStruct&) {}                                                      \
    virtual void second(const SecondStruct&) {}
#include "messages.def"

    // The stream cannot be read on; the assembler has stopped. `what` is the
    // English line of lastViolation(); its text(true) gives the Russian one.
    // The client closes the connection here.
    virtual void protocolViolation(const QString& what)
    {
        (void)what;
    }
};

// The client's receive assembler: one per client, reset at every Connect.
class ReceiveAssembler final : public StreamAssembler
{
public:
    explicit ReceiveAssembler(ProtocolHandler& handler);

    // 0 while the name part of a gameEntry is assembled, 1 for its map part.
    int gameEntryPhase() const { return part_; }
    // kMapBeginDataLength after mapBegin (and at the start); the announced N
    // once six bytes of a mapData are in.
    int32_t mapDataLength() const { return dataLength_; }

private:
    void deliver(int row, int part, const uint8_t* message, int length) override;
    void violated(const ProtocolViolation& v, const QString& what) override;

    ProtocolHandler& handler_;
};

// ---- Server side -----------------------------------------------------------

// One function per client-to-server row of messages.def, defaults doing
// nothing.
class ClientMessageHandler
{
public:
    virtual ~ClientMessageHandler() = default;

#define TO_SERVER(name, code, flags, Struct, fields)                                               \
    virtual void name(const Struct&) {}
#define TO_SERVER_CODE_ONLY(name, code, flags, fixedBytes)                                         \
    virtual void name() {}
#include "messages.def"

    // Malformed bytes: the assembler has stopped; disconnect this client.
    virtual void protocolViolation(const QString& what)
    {
        (void)what;
    }
};

// The server's assembler: one per connected client.
class ClientMessageAssembler final : public StreamAssembler
{
public:
    explicit ClientMessageAssembler(ClientMessageHandler& handler);

private:
    void deliver(int row, int part, const uint8_t* message, int length) override;
    void violated(const ProtocolViolation& v, const QString& what) override;

    ClientMessageHandler& handler_;
};

} // namespace vorlan
