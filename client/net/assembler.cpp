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

bool hasTwoParts(const MessageSpec& m)
{
    return std::strchr(m.layout, '|') != nullptr;
}

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
      index_(side == Side::Client ? detail::kInboundIndex.data() : detail::kOutboundIndex.data())
{}

StreamAssembler::~StreamAssembler() = default;

void StreamAssembler::reset()
{
    receivedLength_ = 0;
    need_ = kCodeBytes;
    row_ = -1;
    final_ = false;
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

// receivedLength_ has reached need_: decide what comes next.
bool StreamAssembler::advance()
{
    if (row_ < 0) {
        const uint8_t code = buffer_[1];
        const int row = index_[code];
        if (row < 0)
            return violate({ProtocolViolation::Kind::UnknownCode, nullptr, 1, code});
        row_ = row;
        // The client never looks at the first byte; the server wants the zero.
        if (side_ == Side::Server && buffer_[0] != 0)
            return violate(
                {ProtocolViolation::Kind::UnexpectedByte, table_[row].name, 0, buffer_[0]});
    }
    if (!final_) {
        const int next = walk();
        if (next < 0)
            return false;
        if (next > 0) {
            need_ = next;
            return true;
        }
    }
    complete();
    return true;
}

// Walks the layout of the current row (or part) over the bytes that are in.
// Returns the length at which to look again, 0 when the message is complete,
// or -1 after a violation.
int StreamAssembler::walk()
{
    using Kind = ProtocolViolation::Kind;
    const MessageSpec& m = table_[row_];
    const bool checkFixedBytes = side_ == Side::Server;
    const int maxString = side_ == Side::Client ? kMaxInboundStringBytes : kMaxOutboundStringBytes;
    const uint8_t* b = buffer_.data();
    const int have = receivedLength_;
    auto unexpected = [&](int at) {
        violate({Kind::UnexpectedByte, m.name, at, b[at]});
        return -1;
    };

    const char* t = m.layout;
    if (part_ == 1)
        t = std::strchr(t, '|') + 1;
    int pos = kCodeBytes;
    if (m.extraZero) {
        if (have <= pos)
            return pos + 1;
        if (b[pos] != static_cast<uint8_t>(m.code))
            return unexpected(pos);
        ++pos;
    }
    for (; *t && *t != '|'; ++t) {
        switch (*t) {
        case 'i':
        case 'b':
            pos += 4;
            break;
        case 'c':
        case 'z':
            if (checkFixedBytes && have > pos && b[pos] != 0)
                return unexpected(pos);
            pos += *t == 'c' ? 2 : 1;
            break;
        case '=':
            ++t;
            if (checkFixedBytes && have > pos && b[pos] != static_cast<uint8_t>(*t))
                return unexpected(pos);
            pos += 1;
            break;
        case 's': {
            if (have < pos + 2)
                return pos + 2; // decide the moment the length byte is in
            if (checkFixedBytes && b[pos] != 0)
                return unexpected(pos);
            const int n = b[pos + 1];
            if (n > maxString) {
                violate({Kind::StringLength, m.name, pos + 1, n});
                return -1;
            }
            pos += 2 + n;
            break;
        }
        case 'x': {
            if (have < pos + 4)
                return pos + 4;
            const int32_t n = readInt(b + pos);
            if (n < 0 || n > kReceiveBufferSize - pos - 4) {
                violate({Kind::MapDataLength, m.name, pos, n});
                return -1;
            }
            dataLength_ = n;
            pos += 4 + n;
            break;
        }
        default:
            break;
        }
    }
    if (have < pos) {
        // Only the server still has fixed bytes to check once they are in.
        final_ = !checkFixedBytes;
        return pos;
    }
    return 0;
}

void StreamAssembler::complete()
{
    const int row = row_;
    const int part = part_;
    const int length = receivedLength_;
    if (part == 0 && hasTwoParts(table_[row])) {
        // The code stays in place; the second part is assembled from offset 2.
        receivedLength_ = kCodeBytes;
        part_ = 1;
        final_ = false;
        need_ = walk();
    } else {
        receivedLength_ = 0;
        part_ = 0;
        row_ = -1;
        final_ = false;
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

void ReceiveAssembler::deliver(int row, int part, const uint8_t* message, int length)
{
    (void)length;
    Reader r(message);
    ProtocolHandler& h = handler_;
    switch (static_cast<Inbound>(row)) {
    case Inbound::stepNumber:
        h.stepNumber({r.int32()});
        break;
    case Inbound::mapBegin:
        dataLength_ = kMapBeginDataLength;
        h.mapBegin();
        break;
    case Inbound::mapData:
        h.mapData({r.blob()});
        break;
    case Inbound::cellUpdate:
        h.cellUpdate({r.int32(), r.int32(), r.int32(), r.int32(), r.int32()});
        break;
    case Inbound::listEnd:
        h.listEnd();
        break;
    case Inbound::gameOver:
        h.gameOver();
        break;
    case Inbound::gameEntry:
        if (part == 0) {
            h.gameEntryName({r.string()});
        } else {
            GameEntryMap m;
            m.mapName = r.string();
            m.gameNumber = r.int32();
            h.gameEntryMap(m);
        }
        break;
    case Inbound::leaveIfMoreNotice:
        h.leaveIfMoreNotice({r.int32()});
        break;
    case Inbound::youAre:
        h.youAre({r.int32()});
        break;
    case Inbound::playerUpdate: {
        PlayerUpdate m;
        m.player = r.int32();
        m.army = r.int32();
        m.gold = r.int32();
        m.cityArmy = r.int32();
        m.cityGold = r.int32();
        m.x = r.int32();
        m.y = r.int32();
        m.killed = r.int32();
        m.marketOffer = r.int32();
        m.marketAmount = r.int32();
        m.name = r.string();
        m.armyChange = r.int32();
        m.goldChange = r.int32();
        h.playerUpdate(m);
        break;
    }
    case Inbound::mapEntry:
        h.mapEntry({r.string()});
        break;
    case Inbound::gameInfo: {
        GameInfo m;
        m.elapsedSeconds = r.int32();
        m.gameType = r.zeroChar();
        m.minutes = r.int32();
        h.gameInfo(m);
        break;
    }
    case Inbound::eventCame:
        h.eventCame();
        break;
    case Inbound::roundToNotice:
        h.roundToNotice({r.int32()});
        break;
    case Inbound::ignoredMessage:
        h.ignoredMessage();
        break;
    case Inbound::gameStart:
        h.gameStart({r.int32()});
        break;
    case Inbound::playerJoined:
        h.playerJoined({r.string()});
        break;
    case Inbound::textMessage:
        h.textMessage({r.string()});
        break;
    case Inbound::armyChangeNotice: {
        ArmyChangeNotice m;
        m.player = r.int32();
        m.change = r.int32();
        h.armyChangeNotice(m);
        break;
    }
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
    case Outbound::hello:
        h.hello();
        break;
    case Outbound::listGamesRequest:
        h.listGamesRequest();
        break;
    case Outbound::joinGame: {
        JoinGame m;
        m.gameNumber = r.byteInt();
        m.playerName = r.string();
        m.emblem = r.int32();
        h.joinGame(m);
        break;
    }
    case Outbound::createGame: {
        CreateGame m;
        m.gameName = r.string();
        m.mapName = r.string();
        m.playerName = r.string();
        m.emblem = r.int32();
        h.createGame(m);
        break;
    }
    case Outbound::mapReady:
        h.mapReady();
        break;
    case Outbound::startGame:
        h.startGame({r.byteInt()});
        break;
    case Outbound::gameSettings: {
        GameSettings m;
        m.gameType = r.zeroChar();
        m.minutes = r.int32();
        h.gameSettings(m);
        break;
    }
    case Outbound::startedAck:
        h.startedAck();
        break;
    case Outbound::step: {
        Step m;
        m.subCode = r.zeroChar();
        m.argument = r.int32();
        h.step(m);
        break;
    }
    case Outbound::chat: {
        Chat m;
        m.recipient = r.int32();
        m.text = r.string();
        h.chat(m);
        break;
    }
    case Outbound::market: {
        Market m;
        m.operation = r.zeroChar();
        m.quantity = r.int32();
        m.price = r.int32();
        h.market(m);
        break;
    }
    case Outbound::pauseToggle:
        h.pauseToggle();
        break;
    }
}

void ClientMessageAssembler::violated(const ProtocolViolation&, const QString& what)
{
    handler_.protocolViolation(what);
}

} // namespace vorlan
