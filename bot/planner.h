// The idiot: plans closed routes over the player's own territory and walks
// them, collecting and placing soldiers on the way.
//
// All state is plain data with no pointers into the client except the cell
// query kept from the first call. A value-initialised Planner is exactly the
// state of a freshly loaded library; the library holds one as static data.
#pragma once

#include "botcontract.h"

#include <cstdint>
#include <optional>

namespace dirud {

constexpr int kMaxRegions = 10;         ///< regions beyond the tenth are ignored
constexpr int kRouteEntries = 1000;     ///< route entries per region, 0..999
constexpr int kFirstRouteEntry = 3;     ///< entries 0..2 are never written
constexpr int kRouteLimit = 998;        ///< no walk move from here on; E and the end still fit
constexpr int kMaxSide = 40;            ///< largest map side
constexpr int kMarkSide = kMaxSide + 2; ///< marks cover the map and its border
constexpr int kRingSize = 30;           ///< commands kept in the ring

// Marks of a region's blocks.
constexpr int32_t kNoMark = 0;      ///< not part of the region
constexpr int32_t kCityMark = 1;    ///< a city touching the region
constexpr int32_t kUnwalked = 2;    ///< a region block not yet walked
constexpr int32_t kFirstWalked = 3; ///< from here on: route index of the last visit

// Which army rule a region uses.
constexpr int32_t kModeNone = 0;
constexpr int32_t kModeCollect = 1;
constexpr int32_t kModeGarrison = 2;

constexpr int32_t kCityKind = 11;
constexpr int32_t kOutsideKind = 8;

struct Point
{
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// How the way back to the entry ended while planning a route.
enum class ReturnEnd : uint8_t
{
    NoRoute,    ///< the region got no route
    Reached,    ///< the greedy return walk (or the sweep itself) reached the entry
    RouteLimit, ///< the route filled up before the entry was reached
    Stuck,      ///< no greedy move was allowed; finished by the shortest path
    Circling,   ///< the greedy walk began to repeat; finished by the shortest path
};

// What the army rule queues for the block under the player, if anything.
// mode: the region's rule; citiesAround: cities among the block and its four
// neighbours; block: the block as the cell view shows it; hand: soldiers carried.
std::optional<BotCommand> armyCommand(int32_t mode, int32_t citiesAround, const BotCell& block,
                                      int32_t hand);

class Planner
{
public:
    // One call of the export: plans at the first call, then walks. Returns
    // null when nothing is to be done now, else a command in the ring.
    const BotCommand* enter(BotCellInfoFunc cellInfo, BotMyRecordFunc myRecord,
                            const BotParams* params);

    // The planning steps that the first call runs, in this order (a call
    // plans while no plan is ready). Exposed so that tests can look at, or
    // change the world between, the steps.
    void setUp(BotCellInfoFunc cellInfo, const BotParams& params);
    void findRegions();
    void buildRoutes();
    void finishPlan();

    // Read-only views for tests. Coordinates are 1-based (X = x + 1); marks
    // outside the map and its border read as 0.
    int regionCount() const { return regionCount_; }
    int32_t mark(int region, int32_t X, int32_t Y) const;
    Point routeEntry(int region, int index) const;
    bool hasRoute(int region) const;
    int32_t regionRemaining(int region) const;
    int32_t regionMode(int region) const;
    ReturnEnd returnEnd(int region) const;
    int currentRegion() const { return currentRegion_; }
    int currentStep() const { return currentStep_; }
    bool planReady() const { return planReady_; }
    Point position() const { return {posX_, posY_}; }

private:
    int32_t kind(int32_t X, int32_t Y) const;
    int aroundCount(int32_t X, int32_t Y, int32_t k) const;
    int32_t markAt(int m, int32_t X, int32_t Y) const;
    void setMark(int m, int32_t X, int32_t Y, int32_t value);
    bool inMarks(int32_t X, int32_t Y) const;

    void floodFill(int m, int32_t X, int32_t Y);
    bool findEntry(int m, Point& entry) const;
    void buildRoute(int m);
    void walkStep(int m, Point& c, Point& p);
    void returnWalk(int m, Point& c, Point e);
    void shortestPathHome(int m, Point& c, Point e);
    void returnMove(int m, Point& c, Point target);
    void appendToRoute(int m, Point p);
    void startSearch(int m);

    void takeStep(BotMyRecordFunc myRecord);
    void queueCommand(char letter, int32_t value);

    BotCommand ring_[kRingSize] = {};
    int readIndex_ = 0;
    int writeIndex_ = 0;
    bool planReady_ = false;

    int32_t ownCode_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    BotCellInfoFunc cellQuery_ = nullptr;
    int32_t posX_ = 0;
    int32_t posY_ = 0;

    int regionCount_ = 0;
    int32_t marks_[kMaxRegions][kMarkSide][kMarkSide] = {}; ///< [region][X][Y]
    Point paths_[kMaxRegions][kRouteEntries] = {};
    int32_t remaining_[kMaxRegions] = {};
    int32_t mode_[kMaxRegions] = {};
    bool routeBuilt_[kMaxRegions] = {};
    ReturnEnd returnEnd_[kMaxRegions] = {};
    int stepNumber_ = 0;
    int currentRegion_ = 0;
    int currentStep_ = 0;
    Point turns_[4] = {}; ///< right turn, straight on, left turn, back
};

} // namespace dirud
