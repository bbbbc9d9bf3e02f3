#pragma once
// A seat played by a bot plug-in library through the client's contract
// (_DirudEnter, with cellInfo / myRecord served from this seat's picture,
// rivals' armies and gold hidden). Each seat loads its own copy of the file,
// so two seats with the same library do not share its state.
//
// A library that is missing, lacks the export or answers with letters
// outside the contract leaves the seat idle; report() says why, once.

#include "agent.h"
#include "botcontract.h"
#include "seatview.h"

#include <memory>
#include <QLibrary>
#include <QTemporaryDir>

namespace vorlan::ai {

class PluginAgent final : public Agent
{
public:
    explicit PluginAgent(const QString& libraryPath);
    ~PluginAgent() override;

    void receive(QByteArrayView bytes) override { view_.receive(bytes); }
    QByteArray act() override;
    QString report() override;

    bool loaded() const { return entry_ != nullptr; }

private:
    void fail(const QString& why);

    SeatView view_;
    std::unique_ptr<QTemporaryDir> copyDir_;
    QLibrary library_;
    BotEnterFunc entry_ = nullptr;
    QString report_;
    bool failed_ = false;
    int lastStep_ = -1;
};

} // namespace vorlan::ai
