#include "assembler.h"

#include <algorithm>
#include <cstring>
#include <QtEndian>

namespace vorlan {

// ---- Violations ------------------------------------------------------------

QString ProtocolViolation::text(bool rus) const
{
    const QString name = QString::fromLatin1(message ? message : "");
    const QString hex = QStringLiteral("0x") +
                        QString::number(uint(value) & 0xFF, 16).rightJustified(2, '0').toUpper();
    switch (kind) {
    case Kind::None:
        return {};
    case Kind::UnknownCode:
        return rus ? QStringLiteral("Неизвестный код сообщения %1.").arg(hex)
                   : QStringLiteral("Unknown message code %1.").arg(hex);
    case Kind::StringLength:
        return rus ? QStringLiteral("%1: длина строки %2 (128 или больше).").arg(name).arg(value)
                   : QStringLiteral("%1: string length %2 (128 or more).").arg(name).arg(value);
    case Kind::MapDataLength:
        return rus ? QStringLiteral("%1: длина карты %2 вне пределов 0..%3.")
                         .arg(name)
                         .arg(value)
                         .arg(kMaxMapDataBytes)
                   : QStringLiteral("%1: map length %2 outside 0..%3.")
                         .arg(name)
                         .arg(value)
                         .arg(kMaxMapDataBytes);
    case Kind::UnexpectedByte:
        return rus ? QStringLiteral("%1: неожиданный байт %2 на позиции %3.")
                         .arg(name, hex)
                         .arg(offset)
                   : QStringLiteral("%1: unexpected byte %2 at offset %3.")
                         .arg(name, hex)
                         .arg(offset);
    }
    return {};
}

// ---- Framing ---------------------------------------------------------------

namespace {

constexpr int32_t readInt(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 |
                                uint32_t(p[3]));
}

} // namespace

// The layouts of the tables, compiled once for the side that reads them:
// runs of fixed-size fields become one Skip, so the assembler stops only
// where something must be decided.
struct detail::LayoutOp
{
    enum Kind : uint8_t
    {
        Skip,    ///< `skip` bytes that need no look
        Byte,    ///< one byte that must be `byte`
        String,  ///< 00, n, n bytes; n at most maxLength; checkHigh: the 00 is checked
        Blob,    ///< int N, then N bytes
        EndPart, ///< the first part is complete; the second follows
        End,     ///< the message is complete
    };
    Kind kind = End;
    uint8_t byte = 0;
    uint8_t maxLength = 0;
    bool checkHigh = false;
    uint16_t skip = 0;
};

