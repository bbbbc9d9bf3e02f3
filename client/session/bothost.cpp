#include "bothost.h"

#include "appstate.h"
#include "botview.h"
#include "datafiles.h"

#include <QFileInfo>

namespace vorlan {

void BotHost::unload()
{
    // Clearing the entry first: nothing may call into an unloaded library.
    botEntry_ = nullptr;
    botActive_ = false;
    if (hmod_.isLoaded())
        hmod_.unload();
    LibName_.clear();
}

QString BotHost::startStop(bool useLibrary, const QString& fileName)
{
    if (botActive_) {
        botActive_ = false;
        return state_.rus ? QStringLiteral("Дурак прекратил работу")
                          : QStringLiteral("Idiot deactivated");
    }
    if (!useLibrary)
        return {};
    lastBotStep_ = state_.serverStep - 1;
    if (fileName != LibName_) {
        unload();
        LibName_ = fileName;
        // A bare name is looked up beside the program, then in the installed
        // library folder, never on the system path.
        const QString path = QFileInfo(fileName).isRelative() && !fileName.isEmpty()
                                 ? DataFolders::forLibraries(state_.dir).find(fileName)
                                 : fileName;
        hmod_.setFileName(path);
        if (fileName.isEmpty() || !hmod_.load())
            LibName_.clear();
    }
    if (LibName_.isEmpty())
        return {};
    botEntry_ = reinterpret_cast<BotEnterFunc>(hmod_.resolve(BOT_ENTRY_NAME));
    if (!botEntry_)
        return {};
    botActive_ = true;
    return state_.rus ? QStringLiteral("Дурак активизирован") : QStringLiteral("Idiot activated");
}

void BotHost::releaseIfRenamed(const QString& fileName)
{
    if (fileName != LibName_ && !LibName_.isEmpty())
        unload();
}

void BotHost::tick(const std::function<void(char, int32_t)>& send)
{
    Map* map = state_.map.get();
    if (!(lastBotStep_ < state_.serverStep) || !botActive_ || !map || !botEntry_ || !map->me())
        return;
    const BotParams params{map->myIndex, map->width, map->height, map->playerCount};
    setBotMap(map);
    const BotCommand* command = botEntry_(cellInfo, myRecord, &params);
    setBotMap(nullptr);
    if (!command)
        return;
    if (command->letter != 0) {
        send(command->letter, command->value);
        state_.newStepCanBeSent = false;
    }
    lastBotStep_ = state_.serverStep;
}

} // namespace vorlan
