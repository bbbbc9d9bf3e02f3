#include "randomwalker.h"

#include "encoders.h"

namespace vorlan::ai {

QByteArray RandomWalker::act()
{
    if (!view_.synced() || view_.over() || view_.paused() || view_.step() == lastStep_)
        return {};
    lastStep_ = view_.step();
    static const char moves[] = {'L', 'R', 'U', 'D'};
    const uint32_t r = rng_() % 10;
    if (r == 0)
        return step('G', 0);
    return step(moves[r % 4], 0);
}

} // namespace vorlan::ai
