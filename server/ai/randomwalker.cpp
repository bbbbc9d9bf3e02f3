#include "randomwalker.h"

#include "encoders.h"
#include "rules.h"

namespace vorlan::ai {

QByteArray RandomWalker::act()
{
    if (!view_.synced() || view_.over() || view_.paused() || view_.step() == lastStep_)
        return {};
    lastStep_ = view_.step();
    static const char moves[] = {kStepLeft, kStepRight, kStepUp, kStepDown};
    const uint32_t r = rng_() % 10;
    if (r == 0)
        return step(kStepGetSoldiers, 0);
    return step(moves[r % 4], 0);
}

} // namespace vorlan::ai
