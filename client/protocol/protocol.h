#pragma once
// The game's wire protocol, for the client and the server alike. Every
// message is declared once, in messages.def; its struct (messages.h), table
// row (wire.h), encoder, decoder and handler function follow from there.
//
// Sending: every message has an encoder returning the whole message for one
// socket write (encoders.h): hello(), listGamesRequest(), joinGame(...),
// createGame(...), mapReady(), startGame(speed), gameSettings(type, minutes),
// startedAck(), step(subCode, argument), chat(recipient, text),
// market(operation, quantity, price), pauseToggle(); those with fields also
// take their struct, e.g. joinGame(JoinGame{...}). The rows marked step-gated
// (step, market) go out one per step: the client's Session::send() applies
// sendStepGated(newStepCanBeSent, message, send) to them. The server's
// messages are encoded by toClient::cellUpdate(const CellUpdate&) and its
// siblings.
//
// Receiving (assembler.h): the client owns one ReceiveAssembler built on its
// ProtocolHandler, calls reset() at every Connect and, on readyRead:
//
//     const QByteArray block = socket->readAll();
//     assembler.feed(block); // handlers run inside, once per message, in order
//
// A handler that closes the connection calls assembler.stop() (or reset());
// feed() then returns at once and the rest of the block is never handled. On
// a protocol violation the assembler stops by itself and calls
// protocolViolation(what); lastViolation().text(rus) gives the line in either
// language. The server does the same with one ClientMessageAssembler per
// client and a ClientMessageHandler.
//
// Texts are QString on both sides and Windows-1251 on the wire (wire.h:
// toWireText, fromWireText); the limits are the k... constants of wire.h.

#include "assembler.h"
#include "encoders.h"
#include "messages.h"
#include "rules.h"
#include "wire.h"