namespace {

using Op = detail::LayoutOp;
constexpr int kOpsPerPart = 8;

// Client: only string lengths and the map length are checked. Server: every
// byte that the layout fixes is checked too.
constexpr void compilePart(const MessageSpec& m, int part, bool server, Op* out)
{
    const char* t = m.layout;
    if (part == 1) {
        while (*t && *t != '|')
            ++t;
        if (!*t) {
            out[0] = Op{};
            return;
        }
        ++t;
    }
    int n = 0;
    auto push = [&](Op op) {
        if (n >= kOpsPerPart - 1)
            throw "layout too long for kOpsPerPart";
        out[n++] = op;
    };
    auto skip = [&](int bytes) {
        if (n > 0 && out[n - 1].kind == Op::Skip)
            out[n - 1].skip = uint16_t(out[n - 1].skip + bytes);
        else
            push(Op{Op::Skip, 0, 0, false, uint16_t(bytes)});
    };
    auto fixedByte = [&](char value) {
        if (server)
            push(Op{Op::Byte, uint8_t(value), 0, false, 0});
        else
            skip(1);
    };
    if (part == 0 && m.extraZero)
        fixedByte(m.code);
    for (; *t && *t != '|'; ++t) {
        switch (*t) {
        case 'i':
        case 'b':
            skip(4);
            break;
        case 'c':
            fixedByte(0);
            skip(1);
            break;
        case 'z':
            fixedByte(0);
            break;
        case '=':
            ++t;
            fixedByte(*t);
            break;
        case 's':
            push(Op{Op::String, 0,
                    uint8_t(server ? kMaxOutboundStringBytes : kMaxInboundStringBytes), server, 0});
            break;
        case 'x':
            push(Op{Op::Blob, 0, 0, false, 0});
            break;
        default:
            break;
        }
    }
    out[n] = Op{*t == '|' ? Op::EndPart : Op::End, 0, 0, false, 0};
}

template <std::size_t N>
constexpr std::array<Op, N * 2 * kOpsPerPart> compilePlans(const std::array<MessageSpec, N>& table,
                                                           bool server)
{
    std::array<Op, N * 2 * kOpsPerPart> plans{};
    for (std::size_t row = 0; row < N; ++row)
        for (int part = 0; part < 2; ++part)
            compilePart(table[row], part, server, plans.data() + (row * 2 + part) * kOpsPerPart);
    return plans;
}

constexpr auto kClientPlans = compilePlans(kInboundMessages, false);
constexpr auto kServerPlans = compilePlans(kOutboundMessages, true);

// A second part must read something, or it would complete with the first.
template <std::size_t N> constexpr bool secondPartsRead(const std::array<Op, N>& plans)
{
    for (std::size_t i = 0; i < N; i += 2 * kOpsPerPart)
        if (plans[i].kind == Op::EndPart && plans[i + kOpsPerPart].kind == Op::End)
            return false;
    return true;
}
static_assert(secondPartsRead(kClientPlans) && secondPartsRead(kServerPlans));

} // namespace

