#include "pluginagent.h"

#include "botview.h"
#include "encoders.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

namespace vorlan::ai {

PluginAgent::PluginAgent(const QString& libraryPath)
{
    const QFileInfo info(libraryPath);
    if (!info.isFile()) {
        fail(QStringLiteral("%1: no such library; the seat stays idle").arg(libraryPath));
        return;
    }
    copyDir_ = std::make_unique<QTemporaryDir>();
    const QString copy = copyDir_->filePath(info.fileName());
    if (!copyDir_->isValid() || !QFile::copy(info.absoluteFilePath(), copy)) {
        fail(QStringLiteral("%1: cannot copy the library; the seat stays idle").arg(libraryPath));
        return;
    }
    library_.setFileName(copy);
    if (!library_.load()) {
        fail(
            QStringLiteral("%1: %2; the seat stays idle").arg(libraryPath, library_.errorString()));
        return;
    }
    entry_ = reinterpret_cast<BotEnterFunc>(library_.resolve(BOT_ENTRY_NAME));
    if (!entry_)
        fail(QStringLiteral("%1: no %2 export; the seat stays idle")
                 .arg(libraryPath, QLatin1String(BOT_ENTRY_NAME)));
}

PluginAgent::~PluginAgent()
{
    entry_ = nullptr;
    if (library_.isLoaded())
        library_.unload();
}

void PluginAgent::fail(const QString& why)
{
    if (failed_)
        return;
    failed_ = true;
    entry_ = nullptr;
    report_ = why;
}

QString PluginAgent::report()
{
    return std::exchange(report_, QString());
}

QByteArray PluginAgent::act()
{
    if (!entry_ || !view_.synced() || view_.over() || view_.paused() || !view_.me() ||
        view_.step() == lastStep_)
        return {};
    lastStep_ = view_.step();
    const Map& map = view_.map();
    const BotParams params{map.myIndex, map.width, map.height, map.playerCount};
    setBotMap(&map);
    const BotCommand* command = entry_(cellInfo, myRecord, &params);
    setBotMap(nullptr);
    if (!command)
        return {};
    // Every letter goes out as a step order, as the client sends it: 'i'
    // sets Leave if more to the value; letter 0 is no order this step.
    switch (command->letter) {
    case 0:
        return {};
    case 'i':
    case 'L':
    case 'R':
    case 'U':
    case 'D':
    case 'G':
    case 'P':
        return step(command->letter, command->value);
    default:
        fail(QStringLiteral("%1 answered the letter 0x%2, not one of i G P L R U D; the seat "
                            "stays idle")
                 .arg(QFileInfo(library_.fileName()).fileName())
                 .arg(uint8_t(command->letter), 2, 16, QChar('0')));
        return {};
    }
}

} // namespace vorlan::ai
