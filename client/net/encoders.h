#pragma once
// One encoder per message: each returns the whole message, ready for one
// write to the socket. Strings are cut to what their length byte can carry,
// so an encoder never produces a message that the other side cannot frame.

#include "messages.h"

#include <cstdint>
#include <QByteArray>
#include <QString>

namespace vorlan {

// ---- Client to server ------------------------------------------------------

QByteArray hello();            ///< 00 00 4D
QByteArray listGamesRequest(); ///< 00 52

// gameNumber travels as a byte-int: only its low byte is sent (300 -> 44).
// Names are cut to kMaxOutboundStringBytes.
QByteArray joinGame(int32_t gameNumber, const QString& playerName, int32_t emblem);
QByteArray createGame(const QString& gameName, const QString& mapName, const QString& playerName,
                      int32_t emblem);

QByteArray mapReady(); ///< 00 66

// speed travels as a byte-int (low byte).
QByteArray startGame(int32_t speed);

// The type goes as the character '0' + gameTypeIndex (0 territory, 1 gold).
QByteArray gameSettings(int gameTypeIndex, int32_t minutes);

QByteArray startedAck(); ///< 00 54 00 5A

// Step-gated: send through sendStepGated.
QByteArray step(char subCode, int32_t argument);

// recipient -1 is everybody. The text is cut to kMaxChatTextBytes.
QByteArray chat(int32_t recipient, const QString& text);

// Step-gated: send through sendStepGated.
QByteArray market(char operation, int32_t quantity, int32_t price);

QByteArray pauseToggle(); ///< 00 30

// The step guard: one step or market message per tick of the step timer.
// Calls send(message) only while newStepCanBeSent is set, then clears the flag
// whether or not anything was sent; returns whether it sent. The step timer
// sets the flag again. A refused order is simply lost.
//
//     sendStepGated(flags.newStepCanBeSent, step('R', 0),
//                   [&](const QByteArray& m) { socket->write(m); });
template <typename Send>
bool sendStepGated(bool& newStepCanBeSent, const QByteArray& message, Send&& send)
{
    const bool allowed = newStepCanBeSent;
    if (allowed)
        send(message);
    newStepCanBeSent = false;
    return allowed;
}

// ---- Server to client ------------------------------------------------------

// What a server sends. Strings are cut to kMaxInboundStringBytes, the most a
// client can read.
namespace toClient {

QByteArray stepNumber(const StepNumber& m);
QByteArray mapBegin();
// Empty when the file is longer than kMaxMapDataBytes: no client could take it.
QByteArray mapData(const MapData& m);
QByteArray cellUpdate(const CellUpdate& m);
QByteArray listEnd();
QByteArray gameOver();
QByteArray gameEntry(const GameEntry& m);
QByteArray leaveIfMoreNotice(const LeaveIfMoreNotice& m);
QByteArray youAre(const YouAre& m);
QByteArray playerUpdate(const PlayerUpdate& m);
QByteArray mapEntry(const MapEntry& m);
QByteArray gameInfo(const GameInfo& m);
QByteArray eventCame();
QByteArray roundToNotice(const RoundToNotice& m);
QByteArray ignoredMessage();
QByteArray gameStart(const GameStart& m);
QByteArray playerJoined(const PlayerJoined& m);
QByteArray textMessage(const TextMessage& m);
QByteArray armyChangeNotice(const ArmyChangeNotice& m);

} // namespace toClient

} // namespace vorlan
