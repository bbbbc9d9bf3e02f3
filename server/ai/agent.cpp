#include "agent.h"

#include "computer.h"

namespace vorlan::ai {

bool parseLevel(const QString& text, Level* level)
{
    static const struct
    {
        const char* name;
        Level level;
    } levels[] = {{"easy", Level::Easy}, {"normal", Level::Normal}, {"hard", Level::Hard}};
    for (const auto& l : levels) {
        if (text == QLatin1String(l.name)) {
            *level = l.level;
            return true;
        }
    }
    return false;
}

QString levelName(Level level)
{
    switch (level) {
    case Level::Easy:
        return QStringLiteral("easy");
    case Level::Normal:
        return QStringLiteral("normal");
    case Level::Hard:
        return QStringLiteral("hard");
    }
    return {};
}

std::unique_ptr<Agent> makeComputerPlayer(Level level, uint32_t seed)
{
    return std::make_unique<ComputerPlayer>(styleOf(level), seed);
}

} // namespace vorlan::ai
