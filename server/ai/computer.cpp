#include "computer.h"

#include "encoders.h"
#include "rankings.h"
#include "rules.h"

#include <algorithm>
#include <cmath>

namespace vorlan::ai {

namespace {

constexpr int kDx[4] = {-1, 1, 0, 0};
constexpr int kDy[4] = {0, 0, -1, 1};
constexpr char kMoves[4] = {kStepLeft, kStepRight, kStepUp, kStepDown};
constexpr int kMarketPrice = 5;         ///< gold per soldier offered or asked
constexpr int kMarketEverySteps = 20;   ///< how often the standing offer is looked at
constexpr int kSettleStep = 150;        ///< from here on surplus armies are banked
constexpr int kBankAbove = 400;         ///< leave-if-more once settled (territory)
constexpr int kBankRound = 100;         ///< round-to once settled: banked garrisons grow fastest
constexpr int32_t kAll = 1'000'000'000; ///< "as much as there is" for p / g
constexpr int kGrowthEvery = 10;
constexpr double kPatience = 0.6;   ///< attacks now if that is worth this share of the best target
constexpr double kCommitment = 0.7; ///< share of the best worth a chosen target must keep
constexpr int kStrandedArmy = 10;
constexpr int kLastDash =
    100; ///< steps before the end when every garrison is spent   ///< few enough soldiers to spend
         ///< just to walk free        ///< one growth step per this many server steps

bool walkable(int kind, int me)
{
    return kind == me || kind == kCity || kind == kGoldMine;
}

// Growth steps that happen before the order given `steps` orders from now
// (the first order goes out before the next server step).
int growthsBefore(int step, int steps)
{
    if (steps <= 1)
        return 0;
    return (step + steps - 1) / kGrowthEvery - step / kGrowthEvery;
}

} // namespace

Style styleOf(Level level)
{
    Style s;
    switch (level) {
    case Level::Easy: // slow to react, never defends, walks everywhere on foot
        s.reactPercent = 65;
        s.defends = false;
        s.rivalAware = false;
        s.useCities = false;
        s.commits = false;
        s.keepBorder = 0;
        s.soldierSteps = 0.5;
        s.enemyBlock = 1.0;
        break;
    case Level::Normal:
        s.reactPercent = 80;
        s.defends = true;
        s.rivalAware = false;
        s.useCities = true;
        s.commits = false;
        s.keepBorder = 0;
        s.soldierSteps = 0.5;
        s.enemyBlock = 1.0;
        break;
    case Level::Hard: // every step; guards his border, keeps to his plan, watches rivals
        s.reactPercent = 100;
        s.defends = true;
        s.rivalAware = true;
        s.useCities = true;
        s.commits = true;
        s.keepBorder = 4;
        s.soldierSteps = 0.3;
        s.enemyBlock = 1.5;
        break;
    }
    return s;
}

ComputerPlayer::ComputerPlayer(const Style& style, uint32_t seed) : style_(style), rng_(seed) {}

QByteArray ComputerPlayer::act()
{
    if (!view_.started() || !view_.synced() || view_.over() || view_.paused() || !view_.me())
        return {};
    if (view_.step() == lastStep_)
        return {};
    lastStep_ = view_.step();
    if (int(rng_() % 100) >= style_.reactPercent)
        return {};
    QByteArray out;
    const auto s = decide();
    if (s)
        out += vorlan::step(s->subCode, s->argument);
    if (view_.step() % kMarketEverySteps == 0)
        if (const auto m = marketOrder())
            out += vorlan::market(m->operation, m->quantity, m->price);
    return out;
}

void ComputerPlayer::prepareMap()
{
    const Map& m = view_.map();
    for (auto& j : jumps_)
        j.fill(-1);
    // The server's rule: the nearest city on that side, distance along the
    // direction plus across it; the first found wins a tie.
    for (int cx = 0; cx < m.width; ++cx) {
        for (int cy = 0; cy < m.height; ++cy) {
            if (m.cell(cx, cy).kind != kCity)
                continue;
            for (int d = 1; d <= 4; ++d) {
                int best = -1;
                for (int x = 0; x < m.width; ++x) {
                    for (int y = 0; y < m.height; ++y) {
                        if (m.cell(x, y).kind != kCity)
                            continue;
                        const int along = d == 1   ? cx - x
                                          : d == 2 ? x - cx
                                          : d == 3 ? cy - y
                                                   : y - cy;
                        const int across = d <= 2 ? std::abs(y - cy) : std::abs(x - cx);
                        if (along <= 0 || (best >= 0 && along + across >= best))
                            continue;
                        best = along + across;
                        jumps_[at(cx, cy)][d - 1] = int16_t(at(x, y));
                    }
                }
            }
        }
    }
    preparedFor_ = view_.mapsReceived();
}

bool ComputerPlayer::hostile(int kind) const
{
    return kind == kNeutral || (isOwnerKind(kind) && kind != view_.map().myIndex);
}

bool ComputerPlayer::nextToRival(int x, int y) const
{
    const Map& m = view_.map();
    for (int d = 0; d < 4; ++d) {
        const int nx = x + kDx[d], ny = y + kDy[d];
        if (m.contains(nx, ny) && isOwnerKind(m.cell(nx, ny).kind) &&
            m.cell(nx, ny).kind != m.myIndex)
            return true;
    }
    return false;
}

void ComputerPlayer::search(bool freeEverywhere)
{
    const Map& m = view_.map();
    const Player& me = *view_.me();
    dist_.fill(-1);
    queued_ = 0;
    const int s = at(me.x, me.y);
    dist_[s] = 0;
    first_[s] = 0;
    queue_[queued_++] = int16_t(s);
    for (int qi = 0; qi < queued_; ++qi) {
        const int c = queue_[qi], x = c % kSide, y = c / kSide;
        for (int d = 0; d < 4; ++d) {
            const int nx = x + kDx[d], ny = y + kDy[d];
            if (!m.contains(nx, ny))
                continue;
            const int kind = m.cell(nx, ny).kind;
            const int n = at(nx, ny);
            if (kind == kImpassable || dist_[n] >= 0 ||
                (!freeEverywhere && !walkable(kind, m.myIndex)))
                continue;
            dist_[n] = int16_t(dist_[c] + 1);
            first_[n] = c == s ? kMoves[d] : first_[c];
            queue_[queued_++] = int16_t(n);
        }
        if (style_.useCities && freeEverywhere && m.cell(x, y).kind == kCity) {
            for (int d = 0; d < 4; ++d) {
                const int t = jumps_[c][d];
                if (t < 0 || dist_[t] >= 0)
                    continue;
                dist_[t] = int16_t(dist_[c] + 1);
                first_[t] = c == s ? char(kStepCityLeft + d) : first_[c];
                queue_[queued_++] = int16_t(t);
            }
        }
    }
}

int ComputerPlayer::predictedGarrison(int x, int y, int steps) const
{
    int g = std::max(0, view_.map().cell(x, y).army);
    for (int n = growthsBefore(view_.step(), steps); n > 0; --n)
        g += armyGrowth(g);
    return g;
}

int ComputerPlayer::keepOn(int x, int y) const
{
    if (view_.stepsLeft() < kLastDash)
        return 0; // soldiers count for nothing at the end: all out
    return nextToRival(x, y) ? style_.keepBorder : 0;
}

double ComputerPlayer::contested(int x, int y, int steps) const
{
    // A rival who gets there first with soldiers takes or retakes the block:
    // it is worth less to walk to.
    const Map& m = view_.map();
    double factor = 1.0;
    for (int r = 0; r < kMaxOwners; ++r) {
        const Player& p = m.players[r];
        if (r == m.myIndex || p.name.isEmpty() || p.army <= m.cell(x, y).army)
            continue;
        const int d = std::abs(p.x - x) + std::abs(p.y - y);
        if (d < steps || (d <= 2 && m.cell(x, y).kind == r))
            factor *= 0.6;
    }
    return factor;
}

std::optional<Step> ComputerPlayer::settings() const
{
    const Player& me = *view_.me();
    int wantLeave = me.leaveIfMore, wantRound = me.roundTo;
    if (view_.gameType() == kGoldGame) {
        wantLeave = 0; // soldiers only stand in the way of walking to the mines
        wantRound = 0;
    } else if (view_.step() >= kSettleStep) {
        wantLeave = kBankAbove;
        wantRound = kBankRound;
    }
    if (me.leaveIfMore != wantLeave)
        return Step{kStepLeaveIfMore, wantLeave};
    if (me.roundTo != wantRound)
        return Step{kStepRoundTo, wantRound};
    return std::nullopt;
}

std::optional<Step> ComputerPlayer::decide()
{
    if (!view_.me() || view_.map().width <= 0)
        return std::nullopt;
    if (preparedFor_ != view_.mapsReceived())
        prepareMap();
    if (const auto s = settings())
        return s;
    return view_.gameType() == kGoldGame ? goldMove() : territoryMove();
}

std::optional<Step> ComputerPlayer::territoryMove()
{
    const Map& m = view_.map();
    const Player& me = *view_.me();
    const int army = me.army;
    const int s = at(me.x, me.y);
    search(false);

    struct Choice
    {
        double score = -1;
        char order = 0;
        int need = 0;
    };
    Choice capture, anyTarget, defend, kept;
    std::array<uint8_t, kSide * kSide> seen{};
    for (int qi = 0; qi < queued_; ++qi) {
        const int c = queue_[qi], x = c % kSide, y = c / kSide;
        for (int d = 0; d < 4; ++d) {
            const int hx = x + kDx[d], hy = y + kDy[d];
            if (!m.contains(hx, hy) || !hostile(m.cell(hx, hy).kind))
                continue;
            const int h = at(hx, hy);
            if (seen[h])
                continue;
            seen[h] = 1;
            const int steps = dist_[c] + 1;
            const bool rival = m.cell(hx, hy).kind != kNeutral;
            const int g = predictedGarrison(hx, hy, steps);
            const int margin = rival ? 1 : 0;
            double worth = rival ? style_.enemyBlock : 1.0;
            if (style_.rivalAware)
                worth *= contested(hx, hy, steps);
            const double score = worth / (steps + style_.soldierSteps * (g + 1));
            if (score > anyTarget.score)
                anyTarget = {score, 0, g + margin + 1};
            if (army > g + margin && score > capture.score)
                capture = {score, c == s ? kMoves[d] : first_[c], h};
            if (army > g + margin && h == target_)
                kept = {score, c == s ? kMoves[d] : first_[c], h};
        }
    }
    // Keeping to the block chosen before unless a clearly better one turned
    // up: otherwise two targets of about equal worth pull him to and fro.
    if (style_.commits && kept.order && kept.score >= kCommitment * capture.score)
        capture = kept;
    target_ = capture.order ? capture.need : -1;

    // Rivals standing next to an own block they could take.
    if (style_.defends && army > 0) {
        for (int r = 0; r < kMaxOwners; ++r) {
            const Player& p = m.players[r];
            if (r == m.myIndex || p.name.isEmpty() || p.army <= 1)
                continue;
            for (int d = 0; d < 4; ++d) {
                const int bx = p.x + kDx[d], by = p.y + kDy[d];
                if (!m.contains(bx, by) || m.cell(bx, by).kind != m.myIndex)
                    continue;
                const int b = at(bx, by), g = m.cell(bx, by).army;
                const int put = p.army - g + 2;
                if (g >= p.army || dist_[b] < 0 || dist_[b] > 3 || put > army)
                    continue;
                const double score = (1.0 + g / 10.0) / (dist_[b] + 1);
                if (score > defend.score)
                    defend = {score, b == s ? char(kStepPutSoldiers) : first_[b], put};
            }
        }
    }
    if (defend.score > 0 && defend.score > capture.score)
        return Step{defend.order, defend.order == kStepPutSoldiers ? defend.need : 0};

    if (capture.order && capture.score >= kPatience * anyTarget.score)
        return Step{capture.order, 0};

    // Collect: the best soldiers per step among the own garrisons. Without
    // soldiers every block can be walked over.
    const auto bestCollect = [&](int* hereAvail) {
        Choice collect;
        for (int qi = 0; qi < queued_; ++qi) {
            const int c = queue_[qi], x = c % kSide, y = c / kSide;
            if (m.cell(x, y).kind != m.myIndex)
                continue;
            const int avail = m.cell(x, y).army - keepOn(x, y);
            if (avail <= 0)
                continue;
            if (c == s)
                *hereAvail = avail;
            const double score = double(avail) / (dist_[c] + 1);
            if (score > collect.score)
                collect = {score, c == s ? char(kStepGetSoldiers) : first_[c], avail};
        }
        return collect;
    };
    if (army == 0)
        search(true);
    int hereAvail = 0;
    const Choice collect = bestCollect(&hereAvail);
    if (hereAvail > 0 && hereAvail >= 0.8 * collect.score)
        return Step{kStepGetSoldiers, hereAvail};
    if (style_.useCities && m.cell(me.x, me.y).kind == kCity && me.cityArmy > 0)
        return Step{kStepGetSoldiers, 0};
    if (collect.order)
        return Step{collect.order, collect.order == kStepGetSoldiers ? collect.need : 0};
    if (capture.order)
        return Step{capture.order, 0};
    if (army > 0 && m.cell(me.x, me.y).kind == m.myIndex) {
        // Cut off from every garrison by hostile blocks: put the few soldiers
        // down, then walk over anything.
        search(true);
        int unused = 0;
        if (bestCollect(&unused).order)
            return Step{kStepPutSoldiers, army};
    }
    if (army > 0 && army <= kStrandedArmy && m.cell(me.x, me.y).kind != m.myIndex) {
        // Stranded on a block taken from under him, with a handful of
        // soldiers and nothing weak enough around: spend them on the weakest
        // neighbour, then walk free.
        int best = -1, bestG = 0;
        for (int d = 0; d < 4; ++d) {
            const int nx = me.x + kDx[d], ny = me.y + kDy[d];
            if (m.contains(nx, ny) && hostile(m.cell(nx, ny).kind) &&
                (best < 0 || m.cell(nx, ny).army < bestG)) {
                best = d;
                bestG = m.cell(nx, ny).army;
            }
        }
        if (best >= 0)
            return Step{kMoves[best], 0};
    }
    if (style_.useCities && m.cell(me.x, me.y).kind == kCity && me.gold > 0)
        return Step{kStepPutGold, me.gold}; // gold buys soldiers on the market
    if (m.cell(me.x, me.y).kind == kGoldMine && m.cell(me.x, me.y).gold > 0)
        return Step{kStepGetGold, kAll};
    return std::nullopt;
}

std::optional<Step> ComputerPlayer::goldMove()
{
    const Map& m = view_.map();
    const Player& me = *view_.me();
    const int here = m.cell(me.x, me.y).kind;
    if (me.army > 0) {
        // Put the soldiers down: on an own block, or in a city to sell.
        if (here == m.myIndex || (style_.useCities && here == kCity))
            return Step{kStepPutSoldiers, me.army};
        search(false);
        for (int qi = 1; qi < queued_; ++qi) {
            const int c = queue_[qi], kind = m.cell(c % kSide, c / kSide).kind;
            if (kind == m.myIndex || (style_.useCities && kind == kCity))
                return Step{first_[c], 0};
        }
        return std::nullopt;
    }
    search(true);
    double best = -1;
    char order = 0;
    for (int qi = 0; qi < queued_; ++qi) {
        const int c = queue_[qi], x = c % kSide, y = c / kSide;
        if (m.cell(x, y).kind != kGoldMine)
            continue;
        const int steps = dist_[c] + 1; // the walk and the taking
        const double gold = m.cell(x, y).gold + 100.0 * growthsBefore(view_.step(), steps);
        if (gold <= 0)
            continue;
        double score = gold / steps;
        if (style_.rivalAware) {
            for (int r = 0; r < kMaxOwners; ++r) {
                const Player& p = m.players[r];
                if (r != m.myIndex && !p.name.isEmpty() &&
                    std::abs(p.x - x) + std::abs(p.y - y) < dist_[c])
                    score *= 0.4; // he is likely there first
            }
        }
        if (score > best) {
            best = score;
            order = dist_[c] == 0 ? char(kStepGetGold) : first_[c];
        }
    }
    if (!order)
        return std::nullopt;
    return Step{order, order == kStepGetGold ? kAll : 0};
}

std::optional<Market> ComputerPlayer::marketOrder() const
{
    const Player* me = view_.me();
    if (!me || !style_.useCities)
        return std::nullopt;
    if (view_.gameType() == kGoldGame) {
        // Soldiers count for nothing in a gold game: sell the city stock.
        if (me->cityArmy > 0 &&
            !(me->marketOffer == kOfferSell && me->marketAmount == me->cityArmy))
            return Market{'S', me->cityArmy, kMarketPrice};
        return std::nullopt;
    }
    const int want = me->cityGold / kMarketPrice;
    if (want > 0 && !(me->marketOffer == kOfferBuy && me->marketAmount == want))
        return Market{'B', want, kMarketPrice};
    return std::nullopt;
}

} // namespace vorlan::ai
