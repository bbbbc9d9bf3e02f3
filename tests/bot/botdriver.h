// Helpers that stand in for the client and the server around the bot: maps
// drawn as text, the client's callbacks over a Map, and the built library
// loaded through QLibrary exactly as the client loads it.
#pragma once

#include "botcontract.h"
#include "map.h"

#include <functional>
#include <QLibrary>
#include <string>
#include <vector>

namespace bottest {

// A map drawn one character per block, rows top to bottom: '0'..'7' owner,
// '#' impassable, '.' neutral, '$' gold mine, 'C' city. The local player has
// number myIndex and stands on (x, y), zero-based.
vorlan::Map makeMap(const std::vector<std::string>& rows, int x = 0, int y = 0, int myIndex = 0);

BotParams paramsOf(const vorlan::Map& map);

// A command as "G 1", "D 0", ... and no command as "-".
std::string text(const BotCommand* c);

using Entry = std::function<const BotCommand*(BotCellInfoFunc, BotMyRecordFunc, const BotParams*)>;

// Calls the bot as the client's step timer does, with the client's cellInfo
// and myRecord over `map`. With moves on it also plays the server's part for
// L, R, U and D, moving the player within the grid; soldiers are never
// moved, so blocks and the hand keep what the test set.
class Table
{
public:
    explicit Table(vorlan::Map m) : map(std::move(m)) {}
    std::vector<std::string> play(const Entry& entry, int calls, bool moves = true);
    const BotCommand* call(const Entry& entry);
    void carryOut(const BotCommand* c);

    vorlan::Map map;
};

// The built libdirud.so.
class DirudLibrary
{
public:
    DirudLibrary();
    ~DirudLibrary();
    bool load();
    bool unload();
    bool isLoaded() const { return lib_.isLoaded(); }
    QString errorString() const { return lib_.errorString(); }
    BotEnterFunc entryPoint() const { return entry_; }
    QFunctionPointer resolve(const char* name) { return lib_.resolve(name); }
    Entry entry() const;

private:
    QLibrary lib_;
    BotEnterFunc entry_ = nullptr;
};

} // namespace bottest
