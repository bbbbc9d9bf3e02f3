#include "planner.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace dirud {

namespace {

// Neighbour order of the flood fill, the army rule's around count and the
// shortest way home: left, up, right, down.
constexpr Point kNeighbours[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
constexpr int kNoNeighbour = 4; ///< "no block just left", before the first return move

constexpr Point kTerminator = {-1, -1};

constexpr int32_t kHandToKeepNearCities = 42;
constexpr int32_t kGarrison = 30;
constexpr int32_t kGarrisonLow = 28;
constexpr int32_t kCarryLimit = 32;
constexpr int32_t kBigGarrison = 100;
constexpr int32_t kCollectorDrop = 10;

Point operator+(Point a, Point b)
{
    return {a.x + b.x, a.y + b.y};
}

int32_t sign(int32_t v)
{
    return (v > 0) - (v < 0);
}

// x + d without overflow: the player's record may hold anything.
int32_t wrapAdd(int32_t x, int32_t d)
{
    return static_cast<int32_t>(static_cast<uint32_t>(x) + static_cast<uint32_t>(d));
}

int32_t saturate(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

BotCommand command(char letter, int32_t value)
{
    BotCommand c{};
    c.letter = letter;
    c.value = value;
    return c;
}

} // namespace

std::optional<BotCommand> armyCommand(int32_t mode, int32_t citiesAround, const BotCell& block,
                                      int32_t hand)
{
    if (mode == kModeCollect) {
        if (citiesAround == 0)
            return command('G', block.army);
        if (block.kind != kCityKind && hand > kCarryLimit)
            return command('P', kCollectorDrop);
        return std::nullopt;
    }
    if (mode == kModeGarrison) {
        if (citiesAround == 0) {
            if (block.army < kGarrisonLow) {
                if (hand > kCarryLimit)
                    return command('P', saturate(int64_t(kGarrison) - block.army));
                return command('G', block.army);
            }
            if (block.army <= kGarrison)
                return std::nullopt;
            return command('G', block.army - kGarrison);
        }
        if (block.kind != kCityKind) {
            if (block.army < kBigGarrison)
                return command('P', hand);
            if (hand > kHandToKeepNearCities)
                return command('P', hand - kHandToKeepNearCities);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// ---- world and marks --------------------------------------------------------

int32_t Planner::kind(int32_t X, int32_t Y) const
{
    if (X < 1 || Y < 1 || X > width_ || Y > height_)
        return kOutsideKind;
    const BotCell* c = cellQuery_(X - 1, Y - 1);
    return c ? c->kind : kOutsideKind;
}

int Planner::aroundCount(int32_t X, int32_t Y, int32_t k) const
{
    // Worked in 64 bits: the player's position comes from outside and may be
    // at the edge of the int range.
    const int64_t xs[5] = {X, int64_t(X) - 1, X, int64_t(X) + 1, X};
    const int64_t ys[5] = {Y, Y, int64_t(Y) - 1, Y, int64_t(Y) + 1};
    int n = 0;
    for (int i = 0; i < 5; ++i) {
        const bool inside = xs[i] >= 1 && ys[i] >= 1 && xs[i] <= width_ && ys[i] <= height_;
        const int32_t kk = inside ? kind(int32_t(xs[i]), int32_t(ys[i])) : kOutsideKind;
        n += kk == k;
    }
    return n;
}

bool Planner::inMarks(int32_t X, int32_t Y) const
{
    return X >= 0 && Y >= 0 && X <= width_ + 1 && Y <= height_ + 1;
}

int32_t Planner::markAt(int m, int32_t X, int32_t Y) const
{
    return inMarks(X, Y) ? marks_[m][X][Y] : kNoMark;
}

void Planner::setMark(int m, int32_t X, int32_t Y, int32_t value)
{
    // Only blocks of the map carry marks; the border stays 0 whatever walks there.
    if (X >= 1 && Y >= 1 && X <= width_ && Y <= height_)
        marks_[m][X][Y] = value;
}

int32_t Planner::mark(int region, int32_t X, int32_t Y) const
{
    if (region < 0 || region >= kMaxRegions)
        return kNoMark;
    return markAt(region, X, Y);
}

Point Planner::routeEntry(int region, int index) const
{
    if (region < 0 || region >= kMaxRegions || index < 0 || index >= kRouteEntries)
        return {};
    return paths_[region][index];
}

bool Planner::hasRoute(int region) const
{
    return region >= 0 && region < kMaxRegions && routeBuilt_[region];
}

int32_t Planner::regionRemaining(int region) const
{
    return region >= 0 && region < kMaxRegions ? remaining_[region] : 0;
}

int32_t Planner::regionMode(int region) const
{
    return region >= 0 && region < kMaxRegions ? mode_[region] : kModeNone;
}

ReturnEnd Planner::returnEnd(int region) const
{
    return region >= 0 && region < kMaxRegions ? returnEnd_[region] : ReturnEnd::NoRoute;
}

// ---- planning ---------------------------------------------------------------

void Planner::setUp(BotCellInfoFunc cellInfo, const BotParams& params)
{
    cellQuery_ = cellInfo;
    ownCode_ = params.myIndex;
    // The marks are sized for the largest map; a larger size is cut down to it.
    width_ = std::clamp<int32_t>(params.width, 0, kMaxSide);
    height_ = std::clamp<int32_t>(params.height, 0, kMaxSide);
    regionCount_ = 0;
    for (int m = 0; m < kMaxRegions; ++m) {
        for (auto& column : marks_[m])
            std::fill(std::begin(column), std::end(column), kNoMark);
        std::fill(std::begin(paths_[m]), std::end(paths_[m]), Point{});
        remaining_[m] = 0;
        mode_[m] = kModeNone;
        routeBuilt_[m] = false;
        returnEnd_[m] = ReturnEnd::NoRoute;
    }
    currentRegion_ = 0;
    currentStep_ = 0;
}

void Planner::findRegions()
{
    // Only player numbers own blocks; any other code owns nothing.
    if (ownCode_ < 0 || ownCode_ > 7)
        return;
    for (int32_t X = 0; X <= width_; ++X) {
        for (int32_t Y = 0; Y <= height_; ++Y) {
            if (aroundCount(X, Y, ownCode_) != 5)
                continue;
            bool known = false;
            for (int r = 0; r < regionCount_ && !known; ++r)
                known = marks_[r][X][Y] > kNoMark;
            if (known || regionCount_ == kMaxRegions)
                continue;
            floodFill(regionCount_, X, Y);
            ++regionCount_;
        }
    }
}

void Planner::floodFill(int m, int32_t X, int32_t Y)
{
    // Every own block 4-connected to (X, Y) gets mark 2 and is counted once,
    // every city next to one of them gets mark 1. The outcome does not depend
    // on the visiting order, so an explicit stack replaces deep recursion.
    Point stack[kMaxSide * kMaxSide];
    int top = 0;
    const auto visit = [&](int32_t x, int32_t y) {
        const int32_t k = kind(x, y);
        if (markAt(m, x, y) == kNoMark && k == ownCode_) {
            setMark(m, x, y, kUnwalked);
            ++remaining_[m];
            stack[top++] = {x, y};
        }
        if (k == kCityKind)
            setMark(m, x, y, kCityMark);
    };
    visit(X, Y);
    while (top > 0) {
        const Point b = stack[--top];
        for (const Point d : kNeighbours)
            visit(b.x + d.x, b.y + d.y);
    }
}

bool Planner::findEntry(int m, Point& entry) const
{
    for (const int32_t wanted : {kCityMark, kUnwalked}) {
        for (int32_t X = 0; X <= width_; ++X) {
            for (int32_t Y = 0; Y <= height_; ++Y) {
                if (marks_[m][X][Y] == wanted && aroundCount(X, Y, ownCode_) < 4) {
                    entry = {X, Y};
                    return true;
                }
            }
        }
    }
    return false;
}

void Planner::appendToRoute(int m, Point p)
{
    if (stepNumber_ >= 0 && stepNumber_ < kRouteEntries)
        paths_[m][stepNumber_] = p;
    if (markAt(m, p.x, p.y) < kFirstWalked)
        --remaining_[m];
}

void Planner::buildRoutes()
{
    for (int m = 0; m < regionCount_; ++m)
        buildRoute(m);
    // A player on the entry matches the closing entry last; walking on from
    // there would run past the route, so start from its beginning instead.
    if (routeBuilt_[currentRegion_] && currentStep_ + 1 < kRouteEntries &&
        paths_[currentRegion_][currentStep_ + 1].x < 0)
        currentStep_ = kFirstRouteEntry;
}

void Planner::buildRoute(int m)
{
    Point e;
    if (!findEntry(m, e))
        return;

    Point c = e;
    for (const Point d : {Point{0, -1}, Point{0, 1}, Point{-1, 0}, Point{1, 0}}) {
        if (markAt(m, e.x + d.x, e.y + d.y) == kUnwalked) {
            c = e + d;
            break;
        }
    }

    stepNumber_ = kFirstRouteEntry;
    appendToRoute(m, e);
    ++stepNumber_;
    appendToRoute(m, c);
    ++stepNumber_;
    setMark(m, c.x, c.y, kFirstWalked);
    Point p = e;

    while (stepNumber_ < kRouteLimit) {
        walkStep(m, c, p);
        if (c == e || remaining_[m] <= 0)
            break;
    }

    returnWalk(m, c, e);

    mode_[m] = kModeCollect;
    appendToRoute(m, e);
    ++stepNumber_;
    appendToRoute(m, kTerminator);
    ++stepNumber_;
    routeBuilt_[m] = true;

    startSearch(m);
}

void Planner::walkStep(int m, Point& c, Point& p)
{
    const Point d = {c.x - p.x, c.y - p.y};
    switch (2 * d.y + d.x) {
    case -2: // up
        turns_[0] = {1, 0};
        turns_[2] = {-1, 0};
        break;
    case -1: // left
        turns_[0] = {0, -1};
        turns_[2] = {0, 1};
        break;
    case 1: // right
        turns_[0] = {0, 1};
        turns_[2] = {0, -1};
        break;
    case 2: // down
        turns_[0] = {-1, 0};
        turns_[2] = {1, 0};
        break;
    default: // no move: the turns stay as they were
        break;
    }
    turns_[1] = d;
    turns_[3] = {-d.x, -d.y};

    // Unwalked ground first, then the block walked longest ago; cities and
    // foreign ground never. With nothing to choose, turn right anyway.
    int best = 0;
    int32_t bestMark = stepNumber_ + 1;
    for (int i = 0; i < 4; ++i) {
        const int32_t v = markAt(m, c.x + turns_[i].x, c.y + turns_[i].y);
        if (v > kCityMark && v < bestMark) {
            best = i;
            bestMark = v;
        }
    }
    // Do not leave a one-block strip between the walk and walked ground.
    if (best == 1 && markAt(m, c.x + turns_[2].x, c.y + turns_[2].y) == bestMark &&
        markAt(m, c.x + 2 * turns_[2].x, c.y + 2 * turns_[2].y) > bestMark)
        best = 2;

    appendToRoute(m, c);
    setMark(m, c.x, c.y, stepNumber_);
    ++stepNumber_;
    p = c;
    c = c + turns_[best];
}

void Planner::returnMove(int m, Point& c, Point target)
{
    appendToRoute(m, c);
    ++stepNumber_;
    setMark(m, c.x, c.y, stepNumber_);
    c = target;
}

void Planner::returnWalk(int m, Point& c, Point e)
{
    // Each greedy move depends only on the block and the block just left, so
    // a pair seen before means the walk has begun to circle.
    bool seen[kMarkSide][kMarkSide][kNoNeighbour + 1] = {};
    int from = kNoNeighbour;
    while (!(c == e)) {
        if (stepNumber_ >= kRouteLimit) {
            returnEnd_[m] = ReturnEnd::RouteLimit;
            return;
        }
        if (!inMarks(c.x, c.y)) { // cannot happen: the walks stay on marked ground
            returnEnd_[m] = ReturnEnd::Stuck;
            return;
        }
        bool& visited = seen[c.x][c.y][from];
        if (visited) {
            returnEnd_[m] = ReturnEnd::Circling;
            shortestPathHome(m, c, e);
            return;
        }
        visited = true;

        const int32_t sx = sign(e.x - c.x), sy = sign(e.y - c.y);
        const auto allowed = [&](Point t) {
            const int32_t v = markAt(m, t.x, t.y);
            return v > kNoMark && v < stepNumber_;
        };
        const Point candidates[4] = {
            {c.x + sx, c.y}, {c.x, c.y + sy}, {c.x - sx, c.y}, {c.x, c.y - sy}};
        const bool applicable[4] = {sx != 0, sy != 0, sx != 0, sy != 0};
        int chosen = -1;
        for (int i = 0; i < 4 && chosen < 0; ++i) {
            if (applicable[i] && allowed(candidates[i]))
                chosen = i;
        }
        if (chosen < 0) {
            returnEnd_[m] = ReturnEnd::Stuck;
            shortestPathHome(m, c, e);
            return;
        }
        const Point left = c;
        returnMove(m, c, candidates[chosen]);
        from = kNoNeighbour;
        for (int i = 0; i < 4; ++i) {
            if (c + kNeighbours[i] == left)
                from = i;
        }
    }
    returnEnd_[m] = ReturnEnd::Reached;
}

void Planner::shortestPathHome(int m, Point& c, Point e)
{
    // Breadth first over marked ground; the first path to reach E is kept.
    constexpr int kCells = kMarkSide * kMarkSide;
    int16_t parent[kMarkSide][kMarkSide];
    for (auto& column : parent)
        std::fill(std::begin(column), std::end(column), int16_t(-1));
    const auto code = [](Point p) { return int16_t(p.x * kMarkSide + p.y); };
    const auto point = [](int16_t v) { return Point{v / kMarkSide, v % kMarkSide}; };

    Point queue[kCells];
    int head = 0, tail = 0;
    parent[c.x][c.y] = code(c);
    queue[tail++] = c;
    bool found = false;
    while (head < tail && !found) {
        const Point b = queue[head++];
        for (const Point d : kNeighbours) {
            const Point n = b + d;
            if (!inMarks(n.x, n.y) || parent[n.x][n.y] >= 0 || markAt(m, n.x, n.y) <= kNoMark)
                continue;
            parent[n.x][n.y] = code(b);
            if (n == e) {
                found = true;
                break;
            }
            queue[tail++] = n;
        }
    }
    if (!found) // cannot happen: the region and its cities are connected
        return;

    // The path from E back to C, then walked forwards.
    Point path[kCells];
    int length = 0;
    for (Point p = e; !(p == c); p = point(parent[p.x][p.y]))
        path[length++] = p;
    while (length > 0 && stepNumber_ < kRouteLimit)
        returnMove(m, c, path[--length]);
}

void Planner::startSearch(int m)
{
    for (int s = kFirstRouteEntry; s < kRouteEntries && paths_[m][s].x > 0; ++s) {
        if (paths_[m][s] == Point{posX_, posY_}) {
            currentRegion_ = m;
            currentStep_ = s;
        }
    }
}

void Planner::finishPlan()
{
    mode_[0] = kModeGarrison;
    planReady_ = true;
    readIndex_ = writeIndex_ = 0;
    for (int i = 0; i < 3; ++i)
        queueCommand('i', 0);
}

// ---- playing ----------------------------------------------------------------

void Planner::queueCommand(char letter, int32_t value)
{
    ring_[writeIndex_] = command(letter, value);
    writeIndex_ = (writeIndex_ + 1) % kRingSize;
}

void Planner::takeStep(BotMyRecordFunc myRecord)
{
    const int r = currentRegion_;
    if (!routeBuilt_[r])
        return; // no route to walk: stand still
    int s = currentStep_;
    if (s < 0 || s + 2 >= kRouteEntries) // cannot happen: steps stay before the closing entry
        s = kFirstRouteEntry;

    const BotCell* seen = cellQuery_(wrapAdd(posX_, -1), wrapAdd(posY_, -1));
    const BotCell v = seen ? *seen : BotCell{0, 0, kOutsideKind};
    const BotPlayer* me = myRecord();
    const int32_t hand = me ? me->army : 0;

    const Point* path = paths_[r];
    if (int64_t(path[s].x) - remaining_[r] > 0) {
        const int c = aroundCount(posX_, posY_, kCityKind);
        if (const auto army = armyCommand(mode_[r], c, v, hand))
            queueCommand(army->letter, army->value);
    }

    const int32_t dX = path[s + 1].x - path[s].x;
    const int32_t dY = path[s + 1].y - path[s].y;
    currentStep_ = path[s + 2].x < 0 ? kFirstRouteEntry : s + 1;
    switch (2 * dY + dX) {
    case -2:
        queueCommand('U', 0);
        posY_ = wrapAdd(posY_, -1);
        break;
    case -1:
        queueCommand('L', 0);
        posX_ = wrapAdd(posX_, -1);
        break;
    case 1:
        queueCommand('R', 0);
        posX_ = wrapAdd(posX_, 1);
        break;
    case 2:
        queueCommand('D', 0);
        posY_ = wrapAdd(posY_, 1);
        break;
    default:
        break;
    }
}

const BotCommand* Planner::enter(BotCellInfoFunc cellInfo, BotMyRecordFunc myRecord,
                                 const BotParams* params)
{
    if (!cellInfo || !myRecord || !params)
        return nullptr;
    if (const BotPlayer* me = myRecord()) {
        posX_ = wrapAdd(me->x, 1);
        posY_ = wrapAdd(me->y, 1);
    }
    if (!planReady_) { // the first call after loading
        setUp(cellInfo, *params);
        findRegions();
        buildRoutes();
        finishPlan();
    }
    if (readIndex_ == writeIndex_ && planReady_)
        takeStep(myRecord);
    if (readIndex_ == writeIndex_)
        return nullptr;
    const BotCommand* next = &ring_[readIndex_];
    readIndex_ = (readIndex_ + 1) % kRingSize;
    return next;
}

} // namespace dirud
