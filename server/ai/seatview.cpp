#include "seatview.h"

#include "rules.h"
#include "updates.h"

#include <algorithm>

namespace vorlan::ai {

namespace {

bool isPlayerIndex(int32_t p)
{
    return p >= 0 && p < kMaxOwners;
}

} // namespace

SeatView::SeatView() : assembler_(*this) {}

void SeatView::receive(QByteArrayView bytes)
{
    assembler_.feed(bytes);
}

int SeatView::stepsLeft() const
{
    static const int intervalMs[] = {1100, 700, 500, 350, 100}; // by speed, as the server steps
    if (minutes_ <= 0)
        return 1 << 30;
    return std::max(0, minutes_ * 60000 / intervalMs[speed_] - step_);
}

void SeatView::setPlaying(int myIndex, int gameType)
{
    map_.myIndex = myIndex;
    gameType_ = gameType;
    started_ = synced_ = true;
    over_ = false;
}

void SeatView::stepNumber(const StepNumber& m)
{
    step_ = m.step;
}

void SeatView::mapData(const MapData& m)
{
    map_ = Map::fromBytes(m.file);
    ++mapsReceived_;
}

void SeatView::cellUpdate(const CellUpdate& m)
{
    if (!map_.contains(m.x, m.y) || m.kind < 0 || m.kind > kLastKind)
        return;
    map_.cell(m.x, m.y) = {m.army, m.gold, m.kind};
}

void SeatView::gameOver()
{
    over_ = true;
}

void SeatView::leaveIfMoreNotice(const LeaveIfMoreNotice& m)
{
    if (Player* me = map_.me())
        me->leaveIfMore = m.value;
}

void SeatView::youAre(const YouAre& m)
{
    if (isPlayerIndex(m.index))
        map_.myIndex = m.index;
}

void SeatView::playerUpdate(const PlayerUpdate& m)
{
    applyPlayerUpdate(map_, m);
}

void SeatView::gameInfo(const GameInfo& m)
{
    gameType_ = m.gameType == '1' ? 1 : 0;
    minutes_ = m.minutes;
}

void SeatView::eventCame()
{
    map_.growBlocks();
}

void SeatView::roundToNotice(const RoundToNotice& m)
{
    if (Player* me = map_.me())
        me->roundTo = m.value;
}

void SeatView::gameStart(const GameStart& m)
{
    started_ = true;
    if (m.speed >= 0 && m.speed <= 4)
        speed_ = m.speed;
}

void SeatView::textMessage(const TextMessage& m)
{
    const QString& t = m.text;
    if (t.contains(kTimeLeftText)) {
        minutesLeft_ = t.mid(t.indexOf(kTimeLeftText) + kTimeLeftText.size()).toInt();
        return;
    }
    if (t == kPausedText || t == kUnpausedText)
        map_.paused = t == kPausedText;
    else if (t == kSyncedText)
        synced_ = true;
}

} // namespace vorlan::ai