// Marks a handler as running, so that bytes fed from inside it are queued.
struct StreamAssembler::DispatchScope
{
    explicit DispatchScope(StreamAssembler& a) : a(a), saved(a.dispatchGeneration_)
    {
        a.dispatchGeneration_ = a.generation_;
        ++a.depth_;
    }
    ~DispatchScope()
    {
        --a.depth_;
        a.dispatchGeneration_ = saved;
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

    StreamAssembler& a;
    const uint64_t saved;
};

StreamAssembler::StreamAssembler(Side side)
    : side_(side),
      table_(side == Side::Client ? kInboundMessages.data() : kOutboundMessages.data()),
      index_(side == Side::Client ? detail::kInboundIndex.data() : detail::kOutboundIndex.data()),
      plans_(side == Side::Client ? kClientPlans.data() : kServerPlans.data())
{}

StreamAssembler::~StreamAssembler() = default;

void StreamAssembler::reset()
{
    receivedLength_ = 0;
    need_ = kCodeBytes;
    row_ = -1;
    op_ = nullptr;
    pos_ = 0;
    part_ = 0;
    dataLength_ = kMapBeginDataLength;
    stopped_ = false;
    violation_ = {};
    queued_.clear();
    ++generation_;
}

void StreamAssembler::stop()
{
    stopped_ = true;
    queued_.clear();
}

qsizetype StreamAssembler::feed(QByteArrayView bytes)
{
    if (stopped_ || bytes.isEmpty())
        return 0;
    if (depth_ > 0 && dispatchGeneration_ == generation_) {
        // A handler of this connection is still running: these bytes follow
        // the rest of the block that is being fed.
        queued_.append(bytes.data(), bytes.size());
        return bytes.size();
    }
    const uint64_t generation = generation_;
    const qsizetype used = consume(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    while (!queued_.isEmpty() && generation_ == generation && !stopped_) {
        const QByteArray more = std::exchange(queued_, QByteArray());
        consume(reinterpret_cast<const uint8_t*>(more.data()), more.size());
    }
    return used;
}

// Copies up to the next point where something must be decided (the code, a
// length byte, the end), so a block costs one copy per such point.
qsizetype StreamAssembler::consume(const uint8_t* data, qsizetype n)
{
    const uint64_t generation = generation_;
    qsizetype i = 0;
    while (i < n) {
        Q_ASSERT(need_ > receivedLength_ && need_ <= kReceiveBufferSize);
        const qsizetype take = std::min<qsizetype>(need_ - receivedLength_, n - i);
        std::memcpy(buffer_.data() + receivedLength_, data + i, size_t(take));
        receivedLength_ += int(take);
        i += take;
        if (receivedLength_ == need_ && !advance())
            return i;
        if (generation_ != generation || stopped_)
            return i;
    }
    return i;
}

void StreamAssembler::startPart(int part)
{
    part_ = part;
    op_ = plans_ + (row_ * 2 + part) * kOpsPerPart;
    pos_ = kCodeBytes;
}

// Sets need_ for the next step without looking at any byte.
void StreamAssembler::prime()
{
    while (op_->kind == Op::Skip) {
        pos_ += op_->skip;
        ++op_;
    }
    switch (op_->kind) {
    case Op::Byte:
        need_ = pos_ + 1;
        break;
    case Op::String:
        need_ = pos_ + 2;
        break;
    case Op::Blob:
        need_ = pos_ + 4;
        break;
    default:
        need_ = pos_;
        break;
    }
}

// receivedLength_ has reached need_: run the layout as far as the bytes go.
// Returns false after a violation.
bool StreamAssembler::advance()
{
    using Kind = ProtocolViolation::Kind;
    const uint8_t* b = buffer_.data();
    if (row_ < 0) {
        const uint8_t code = b[1];
        const int row = index_[code];
        if (row < 0)
            return violate({Kind::UnknownCode, nullptr, 1, code});
        row_ = row;
        startPart(0);
        // The client never looks at the first byte; the server wants the zero.
        if (side_ == Side::Server && b[0] != 0)
            return violate({Kind::UnexpectedByte, table_[row].name, 0, b[0]});
    }
    const int have = receivedLength_;
    for (;; ++op_) {
        const Op& op = *op_;
        switch (op.kind) {
        case Op::Skip:
            pos_ += op.skip;
            break;
        case Op::Byte:
            if (have <= pos_) {
                need_ = pos_ + 1;
                return true;
            }
            if (b[pos_] != op.byte)
                return violate({Kind::UnexpectedByte, table_[row_].name, pos_, b[pos_]});
            ++pos_;
            break;
        case Op::String: {
            if (have < pos_ + 2) {
                need_ = pos_ + 2; // decide the moment the length byte is in
                return true;
            }
            if (op.checkHigh && b[pos_] != 0)
                return violate({Kind::UnexpectedByte, table_[row_].name, pos_, b[pos_]});
            const int n = b[pos_ + 1];
            if (n > op.maxLength)
                return violate({Kind::StringLength, table_[row_].name, pos_ + 1, n});
            pos_ += 2 + n;
            break;
        }
        case Op::Blob: {
            if (have < pos_ + 4) {
                need_ = pos_ + 4;
                return true;
            }
            const int32_t n = readInt(b + pos_);
            if (n < 0 || n > kReceiveBufferSize - pos_ - 4)
                return violate({Kind::MapDataLength, table_[row_].name, pos_, n});
            dataLength_ = n;
            pos_ += 4 + n;
            break;
        }
        case Op::EndPart:
        case Op::End:
            if (have < pos_) {
                need_ = pos_;
                return true;
            }
            complete();
            return true;
        }
    }
}

void StreamAssembler::complete()
{
    const int row = row_;
    const int part = part_;
    const int length = receivedLength_;
    if (op_->kind == Op::EndPart) {
        // The code stays in place; the second part is assembled from offset 2.
        receivedLength_ = kCodeBytes;
        startPart(1);
        prime();
    } else {
        receivedLength_ = 0;
        part_ = 0;
        row_ = -1;
        op_ = nullptr;
        need_ = kCodeBytes;
    }
    DispatchScope running(*this);
    deliver(row, part, buffer_.data(), length);
}

bool StreamAssembler::violate(ProtocolViolation v)
{
    stopped_ = true;
    queued_.clear();
    violation_ = v;
    DispatchScope running(*this);
    violated(violation_, violation_.text(false));
    return false;
}

// ---- Decoding --------------------------------------------------------------

namespace {

// Reads the fields of a complete message in layout order.
class Reader
{
public:
    explicit Reader(const uint8_t* message) : p_(message + kCodeBytes) {}

    int32_t int32()
    {
        const int32_t v = readInt(p_);
        p_ += 4;
        return v;
    }
    void skip(int bytes) { p_ += bytes; }
    // A byte-int is passed on whole; its range is the receiver's business.
    int32_t byteInt() { return int32(); }
    char zeroChar()
    {
        const char c = static_cast<char>(p_[1]);
        p_ += 2;
        return c;
    }
    QString string()
    {
        const int n = p_[1];
        QString s = fromWireText(QByteArrayView(reinterpret_cast<const char*>(p_ + 2), n));
        p_ += 2 + n;
        return s;
    }
    QByteArray blob()
    {
        const int32_t n = int32();
        QByteArray data(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return data;
    }

private:
    const uint8_t* p_;
};

} // namespace

ReceiveAssembler::ReceiveAssembler(ProtocolHandler& handler)
    : StreamAssembler(Side::Client), handler_(handler)
{}

// Each row of messages.def becomes a case that reads the fields of its struct
// m, in order, from the Reader r and hands m to the handler h.
void ReceiveAssembler::deliver(int row, int part, const uint8_t* message, int length)
{
    (void)length;
    if (static_cast<Inbound>(row) == Inbound::mapBegin)
        dataLength_ = kMapBeginDataLength; // the length a mapData is framed by until its N is in
    Reader r(message);
    ProtocolHandler& h = handler_;
    switch (static_cast<Inbound>(row)) {
#include "fieldreaders.inc"
#define TO_CLIENT(name, code, Struct, fields)                                                      \
    case Inbound::name: {                                                                          \
        Struct m;                                                                                  \
        fields h.name(m);                                                                          \
        break;                                                                                     \
    }
#define TO_CLIENT_CODE_ONLY(name, code)                                                            \
    case Inbound::name:                                                                            \
        h.name();                                                                                  \
        break;
#define TO_CLIENT_TWO_PARTS(name, code, Struct, first, FirstStruct, firstFields, second,           \
                            SecondStruct, secondFields)                                            \
    case Inbound::name:                                                                            \
        if (part == 0) {                                                                           \
            FirstStruct m;                                                                         \
            firstFields h.first(m);                                                                \
        } else {                                                                                   \
            SecondStruct m;                                                                        \
            secondFields h.second(m);                                                              \
        }                                                                                          \
        break;
#include "messages.def"
    }
}

void ReceiveAssembler::violated(const ProtocolViolation&, const QString& what)
{
    handler_.protocolViolation(what);
}

ClientMessageAssembler::ClientMessageAssembler(ClientMessageHandler& handler)
    : StreamAssembler(Side::Server), handler_(handler)
{}

void ClientMessageAssembler::deliver(int row, int, const uint8_t* message, int)
{
    Reader r(message);
    ClientMessageHandler& h = handler_;
    switch (static_cast<Outbound>(row)) {
#include "fieldreaders.inc"
#define TO_SERVER(name, code, flags, Struct, fields)                                               \
    case Outbound::name: {                                                                         \
        Struct m;                                                                                  \
        fields h.name(m);                                                                          \
        break;                                                                                     \
    }
// The fixed bytes of a message without fields were checked while framing.
#define TO_SERVER_CODE_ONLY(name, code, flags, fixedBytes)                                         \
    case Outbound::name:                                                                           \
        h.name();                                                                                  \
        break;
#include "messages.def"
    }
}

void ClientMessageAssembler::violated(const ProtocolViolation&, const QString& what)
{
    handler_.protocolViolation(what);
}

} // namespace vorlan
