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

// One encoder per row of messages.def: name(const Struct&), or name() for a
// message without fields (hello() is 00 00 4D, startedAck() 00 54 00 5A).
// Strings are cut to kMaxOutboundStringBytes, chat texts to kMaxChatTextBytes.
#define TO_SERVER(name, code, flags, Struct, fields) QByteArray name(const Struct& m);
#define TO_SERVER_CODE_ONLY(name, code, flags, fixedBytes) QByteArray name();
#include "messages.def"

// The same, field by field, for the callers' convenience.

// gameNumber travels as a byte-int: only its low byte is sent (300 -> 44).
QByteArray joinGame(int32_t gameNumber, const QString& playerName, int32_t emblem);
QByteArray createGame(const QString& gameName, const QString& mapName, const QString& playerName,
                      int32_t emblem);

// speed travels as a byte-int (low byte).
QByteArray startGame(int32_t speed);

// The type goes as the character '0' + gameTypeIndex (0 territory, 1 gold).
QByteArray gameSettings(int gameTypeIndex, int32_t minutes);

// Step-gated: send through sendStepGated.
QByteArray step(char subCode, int32_t argument);

// recipient -1 is everybody.
QByteArray chat(int32_t recipient, const QString& text);

// Step-gated: send through sendStepGated.
QByteArray market(char operation, int32_t quantity, int32_t price);

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

// One encoder per row of messages.def. mapData's is empty when the file is
// longer than kMaxMapDataBytes: no client could take it.
#define TO_CLIENT(name, code, Struct, fields) QByteArray name(const Struct& m);
#define TO_CLIENT_CODE_ONLY(name, code) QByteArray name();
#define TO_CLIENT_TWO_PARTS(name, code, Struct, ...) QByteArray name(const Struct& m);
#include "messages.def"

} // namespace toClient

} // namespace vorlan
