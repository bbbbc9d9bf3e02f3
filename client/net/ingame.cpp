#include "ingame.h"

#include "connection.h"
#include "controls/chat.h"
#include "controls/orders.h"
#include "datafiles.h"
#include "encoders.h"
#include "mainwindow.h"
#include "updates.h"
#include "view/mappanel.h"

#include <algorithm>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

namespace vorlan {

namespace {
bool isPlayerIndex(int32_t p)
{
    return p >= 0 && p < kMaxOwners;
}
} // namespace

InGame::InGame(TForm1& main, AppState& state, Connection& connection)
    : main_(main), state_(state), connection_(connection)
{}

int InGame::stepInterval(int speed)
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
} // namespace

QString InGame::timeLeftMinutes(const QString& t)
{
    QString digits = digitsAfter(t, kTimeLeftText, t.size());
    if (digits.isNull())
        return {};
    // The whole number, without leading zeros: "007" reads 7, "00" reads 0.
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits.remove(0, 1);
    return digits;
}

QString InGame::voiceNumber(const QString& t)
{
    return digitsAfter(t, kVoicePrefix, kVoiceDigits);
}

QString InGame::stamp() const
{
    return formatClock(state_.elapsedSeconds());
}

void InGame::refreshMonitorIfVisible()
{
    main_.refreshMonitorIfVisible();
}

void InGame::stepNumber(const StepNumber& m)
{
    state_.serverStep = m.step;
}

void InGame::gameStart(const GameStart& m)
{
    // A speed out of range is taken as the nearest one.
    const int speed = std::clamp<int32_t>(m.speed, kSlowestSpeed, kHighestSpeed);
    main_.gameSpeed->setValue(speed);
    main_.Timer2.setInterval(stepInterval(speed));
    state_.status = kGameStarted;
    main_.msgToSend->hide();
    main_.msgToSendLabel->hide();
    main_.logSystem(QStringLiteral("Game started!"), QStringLiteral("Игра началась!"));
    connection_.write(startedAck());
    main_.playersPanel->hide();
    main_.connectPanel->hide();
    main_.focusButton->setFocus();
    main_.mapPanel->show();
    main_.mapPanel->paintMap();
    main_.focusButton->setFocus();
    state_.gameStarted = true;
    main_.setMenuState(MenuSet::InGame);
    main_.startMusic();
}

void InGame::cellUpdate(const CellUpdate& m)
{
    Map* map = state_.map.get();
    if (!map || !map->contains(m.x, m.y) || m.kind < 0 || m.kind > kLastKind)
        return;
    map->cell(m.x, m.y) = {m.army, m.gold, m.kind};
    main_.mapPanel->paintBlock(m.x, m.y);
    const Player* me = map->me();
    if (me && me->x == m.x && me->y == m.y)
        main_.orders().refreshHud();
    if (m.kind == map->myIndex) {
        main_.orders().refreshHud();
        main_.mapPanel->paintCursor();
    }
    refreshMonitorIfVisible();
}

void InGame::playerUpdate(const PlayerUpdate& m)
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
    main_.mapPanel->paintBlock(oldX, oldY);
    main_.chat().repaintGrid();
    main_.mapPanel->paintCursor();
    main_.orders().refreshHud();
    refreshMonitorIfVisible();
}

void InGame::youAre(const YouAre& m)
{
    if (Map* map = state_.map.get(); map && isPlayerIndex(m.index)) {
        map->myIndex = m.index;
        main_.orders().refreshHud();
        main_.yourImage->setPixmap(
            QPixmap(dataFile(QString::number(m.index) + QStringLiteral(".bmp"))));
        main_.mapPanel->paintCursor();
    }
    state_.status = kOwnPlayerKnown;
}

void InGame::leaveIfMoreNotice(const LeaveIfMoreNotice& m)
{
    main_.orders().leaveIfMore = m.value;
    if (Map* map = state_.map.get(); map && map->me())
        map->me()->leaveIfMore = m.value;
    main_.orders().refreshHud();
}

void InGame::roundToNotice(const RoundToNotice& m)
{
    main_.orders().roundTo = m.value;
    main_.roundToText->setText(QString::number(m.value));
    if (Map* map = state_.map.get(); map && map->me())
        map->me()->roundTo = m.value;
}

void InGame::armyChangeNotice(const ArmyChangeNotice& m)
{
    if (m.change == 0 || !isPlayerIndex(m.player))
        return;
    main_.chat().showArmyChange(m.player, m.change);
    if (m.change <= -300) {
        const Map* map = state_.map.get();
        main_.playEvent(map && m.player == map->myIndex ? Sound::Event::YourLoss
                                                        : Sound::Event::EnemyAttackFailure);
    }
}

void InGame::eventCame()
{
    main_.logGame(stamp() + (state_.rus ? QStringLiteral("  о-о-о  как приятно.")
                                        : QStringLiteral("  event came")));
    if (Map* map = state_.map.get()) {
        map->growBlocks([this](int x, int y) { main_.mapPanel->paintBlock(x, y); });
        main_.mapPanel->paintCursor();
    }
    refreshMonitorIfVisible();
}

void InGame::textMessage(const TextMessage& m)
{
    QString t = m.text;
    if (const QString minutes = timeLeftMinutes(t); !minutes.isNull()) {
        main_.msgToSendLabel->hide();
        main_.msgToSend->hide();
        main_.playersPanel->hide();
        main_.timeLeft->setText(minutes);
        main_.timeLeft->show();
        if (minutes == QLatin1String("0")) {
            main_.timeLeft->hide();
            main_.msgToSendLabel->move(main_.msgToSendLabel->x(), 72);
            main_.msgToSend->move(main_.msgToSend->x(), 98);
            main_.msg->resize(main_.msg->width(), 45);
            main_.pauseMusic();
        }
        t.clear();
    }
    if (t == kPausedText || t == kUnpausedText) {
        const bool paused = t == kPausedText;
        main_.pauseButton->setIcon(
            QIcon(dataFile(paused ? QStringLiteral("play.bmp") : QStringLiteral("pause.bmp"))));
        if (Map* map = state_.map.get()) {
            map->paused = paused;
            main_.mapPanel->paintMap();
        }
    }
    if (t == kSyncedText)
        main_.startMusic();
    if (const QString voice = voiceNumber(t); !voice.isNull() && main_.waveEnabled()) {
        main_.playWave(QStringLiteral("kukly") + voice + QStringLiteral(".wav"));
        t.clear();
    }
    if (!t.isEmpty())
        main_.logGame(state_.gameStarted ? stamp() + QLatin1Char(' ') + t : t);
}

void InGame::gameOver()
{
    // The results window runs its own loop, in which the connection may end
    // and the map be replaced: it works on a copy.
    if (state_.map)
        main_.showResults(*state_.map);
    connection_.close();
}

} // namespace vorlan
