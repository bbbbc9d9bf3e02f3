#pragma once

#include "botcontract.h"

#include <functional>
#include <QLibrary>
#include <QString>

namespace vorlan {

struct AppState;

// The client's side of the bot plug-in: loading the library chosen in the
// options, starting and stopping it, and asking it for one order per new
// server step. It never calls into a library it has unloaded.
class BotHost
{
public:
    explicit BotHost(AppState& state) : state_(state) {}
    ~BotHost() { unload(); }

    // The Start/Stop key. Returns the line to log ("Idiot activated" ...),
    // empty when nothing is shown.
    QString startStop(bool useLibrary, const QString& fileName);

    // Reset or unchecking in the options: unloads when the file name changed.
    void releaseIfRenamed(const QString& fileName);

    // One tick of the step timer, after the step guard went up. send gets
    // the step message of the bot's order.
    void tick(const std::function<void(char letter, int32_t value)>& send);

    void unload();

    bool active() const { return botActive_; }
    const QString& libName() const { return LibName_; }
    int lastBotStep() const { return lastBotStep_; }

private:
    AppState& state_;
    QString LibName_;
    QLibrary hmod_;
    BotEnterFunc botEntry_ = nullptr;
    bool botActive_ = false;
    int lastBotStep_ = -2;
};

} // namespace vorlan
