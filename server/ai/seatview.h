#pragma once
// What one seat knows of its game: the server's bytes for that seat decoded by
// the client's own assembler and applied to a Map the way the client applies
// them. A computer player decides from this picture and nothing else.

#include "assembler.h"
#include "map.h"

#include <QByteArrayView>

namespace vorlan::ai {

class SeatView final : public ProtocolHandler
{
public:
    SeatView();

    // Server-to-client bytes in stream order, any split. Bytes after a
    // protocol violation are ignored (a client would have disconnected).
    void receive(QByteArrayView bytes);

    const Map& map() const { return map_; }
    Map& map() { return map_; } ///< for hand-made positions in tests and benchmarks

    const Player* me() const { return map_.me(); }
    int step() const { return step_; }
    int gameType() const { return gameType_; } ///< 0 territory, 1 gold
    int minutes() const { return minutes_; }   ///< the game's length
    int minutesLeft() const { return minutesLeft_; }
    int speed() const { return speed_; }
    // Steps until the clock runs out, as far as the game's length is known
    // (a large number when it is not).
    int stepsLeft() const;
    bool started() const { return started_; }
    bool synced() const { return synced_; } ///< "received all changes" has come
    bool over() const { return over_; }
    bool paused() const { return map_.paused; }
    bool broken() const { return assembler_.isStopped(); }
    int mapsReceived() const { return mapsReceived_; } ///< counts mapData: a new map to study

    // Marks the view as a running, synced game (hand-made positions).
    void setPlaying(int myIndex, int gameType = 0);

    // ProtocolHandler
    void stepNumber(const StepNumber& m) override;
    void mapData(const MapData& m) override;
    void cellUpdate(const CellUpdate& m) override;
    void gameOver() override;
    void leaveIfMoreNotice(const LeaveIfMoreNotice& m) override;
    void youAre(const YouAre& m) override;
    void playerUpdate(const PlayerUpdate& m) override;
    void gameInfo(const GameInfo& m) override;
    void eventCame() override;
    void roundToNotice(const RoundToNotice& m) override;
    void gameStart(const GameStart& m) override;
    void textMessage(const TextMessage& m) override;

private:
    ReceiveAssembler assembler_;
    Map map_;
    int step_ = 0;
    int gameType_ = 0;
    int minutes_ = 0;
    int minutesLeft_ = 0;
    int speed_ = 2;
    int mapsReceived_ = 0;
    bool started_ = false;
    bool synced_ = false;
    bool over_ = false;
};

} // namespace vorlan::ai
