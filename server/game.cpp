#include "game.h"

#include "encoders.h"
#include "wire.h"

#include <algorithm>
#include <limits>

namespace vorlan {

namespace {

// Adds without leaving the int32 range: figures never wrap round.
int32_t clampedSum(int64_t a, int64_t b)
{
    return int32_t(std::clamp<int64_t>(a + b, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

} // namespace

QString clientText(const QString& text)
{
    return fromWireText(toWireText(text, kMaxInboundStringBytes));
}

QString serverText(const QString& text)
{
    QString t = clientText(text);
    // A client acts on "TIME LEFT:" and "voice" anywhere in a line and on the
    // other control texts as whole lines.
    if (t.contains(kTimeLeftText))
        t.replace(kTimeLeftText, QStringLiteral("TIME LEFT "));
    t.replace(QStringLiteral("voice"), QStringLiteral("Voice"));
    if (t == kPausedText || t == kUnpausedText || t == kSyncedText)
        t += QLatin1Char('.');
    return t;
}

bool honestChatLine(const QString& text, const QString& name)
{
    if (text.startsWith(kVoicePrefix)) {
        const qsizetype digits = text.size() - kVoicePrefix.size();
        if (digits < 1 || digits > 3)
            return false;
        for (qsizetype i = kVoicePrefix.size(); i < text.size(); ++i)
            if (!text[i].isDigit() || text[i].unicode() > '9')
                return false;
        return true;
    }
    return !name.isEmpty() && text.startsWith(name + QLatin1Char(':')) &&
           !text.contains(kTimeLeftText);
}

bool containsControlText(const QString& text)
{
    return text.contains(kTimeLeftText) || text.contains(kPausedText) ||
           text.contains(kUnpausedText) || text.contains(kSyncedText) ||
           text.contains(kVoicePrefix);
}

Game::Game(int number, const QString& name, const QString& mapName, const QByteArray& mapFile,
           Send send, Log log)
    : number_(number), name_(clientText(name)), mapName_(clientText(mapName)), mapFile_(mapFile),
      map_(Map::fromBytes(mapFile)), send_(std::move(send)), log_(std::move(log))
{
    capacity_ = map_.loaded() ? std::clamp(map_.playerCount - 1, 0, kMaxSeats) : 0;
}

GameInfo Game::info() const
{
    // Elapsed game seconds: a shortened minute still shows as sixty seconds.
    return {int32_t(playedMs_ * 60 / minuteMs_), type_, minutes_};
}

int Game::connectedCount() const
{
    int n = 0;
    for (int i = 0; i < capacity_; ++i)
        n += connected(i) ? 1 : 0;
    return n;
}

void Game::log(const QString& line) const
{
    if (log_)
        log_(QStringLiteral("game %1: %2").arg(number_).arg(line));
}

void Game::ignore(int player, const QString& line) const
{
    if (ignored_)
        ignored_(player, QStringLiteral("game %1: %2").arg(number_).arg(line));
    else
        log(line);
}

void Game::sendTo(int player, const QByteArray& m)
{
    if (connected(player))
        send_(player, m);
}

void Game::sendSynced(const QByteArray& m)
{
    for (int i = 0; i < capacity_; ++i)
        if (synced(i))
            send_(i, m);
}

void Game::sendConnected(const QByteArray& m)
{
    for (int i = 0; i < capacity_; ++i)
        if (connected(i))
            send_(i, m);
}

void Game::sendCell(int x, int y)
{
    const Cell& c = map_.cell(x, y);
    sendSynced(toClient::cellUpdate({x, y, c.army, c.gold, c.kind}));
}

void Game::sendPlayer(int i)
{
    const Player& p = map_.players[i];
    sendSynced(toClient::playerUpdate({i, p.army, p.gold, p.cityArmy, p.cityGold, p.x, p.y,
                                       p.killed, p.marketOffer, p.marketAmount, p.name,
                                       p.armyChange, p.goldChange}));
}

void Game::sendArmyChange(int player, int32_t change)
{
    if (change != 0)
        sendSynced(toClient::armyChangeNotice({player, change}));
}

int Game::minutesLeft() const
{
    const int64_t left = int64_t(minutes_) * minuteMs_ - playedMs_;
    return left <= 0 ? 0 : int((left + minuteMs_ - 1) / minuteMs_);
}

void Game::sendTimeLeft(int player)
{
    const int left = std::min(minutesLeft(), kMaxShownMinutes);
    sendTo(player, toClient::textMessage({kTimeLeftText + QString::number(left)}));
}

int Game::addPlayer(const QString& name, int emblem)
{
    if (state_ != State::Waiting)
        return -1;
    int seat = valid(emblem) && !seats_[emblem].taken ? emblem : -1;
    for (int i = 0; seat < 0 && i < capacity_; ++i)
        if (!seats_[i].taken)
            seat = i;
    if (seat < 0)
        return -1;
    seats_[seat] = Seat{};
    seats_[seat].taken = seats_[seat].connected = true;
    Player& p = map_.players[seat];
    p.name = clientText(name);
    return seat;
}

void Game::leave(int player)
{
    if (!seatTaken(player))
        return;
    if (state_ == State::Waiting) {
        seats_[player] = Seat{};
        map_.players[player].name.clear();
        return;
    }
    seats_[player].connected = false;
    seats_[player].synced = false;
}

bool Game::validSettings(int speed, char type, int minutes)
{
    return speed >= 0 && speed < int(kStepIntervalMs.size()) &&
           (type == kGameForTerritory || type == kGameForGold) && minutes >= kMinGameMinutes &&
           minutes <= kMaxMinutes;
}

bool Game::start(int speed, char type, int minutes)
{
    if (state_ != State::Waiting || !validSettings(speed, type, minutes))
        return false;
    speed_ = speed;
    type_ = type;
    minutes_ = minutes;
    state_ = State::Running;
    for (int i = 0; i < capacity_; ++i) {
        if (!seats_[i].taken)
            continue;
        Player& p = map_.players[i];
        p.army = kStartArmy;
        p.gold = kStartGold;
        p.leaveIfMore = kDefaultLeaveIfMore;
        if (map_.contains(p.x, p.y)) {
            Cell& c = map_.cell(p.x, p.y);
            c = {kStartGarrison, 0, i};
        }
    }
    log(QStringLiteral("started, speed %1, type %2, %3 min").arg(speed).arg(type).arg(minutes));
    return true;
}

void Game::sync(int player)
{
    if (state_ != State::Running || !connected(player) || seats_[player].synced)
        return;
    seats_[player].synced = true;
    const Player& me = map_.players[player];
    send_(player, toClient::youAre({player}));
    send_(player, toClient::leaveIfMoreNotice({me.leaveIfMore}));
    send_(player, toClient::roundToNotice({me.roundTo}));
    for (int x = 0; x < map_.width; ++x) {
        for (int y = 0; y < map_.height; ++y) {
            const Cell& c = map_.cell(x, y);
            send_(player, toClient::cellUpdate({x, y, c.army, c.gold, c.kind}));
        }
    }
    for (int i = 0; i < capacity_; ++i) {
        if (!seats_[i].taken)
            continue;
        const Player& p = map_.players[i];
        send_(player, toClient::playerUpdate({i, p.army, p.gold, p.cityArmy, p.cityGold, p.x, p.y,
                                              p.killed, p.marketOffer, p.marketAmount, p.name,
                                              p.armyChange, p.goldChange}));
    }
    sendTimeLeft(player);
    send_(player, toClient::textMessage({kSyncedText}));
    if (map_.paused)
        send_(player, toClient::textMessage({kPausedText}));
}

void Game::step()
{
    if (state_ != State::Running || map_.paused)
        return;
    ++step_;
    playedMs_ += intervalMs();
    sendSynced(toClient::stepNumber({step_}));
    for (int i = 0; i < capacity_; ++i) {
        Seat& seat = seats_[i];
        seat.ordered = false;
        seat.marketOrders = 0;
        if (seat.waiting && synced(i)) {
            const Step waiting = *seat.waiting;
            seat.waiting.reset();
            seat.ordered = true;
            apply(i, waiting);
        }
        seat.waiting.reset();
    }
    if (step_ % kGrowthEverySteps == 0) {
        map_.growBlocks();
        sendSynced(toClient::eventCame());
    }
    matchMarket();
    if (playedMs_ >= int64_t(minutes_) * minuteMs_) {
        finish();
        return;
    }
    const int left = minutesLeft();
    if (left != announcedMinutes_) {
        announcedMinutes_ = left;
        for (int i = 0; i < capacity_; ++i)
            if (synced(i))
                sendTimeLeft(i);
    }
}

void Game::finish()
{
    if (state_ == State::Over)
        return;
    state_ = State::Over;
    sendConnected(toClient::textMessage({kTimeLeftText + QStringLiteral("0")}));
    sendConnected(toClient::gameOver());
    log(QStringLiteral("over after %1 steps").arg(step_));
}

bool Game::playing(int player, const char* what)
{
    if (state_ == State::Running && !map_.paused && synced(player))
        return true;
    ignore(player, QStringLiteral("%1 from player %2 ignored: the game is not running for him")
                       .arg(QLatin1String(what))
                       .arg(player));
    return false;
}

void Game::order(int player, const Step& s)
{
    if (!playing(player, "order"))
        return;
    Seat& seat = seats_[player];
    if (seat.ordered) {
        seat.waiting = s;
        return;
    }
    seat.ordered = true;
    apply(player, s);
}

void Game::apply(int player, const Step& s)
{
    Player& p = map_.players[player];
    const int32_t army = p.army, gold = p.gold;
    switch (s.subCode) {
    case kStepLeft:
        move(player, -1, 0);
        break;
    case kStepRight:
        move(player, 1, 0);
        break;
    case kStepUp:
        move(player, 0, -1);
        break;
    case kStepDown:
        move(player, 0, 1);
        break;
    case kStepCityLeft:
    case kStepCityRight:
    case kStepCityUp:
    case kStepCityDown:
        cityJump(player, s.subCode - '0');
        break;
    case kStepPutSoldiers:
    case kStepGetSoldiers:
    case kStepPutGold:
    case kStepGetGold:
        putOrGet(player, s.subCode, s.argument);
        break;
    case kStepLeaveIfMore:
        if (s.argument < 0) {
            ignore(player, QStringLiteral("negative leave-if-more %1 ignored").arg(s.argument));
            return;
        }
        p.leaveIfMore = s.argument;
        sendTo(player, toClient::leaveIfMoreNotice({p.leaveIfMore}));
        return;
    case kStepRoundTo:
        if (s.argument != 0 && s.argument != 30 && s.argument != 100) {
            ignore(player, QStringLiteral("round-to %1 ignored").arg(s.argument));
            return;
        }
        p.roundTo = s.argument;
        sendTo(player, toClient::roundToNotice({p.roundTo}));
        return;
    default:
        ignore(player, QStringLiteral("unknown order 0x%1 ignored")
                           .arg(uint8_t(s.subCode), 2, 16, QChar('0')));
        return;
    }
    p.armyChange = p.army - army;
    p.goldChange = p.gold - gold;
    sendPlayer(player);
}

void Game::move(int player, int dx, int dy)
{
    Player& p = map_.players[player];
    const int x = p.x + dx, y = p.y + dy;
    if (!map_.contains(x, y) || map_.cell(x, y).kind == kImpassable) {
        ignore(player, QStringLiteral("player %1 cannot enter (%2, %3)").arg(player).arg(x).arg(y));
        return;
    }
    const int kind = map_.cell(x, y).kind;
    const bool hostile = kind == kNeutral || (isOwnerKind(kind) && kind != player);
    if (hostile && p.army > 0) {
        attack(player, x, y);
        return;
    }
    p.x = x;
    p.y = y;
    if (kind == player)
        leaveSurplus(player);
}

void Game::attack(int player, int x, int y)
{
    Player& p = map_.players[player];
    Cell& c = map_.cell(x, y);
    const int32_t garrison = std::max(0, c.army);
    const int32_t losses = std::min(p.army, garrison);
    const int defender = isOwnerKind(c.kind) && seatTaken(c.kind) ? c.kind : -1;
    p.killed = clampedSum(p.killed, losses);
    if (defender >= 0) {
        Player& d = map_.players[defender];
        d.killed = clampedSum(d.killed, losses);
    }
    if (p.army > garrison) {
        // Taken: one survivor stays as the new garrison, the rest walk on.
        const int32_t survivors = p.army - garrison;
        c.kind = player;
        c.army = 1;
        p.army = survivors - 1;
        p.x = x;
        p.y = y;
        leaveSurplus(player);
    } else {
        c.army = garrison - p.army;
        p.army = 0;
    }
    sendCell(x, y);
    sendArmyChange(player, -losses);
    if (defender >= 0) {
        sendArmyChange(defender, -losses);
        sendPlayer(defender);
    }
}

void Game::leaveSurplus(int player)
{
    Player& p = map_.players[player];
    if (!map_.contains(p.x, p.y) || p.army <= p.leaveIfMore)
        return;
    int32_t surplus = p.army - p.leaveIfMore;
    if (p.roundTo > 0)
        surplus = surplus / p.roundTo * p.roundTo;
    if (surplus <= 0)
        return;
    Cell& c = map_.cell(p.x, p.y);
    c.army = clampedSum(c.army, surplus);
    p.army -= surplus;
    sendCell(p.x, p.y);
}

void Game::cityJump(int player, int direction)
{
    Player& p = map_.players[player];
    if (!map_.contains(p.x, p.y) || map_.cell(p.x, p.y).kind != kCity) {
        ignore(player, QStringLiteral("player %1 is not in a city").arg(player));
        return;
    }
    // The nearest city on that side: distance along the direction plus the
    // distance across it; the first found wins a tie.
    int best = -1, bx = 0, by = 0;
    for (int x = 0; x < map_.width; ++x) {
        for (int y = 0; y < map_.height; ++y) {
            if (map_.cell(x, y).kind != kCity)
                continue;
            const int along = direction == 1   ? p.x - x
                              : direction == 2 ? x - p.x
                              : direction == 3 ? p.y - y
                                               : y - p.y;
            const int across = direction <= 2 ? std::abs(y - p.y) : std::abs(x - p.x);
            if (along <= 0)
                continue;
            if (best < 0 || along + across < best) {
                best = along + across;
                bx = x;
                by = y;
            }
        }
    }
    if (best < 0) {
        ignore(player,
               QStringLiteral("no city in direction %1 for player %2").arg(direction).arg(player));
        return;
    }
    p.x = bx;
    p.y = by;
}

void Game::putOrGet(int player, char code, int32_t amount)
{
    Player& p = map_.players[player];
    if (amount < 0 || (amount == 0 && code != kStepGetSoldiers)) {
        ignore(player, QStringLiteral("amount %1 for '%2' ignored").arg(amount).arg(QChar(code)));
        return;
    }
    if (!map_.contains(p.x, p.y))
        return;
    Cell& c = map_.cell(p.x, p.y);
    const bool soldiers = code == kStepPutSoldiers || code == kStepGetSoldiers;
    const bool put = code == kStepPutSoldiers || code == kStepPutGold;
    int32_t* carried = soldiers ? &p.army : &p.gold;
    int32_t* stock = nullptr;
    if (c.kind == kCity)
        stock = soldiers ? &p.cityArmy : &p.cityGold;
    else if (c.kind == player)
        stock = soldiers ? &c.army : &c.gold;
    else if (c.kind == kGoldMine && code == kStepGetGold)
        stock = &c.gold;
    if (!stock) {
        ignore(player, QStringLiteral("'%1' by player %2 on a block of kind %3 ignored")
                           .arg(QChar(code))
                           .arg(player)
                           .arg(c.kind));
        return;
    }
    int32_t* from = put ? carried : stock;
    int32_t* to = put ? stock : carried;
    const int32_t n = std::max(0, amount == 0 ? *from : std::min(amount, *from));
    *from -= n;
    *to = clampedSum(*to, n);
    if (c.kind != kCity)
        sendCell(p.x, p.y);
}

void Game::market(int player, const Market& m)
{
    if (!playing(player, "market order"))
        return;
    if (++seats_[player].marketOrders > kMaxMarketOrdersPerStep) {
        ignore(player, QStringLiteral("market order from player %1 beyond %2 in one step dropped")
                           .arg(player)
                           .arg(kMaxMarketOrdersPerStep));
        return;
    }
    Player& p = map_.players[player];
    switch (m.operation) {
    case kMarketCodeWithdraw:
        p.marketOffer = kOfferNone;
        p.marketAmount = 0;
        seats_[player].price = 0;
        break;
    case kMarketCodeBuy:
    case kMarketCodeSell:
        if (m.quantity <= 0 || m.price <= 0) {
            ignore(player,
                   QStringLiteral("market offer %1 at %2 ignored").arg(m.quantity).arg(m.price));
            return;
        }
        p.marketOffer = m.operation == kMarketCodeBuy ? kOfferBuy : kOfferSell;
        p.marketAmount = m.quantity;
        seats_[player].price = m.price;
        break;
    default: {
        const int to = m.operation - kMarketCodeGiftTo0;
        if (to < 0 || to >= kMaxSeats || to == player || !seatTaken(to) || m.quantity < 0 ||
            m.price < 0) {
            ignore(player, QStringLiteral("market operation 0x%1 by player %2 ignored")
                               .arg(uint8_t(m.operation), 2, 16, QChar('0'))
                               .arg(player));
            return;
        }
        Player& r = map_.players[to];
        const int32_t soldiers = std::min(m.quantity, p.cityArmy);
        const int32_t gold = std::min(m.price, p.cityGold);
        p.cityArmy -= soldiers;
        p.cityGold -= gold;
        r.cityArmy = clampedSum(r.cityArmy, soldiers);
        r.cityGold = clampedSum(r.cityGold, gold);
        sendPlayer(to);
        sendTo(to, toClient::textMessage({serverText(
                       QStringLiteral("%1 gave you %2 soldiers and %3 gold")
                           .arg(p.name, QString::number(soldiers), QString::number(gold)))}));
        break;
    }
    }
    sendPlayer(player);
    matchMarket();
}

void Game::matchMarket()
{
    for (int b = 0; b < capacity_; ++b) {
        Player& buyer = map_.players[b];
        if (!seats_[b].taken || buyer.marketOffer != kOfferBuy)
            continue;
        for (int s = 0; s < capacity_ && buyer.marketOffer == kOfferBuy; ++s) {
            Player& seller = map_.players[s];
            if (s == b || !seats_[s].taken || seller.marketOffer != kOfferSell ||
                seats_[s].price > seats_[b].price)
                continue;
            const int32_t price = seats_[s].price; // the seller's asking price
            const int32_t n = std::min(
                {buyer.marketAmount, seller.marketAmount, seller.cityArmy, buyer.cityGold / price});
            if (n <= 0)
                continue;
            const int32_t cost = n * price; // n <= cityGold / price, so no overflow
            seller.cityArmy -= n;
            buyer.cityArmy = clampedSum(buyer.cityArmy, n);
            buyer.cityGold -= cost;
            seller.cityGold = clampedSum(seller.cityGold, cost);
            buyer.marketAmount -= n;
            seller.marketAmount -= n;
            if (buyer.marketAmount == 0)
                buyer.marketOffer = kOfferNone;
            if (seller.marketAmount == 0)
                seller.marketOffer = kOfferNone;
            ignore(b, QStringLiteral("player %1 bought %2 soldiers from player %3 at %4")
                          .arg(b)
                          .arg(n)
                          .arg(s)
                          .arg(price));
            sendPlayer(b);
            sendPlayer(s);
        }
    }
}

void Game::chat(int player, const Chat& c)
{
    if (!connected(player))
        return;
    const QString text = clientText(c.text);
    if (!honestChatLine(text, map_.players[player].name)) {
        ignore(player,
               QStringLiteral("chat from player %1 not in his own name dropped").arg(player));
        return;
    }
    const QByteArray m = toClient::textMessage({text});
    if (c.recipient == -1)
        sendConnected(m);
    else if (connected(c.recipient))
        send_(c.recipient, m);
    else
        ignore(player, QStringLiteral("chat to absent player %1 dropped").arg(c.recipient));
}

void Game::togglePause(int player)
{
    if (state_ != State::Running || !synced(player)) {
        ignore(player, QStringLiteral("pause from player %1 ignored").arg(player));
        return;
    }
    map_.paused = !map_.paused;
    sendConnected(toClient::textMessage({map_.paused ? kPausedText : kUnpausedText}));
    // Clients count their clock from the time of day; after a pause they are
    // put back onto the game's own clock.
    if (!map_.paused)
        sendSynced(toClient::gameInfo(info()));
}

} // namespace vorlan
