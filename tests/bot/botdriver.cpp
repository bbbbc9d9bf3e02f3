#include "botdriver.h"

#include "botview.h"

namespace bottest {

vorlan::Map makeMap(const std::vector<std::string>& rows, int x, int y, int myIndex)
{
    QByteArray b;
    b.append(char(rows.empty() ? 0 : rows.front().size()));
    b.append(char(rows.size()));
    b.append(char(0)); // no start positions: the test places the player
    for (const std::string& row : rows) {
        for (char ch : row) {
            int kind = vorlan::kNeutral;
            if (ch >= '0' && ch <= '7')
                kind = ch - '0';
            else if (ch == '#')
                kind = vorlan::kImpassable;
            else if (ch == '$')
                kind = vorlan::kGoldMine;
            else if (ch == 'C')
                kind = vorlan::kCity;
            b.append(char(kind));
        }
    }
    QString error;
    vorlan::Map m = vorlan::Map::fromBytes(b, &error);
    if (!error.isEmpty())
        qFatal("makeMap: %s", qPrintable(error));
    m.myIndex = myIndex;
    m.players[myIndex].x = x;
    m.players[myIndex].y = y;
    m.players[myIndex].army = 0;
    return m;
}

BotParams paramsOf(const vorlan::Map& map)
{
    return {map.myIndex, map.width, map.height, map.playerCount};
}

std::string text(const BotCommand* c)
{
    if (!c)
        return "-";
    return std::string(1, c->letter) + " " + std::to_string(c->value);
}

const BotCommand* Table::call(const Entry& entry)
{
    vorlan::setBotMap(&map);
    const BotParams params = paramsOf(map);
    const BotCommand* c = entry(vorlan::cellInfo, vorlan::myRecord, &params);
    vorlan::setBotMap(nullptr);
    return c;
}

void Table::carryOut(const BotCommand* c)
{
    if (!c)
        return;
    vorlan::Player& me = *map.me();
    int x = me.x, y = me.y;
    switch (c->letter) {
    case 'L':
        --x;
        break;
    case 'R':
        ++x;
        break;
    case 'U':
        --y;
        break;
    case 'D':
        ++y;
        break;
    default:
        return;
    }
    if (map.contains(x, y)) {
        me.x = x;
        me.y = y;
    }
}

std::vector<std::string> Table::play(const Entry& entry, int calls, bool moves)
{
    std::vector<std::string> out;
    for (int i = 0; i < calls; ++i) {
        const BotCommand* c = call(entry);
        out.push_back(text(c));
        if (moves)
            carryOut(c);
    }
    return out;
}

DirudLibrary::DirudLibrary() : lib_(QStringLiteral(DIRUD_PATH)) {}

DirudLibrary::~DirudLibrary()
{
    if (lib_.isLoaded())
        lib_.unload();
}

bool DirudLibrary::load()
{
    if (!lib_.load())
        return false;
    entry_ = reinterpret_cast<BotEnterFunc>(lib_.resolve(BOT_ENTRY_NAME));
    return entry_ != nullptr;
}

bool DirudLibrary::unload()
{
    entry_ = nullptr;
    return lib_.unload();
}

Entry DirudLibrary::entry() const
{
    const BotEnterFunc f = entry_;
    return [f](BotCellInfoFunc a, BotMyRecordFunc b, const BotParams* c) { return f(a, b, c); };
}

} // namespace bottest
