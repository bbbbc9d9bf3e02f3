#include "session.h"

#include "encoders.h"
#include "updates.h"
#include "wire.h"

#include <algorithm>
#include <QSaveFile>

namespace vorlan {

// ---- Shared helpers ---------------------------------------------------------

int stepInterval(int speed)
{
    return speed >= kSlowestSpeed && speed <= kHighestSpeed ? kStepIntervalMs[size_t(speed)]
                                                            : kStepIntervalMs[2];
}

namespace {
// The text after `prefix` when it is one to maxDigits digits and nothing else.
QString digitsAfter(const QString& t, const QString& prefix, qsizetype maxDigits)
{
    if (!t.startsWith(prefix))
        return {};
    const QStringView digits = QStringView(t).mid(prefix.size());
    if (digits.isEmpty() || digits.size() > maxDigits)
        return {};
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
    return digits.toString();
}

bool isPlayerIndex(int32_t p)
{
    return p >= 0 && p < kMaxOwners;
}
} // namespace

QString timeLeftMinutes(const QString& t)
{
    QString digits = digitsAfter(t, kTimeLeftText, t.size());
    if (digits.isNull())
        return {};
    // The whole number, without leading zeros: "007" reads 7, "00" reads 0.
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits.remove(0, 1);
    return digits;
}

QString voiceNumber(const QString& t)
{
    return digitsAfter(t, kVoicePrefix, kVoiceDigits);
}

QString withChange(int32_t value, int32_t change)
{
    QString s = QString::number(value);
    if (change > 0)
        s += QStringLiteral("(+%1)").arg(change);
    else if (change < 0)
        s += QStringLiteral("(%1)").arg(change);
    return s;
}

void ChatMarks::reset()
{
    ally.fill(true);
    enemy.fill(false);
}

void ChatMarks::toggle(bool allySide, int player)
{
    if (!valid(player))
        return;
    auto& side = allySide ? ally : enemy;
    side[size_t(player)] = !side[size_t(player)];
    (allySide ? enemy : ally)[size_t(player)] = false;
}

void ChatMarks::markAll(bool allySide)
{
    (allySide ? ally : enemy).fill(true);
    (allySide ? enemy : ally).fill(false);
}

// ---- The session -------------------------------------------------------------

Session::Session(AppState& state, SessionView& view, LobbyView& lobby, GameView& game)
    : state_(state), view_(view), lobby_(lobby), game_(game), connection_(*this)
{
    marks_.reset();
    QObject::connect(&connection_, &Connection::lookingUp, &connection_,
                     [this] { log("Looking up...", "Ищем ... ищем ... "); });
    QObject::connect(&connection_, &Connection::connected, &connection_, [this] { onConnected(); });
    QObject::connect(&connection_, &Connection::ended, &connection_,
                     [this](Connection::End how) { onEnded(how); });
}

QString Session::text(const char* english, const char* russian) const
{
    return QString::fromUtf8(state_.rus ? russian : english);
}

void Session::log(const char* english, const char* russian)
{
    view_.systemLine(text(english, russian));
}

QString Session::stamp() const
{
    return formatClock(state_.elapsedSeconds());
}

// ---- Connection

void Session::open(const QString& host)
{
    state_.status = kConnecting;
    clearGames();
    players_.clear();
    log("Trying to connect...", "Пытаюсь присоединиться...");
    connection_.open(host);
}

void Session::close()
{
    state_.gameStarted = false;
    if (connection_.isActive()) {
        connection_.close(); // ends as a disconnection, which resets
    } else {
        resetGame();
        view_.disconnected();
    }
}

void Session::onConnected()
{
    if (state_.status != kConnecting)
        return;
    marks_.reset();
    view_.connected();
    log("Connected.", "Соединение установлено");
    state_.status = kHelloSent;
    const qint64 n = connection_.write(hello());
    view_.systemLine(state_.rus ? QStringLiteral("Послано %1 буквы").arg(n)
                                : QStringLiteral("Written %1 bytes").arg(n));
    const qint64 m = connection_.write(listGamesRequest());
    clearGames();
    if (m == 2)
        state_.status = kGamesRequested;
}

void Session::onEnded(Connection::End how)
{
    state_.gameStarted = false;
    if (how == Connection::End::Error) {
        log("Error occured.", "Чо-то не в порядке.");
        if (!pendingViolation_.isEmpty())
            view_.systemLine(std::exchange(pendingViolation_, QString()));
    } else {
        log("Disconnected...", "Соединение разорвано");
    }
    resetGame();
    view_.disconnected();
}

void Session::protocolViolation(const QString& what)
{
    pendingViolation_ = state_.rus ? connection_.assembler().lastViolation().text(true) : what;
    connection_.closeOnViolation();
}

void Session::resetGame()
{
    // The next game starts from clean settings.
    state_.status = kNotConnected;
    marks_.reset();
    roundTo = 0;
    leaveIfMore = kInitialLeaveIfMore;
    clearEntry();
}

// ---- The lobby

void Session::clearGames()
{
    listedGames_ = 0;
    dropNextMapPart_ = false;
    lobby_.gamesCleared();
}

void Session::gameEntryName(const GameEntryName& m)
{
    // Games beyond the last slot are not listed; their map part goes too.
    if (listedGames_ >= kMaxListedGames) {
        dropNextMapPart_ = true;
        return;
    }
    dropNextMapPart_ = false;
    ++listedGames_;
    lobby_.gameListed(m.gameName);
}

void Session::gameEntryMap(const GameEntryMap& m)
{
    if (dropNextMapPart_) {
        dropNextMapPart_ = false;
        return;
    }
    const int k = listedGames_ - 1;
    if (k < 0)
        return; // the list was emptied between the two parts
    mapsNamesArray_[size_t(k)] = m.mapName;
    mapsNumsArray_[size_t(k)] = m.gameNumber;
}

void Session::mapEntry(const MapEntry& m)
{
    lobby_.mapListed(m.mapName);
}

void Session::listEnd()
{
    log("List ended.", "Получен список от сервера.");
}

void Session::playerJoined(const PlayerJoined& m)
{
    if (players_.contains(m.name))
        return;
    players_ << m.name;
    lobby_.playerJoined(m.name);
}

void Session::refresh()
{
    clearGames();
    connection_.write(listGamesRequest());
    log("Receiving games. ", "Получаем список игр");
}

bool Session::refuse(const char* english, const char* russian)
{
    view_.warn(text(english, russian));
    return false;
}

bool Session::join(const QString& name, int row, int emblem)
{
    if (name.isEmpty() || name == QLatin1String("Unknown"))
        return refuse("Enter name!", "Придумайте кликуху");
    if (row < 0 || row >= kMaxListedGames)
        return refuse("Enter game name!", "Поставьте название игры");
    state_.master = false;
    if (send(joinGame(mapsNumsArray_[size_t(row)], name, emblem)))
        state_.status = kJoinRequested;
    return true;
}

bool Session::create(const QString& gameName, const std::optional<QString>& mapName,
                     const QString& name, int emblem)
{
    if (gameName.isEmpty())
        return refuse("Enter game name!", "Придумайте название игры");
    if (name.isEmpty() || name == QLatin1String("Unknown"))
        return refuse("Enter name!", "Придумайте кликуху");
    if (!mapName)
        return refuse("Select map!", "Выберите карту!");
    state_.master = true;
    if (send(createGame(gameName, *mapName, name, emblem))) {
        state_.status = kCreateRequested;
        view_.showMenu(MenuSet::MasterWaiting);
    }
    return true;
}

void Session::start(int speed)
{
    if (!state_.gameStarted)
        send(startGame(speed));
    state_.gameStarted = true;
    view_.showMenu(MenuSet::InGame);
    send(gameSettings(gameType_, gameMinutes_));
}

void Session::setGameSettings(int gameType, int minutes)
{
    gameType_ = gameType;
    gameMinutes_ = minutes;
}

void Session::mapBegin()
{
    lobby_.mapComing();
    log("Receiving map...", "Получаю карту...");
    send(mapReady());
}

void Session::mapData(const MapData& m)
{
    QSaveFile file(state_.globalMapName);
    if (!file.open(QIODevice::WriteOnly) || file.write(m.file) != m.file.size() || !file.commit())
        view_.systemLine(state_.rus ? QStringLiteral("Не могу записать карту %1: %2")
                                          .arg(state_.globalMapName, file.errorString())
                                    : QStringLiteral("Cannot write the map file %1: %2")
                                          .arg(state_.globalMapName, file.errorString()));
    log("map received.", "карта получена.");
    players_.clear();
    state_.gameStarted = false;
    state_.status = kMapReceived;

    // The map is built from the bytes just received, which are the file's
    // contents, so that a file that could not be written costs nothing.
    state_.map.reset();
    QString error;
    auto map = std::make_unique<Map>(Map::fromBytes(m.file, &error));
    if (!error.isEmpty())
        view_.systemLine(state_.rus
                             ? QStringLiteral("Карта этой игры негодна: %1").arg(error)
                             : QStringLiteral("The map of this game is not usable: %1").arg(error));
    map->blockWidth = map->blockHeight = lobby_.blockSize();
    state_.map = std::move(map);
    view_.showMenu(state_.master ? MenuSet::MasterWaiting : MenuSet::JoinedWaiting);
    lobby_.waitingRoom(state_.master);
}

void Session::gameInfo(const GameInfo& m)
{
    state_.restartClock(m.elapsedSeconds);
    if (m.gameType == kGameForTerritory || m.gameType == kGameForGold)
        gameType_ = m.gameType - '0';
    if (m.minutes >= kMinGameMinutes && m.minutes <= kMaxGameMinutes)
        gameMinutes_ = m.minutes;
    lobby_.gameSettings(gameType_, gameMinutes_);
    if (state_.rus)
        view_.gameLine(
            QStringLiteral("Установлен тип игры:") +
            (gameType_ == 0 ? QStringLiteral(" ЗА ТЕРРИТОРИЮ ") : QStringLiteral("ЗА ЗОЛОТО ")) +
            QStringLiteral("с продолжительностью ") + QString::number(gameMinutes_) +
            QStringLiteral(" мин."));
}

// ---- Orders

bool Session::send(const QByteArray& message)
{
    const MessageSpec* spec = outboundSpecOf(message);
    if (spec && spec->stepGated)
        return sendStepGated(state_.newStepCanBeSent, message,
                             [this](const QByteArray& m) { connection_.write(m); });
    return connection_.write(message) == message.size();
}

bool Session::sendStep(char subCode, int32_t argument)
{
    return send(step(subCode, argument));
}

bool Session::canMoveTo(int dx, int dy)
{
    const Map* map = state_.map.get();
    const Player* me = map ? map->me() : nullptr;
    if (!me)
        return false;
    const int tx = me->x + dx, ty = me->y + dy;
    if (!map->contains(tx, ty))
        return false;
    const int k = map->cell(tx, ty).kind;
    if (k <= kLastOwner && k != map->myIndex && me->army > 0)
        view_.playSound(SoundEvent::YourAttack);
    if (k == kImpassable)
        return false;
    if (k == kNeutral || k == kGoldMine || k == kCity)
        return true;
    if (me->army == 0)
        return true;
    // Carrying soldiers, nobody walks into an ally's block.
    const bool ally = marks_.isAlly(k) && !map->players[k].name.isEmpty() && k != map->myIndex;
    return !ally;
}

void Session::move(int dx, int dy)
{
    const Map* map = state_.map.get();
    const Player* me = map ? map->me() : nullptr;
    if (!me)
        return;
    static const struct
    {
        int dx, dy;
        char code;
    } moves[] = {{-1, 0, kStepLeft}, {1, 0, kStepRight}, {0, -1, kStepUp}, {0, 1, kStepDown}};
    for (const auto& m : moves) {
        if (m.dx != dx || m.dy != dy)
            continue;
        const bool insideAfter = map->contains(me->x + dx, me->y + dy);
        if (insideAfter && canMoveTo(dx, dy))
            sendStep(m.code, 0);
        return;
    }
}

void Session::cityStep(int dx, int dy)
{
    const Map* map = state_.map.get();
    const Player* me = map ? map->me() : nullptr;
    if (!me || !map->contains(me->x, me->y) || map->cell(me->x, me->y).kind != kCity)
        return;
    const char code = dx < 0   ? kStepCityLeft
                      : dx > 0 ? kStepCityRight
                      : dy < 0 ? kStepCityUp
                               : kStepCityDown;
    sendStep(code, 0);
}

void Session::typeCharacter(const QString& text)
{
    if (text.size() != 1)
        return;
    const QChar c = text.front();
    if (c >= QLatin1Char('1') && c <= QLatin1Char('9')) {
        sendStep(kStepPutSoldiers, 10 * (c.unicode() - '0'));
    } else if (c == QLatin1Char('0')) {
        sendStep(kStepPutSoldiers, 100);
    } else {
        const QString shifted = QStringLiteral("!@#$%^&*()");
        const qsizetype i = shifted.indexOf(c);
        if (i >= 0)
            sendStep(kStepGetSoldiers, int32_t(10 * (i + 1)));
    }
}

void Session::openEntry(EntryMode mode)
{
    entryMode = mode;
    if (mode == kEntryPutArmy)
        view_.playSound(SoundEvent::MakingPost);
}

void Session::enterAmount(int32_t value)
{
    switch (entryMode) {
    case kEntryPutArmy:
        sendStep(kStepPutSoldiers, value);
        break;
    case kEntryGetArmy:
        sendStep(kStepGetSoldiers, value);
        break;
    case kEntryPutGold:
        sendStep(kStepPutGold, value);
        break;
    case kEntryGetGold:
        sendStep(kStepGetGold, value);
        break;
    case kEntryLeaveIfMore:
        sendStep(kStepLeaveIfMore, value);
        leaveIfMore = value;
        if (Map* map = state_.map.get(); map && map->me())
            map->me()->leaveIfMore = value;
        refreshHud();
        break;
    case kEntryDefinedValue:
        definedValue = value;
        break;
    default:
        break;
    }
    entryMode = kEntryNone;
}

void Session::putAll()
{
    sendStep(kStepPutSoldiers, definedValue);
    view_.playSound(SoundEvent::MakingPost);
}

void Session::getAllSoldiers()
{
    sendStep(kStepGetSoldiers, 0);
}

void Session::cycleRoundTo()
{
    // The figure changes when the server confirms it.
    switch (roundTo) {
    case 0:
        sendStep(kStepRoundTo, 30);
        break;
    case 30:
        sendStep(kStepRoundTo, 100);
        break;
    case 100:
        sendStep(kStepRoundTo, 0);
        break;
    default:
        break;
    }
    refreshHud();
}

bool Session::togglePause()
{
    if (!state_.gameStarted || !state_.map)
        return false;
    send(pauseToggle());
    return true;
}

void Session::sendMarketOrder(char operation, int32_t quantity, int32_t price)
{
    send(market(operation, quantity, price));
}

void Session::refreshHud()
{
    Hud h;
    h.roundTo = roundTo;
    h.leaveIfMore = leaveIfMore;
    const Map* map = state_.map.get();
    const Player* me = map ? map->me() : nullptr;
    if (me) {
        h.known = true;
        h.yourArmy = withChange(me->army, me->armyChange);
        h.yourGold = withChange(me->gold, me->goldChange);
        const int kind = map->contains(me->x, me->y) ? map->cell(me->x, me->y).kind : kImpassable;
        if (kind == kGoldMine || kind == map->myIndex) {
            if (kind == map->myIndex)
                foreignBlockWarned_ = false;
            const Cell& c = map->cell(me->x, me->y);
            h.army = QString::number(c.army);
            h.gold = QString::number(c.gold);
        } else if (kind == kCity) {
            h.army = QString::number(me->cityArmy);
            h.gold = QString::number(me->cityGold);
        } else {
            h.army = h.gold = QStringLiteral("------");
            // Once on entering foreign ground, not at every update there.
            if (!foreignBlockWarned_)
                view_.playSound(SoundEvent::YourAttackFailure);
            foreignBlockWarned_ = true;
        }
    }
    game_.showHud(h);
}

// ---- Chat

bool Session::sendChat(ChatMode mode, const QString& ownName, const QString& line)
{
    const Map* map = state_.map.get();
    if (!map)
        return false;
    const QString text = ownName + QLatin1Char(':') + line;
    if (mode == kChatAll) {
        send(chat(-1, text));
    } else if (mode == kChatAllies || mode == kChatEnemies) {
        const auto& side = mode == kChatAllies ? marks_.ally : marks_.enemy;
        for (int i = 0; i <= map->playerCount - 2 && i < ChatMarks::kPlayers; ++i)
            if (side[size_t(i)] && !map->players[i].name.isEmpty())
                send(chat(i, text));
    }
    if (!state_.gameStarted)
        send(chat(-1, text)); // lobby chat goes to everybody
    return true;
}

void Session::sendVoice(int n, int voiceIndex, const QString& voiceText, const QString& ownName)
{
    const Map* map = state_.map.get();
    if (!map || n < 1 || n > 8 || voiceIndex < 0)
        return;
    const auto& side = n >= 7 ? marks_.ally : marks_.enemy;
    const QString number = QString::number(voiceIndex + 1);
    for (int i = 0; i <= map->playerCount - 2 && i < ChatMarks::kPlayers; ++i) {
        if (!side[size_t(i)] || map->players[i].name.isEmpty() || i == map->myIndex)
            continue;
        send(chat(i, kVoicePrefix + number));
        send(chat(i, ownName + QLatin1Char(':') + voiceText));
    }
}

// ---- The game

void Session::stepNumber(const StepNumber& m)
{
    state_.serverStep = m.step;
}

void Session::gameStart(const GameStart& m)
{
    // A speed out of range is taken as the nearest one.
    const int speed = std::clamp<int32_t>(m.speed, kSlowestSpeed, kHighestSpeed);
    state_.status = kGameStarted;
    log("Game started!", "Игра началась!");
    send(startedAck());
    state_.gameStarted = true;
    game_.gameStarted(speed);
    view_.showMenu(MenuSet::InGame);
}

void Session::cellUpdate(const CellUpdate& m)
{
    Map* map = state_.map.get();
    if (!map || !map->contains(m.x, m.y) || m.kind < 0 || m.kind > kLastKind)
        return;
    map->cell(m.x, m.y) = {m.army, m.gold, m.kind};
    game_.blockChanged(m.x, m.y);
    const Player* me = map->me();
    if (me && me->x == m.x && me->y == m.y)
        refreshHud();
    if (m.kind == map->myIndex) {
        refreshHud();
        game_.cursorChanged();
    }
    game_.totalsChanged();
}

void Session::playerUpdate(const PlayerUpdate& m)
{
    Map* map = state_.map.get();
    if (!map || !isPlayerIndex(m.player))
        return;
    const Player& p = map->players[m.player];
    const int oldX = p.x, oldY = p.y;
    if (!applyPlayerUpdate(*map, m))
        return;
    // The block the player left loses his cursor frame; redrawn after the
    // new position is stored so that the own cursor stays whole.
    game_.blockChanged(oldX, oldY);
    game_.playersChanged();
    game_.cursorChanged();
    refreshHud();
    game_.totalsChanged();
}

void Session::youAre(const YouAre& m)
{
    if (Map* map = state_.map.get(); map && isPlayerIndex(m.index)) {
        map->myIndex = m.index;
        refreshHud();
        game_.ownPlayer(m.index);
    }
    state_.status = kOwnPlayerKnown;
}

void Session::leaveIfMoreNotice(const LeaveIfMoreNotice& m)
{
    leaveIfMore = m.value;
    if (Map* map = state_.map.get(); map && map->me())
        map->me()->leaveIfMore = m.value;
    refreshHud();
}

void Session::roundToNotice(const RoundToNotice& m)
{
    roundTo = m.value;
    if (Map* map = state_.map.get(); map && map->me())
        map->me()->roundTo = m.value;
    refreshHud();
}

void Session::armyChangeNotice(const ArmyChangeNotice& m)
{
    if (m.change == 0 || !isPlayerIndex(m.player))
        return;
    game_.armyChanged(m.player, m.change);
    if (m.change <= -300) {
        const Map* map = state_.map.get();
        view_.playSound(map && m.player == map->myIndex ? SoundEvent::YourLoss
                                                        : SoundEvent::EnemyAttackFailure);
    }
}

void Session::eventCame()
{
    view_.gameLine(stamp() + (state_.rus ? QStringLiteral("  о-о-о  как приятно.")
                                         : QStringLiteral("  event came")));
    if (Map* map = state_.map.get()) {
        map->growBlocks([this](int x, int y) { game_.blockChanged(x, y); });
        game_.cursorChanged();
    }
    game_.totalsChanged();
}

void Session::textMessage(const TextMessage& m)
{
    QString t = m.text;
    if (const QString minutes = timeLeftMinutes(t); !minutes.isNull()) {
        game_.timeLeft(minutes);
        t.clear();
    }
    if (t == kPausedText || t == kUnpausedText) {
        const bool paused = t == kPausedText;
        if (Map* map = state_.map.get())
            map->paused = paused;
        game_.pausedChanged(paused);
    }
    if (t == kSyncedText)
        game_.synced();
    if (const QString voice = voiceNumber(t); !voice.isNull() && game_.voice(voice))
        t.clear();
    if (!t.isEmpty())
        view_.gameLine(state_.gameStarted ? stamp() + QLatin1Char(' ') + t : t);
}

void Session::gameOver()
{
    if (state_.map)
        game_.gameOver(*state_.map, gameType_);
    connection_.close();
}

} // namespace vorlan
