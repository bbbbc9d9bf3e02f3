#pragma once
// Hand-made positions for the computer players: a map drawn as rows of
// characters, seen from one seat as if the server had sent it.
//   '.' neutral   '#' impassable   '$' gold mine   'C' city   '0'..'7' owned

#include "computer.h"

#include <cstring>
#include <initializer_list>
#include <QFile>
#include <utility>
#include <vector>

namespace vorlan::ai::test {

// Start positions default to the two top corners.
inline QByteArray drawnMap(std::initializer_list<const char*> rows,
                           std::initializer_list<std::pair<int, int>> starts = {})
{
    QByteArray b;
    const int w = int(std::strlen(*rows.begin()));
    const std::vector<std::pair<int, int>> at =
        starts.size() ? std::vector<std::pair<int, int>>(starts)
                      : std::vector<std::pair<int, int>>{{0, 0}, {w - 1, 0}};
    b.append(char(w)).append(char(rows.size())).append(char(at.size()));
    for (const char* row : rows) {
        for (int x = 0; x < w; ++x) {
            const char c = row[x];
            b.append(char(c == '.'   ? kNeutral
                          : c == '#' ? kImpassable
                          : c == '$' ? kGoldMine
                          : c == 'C' ? kCity
                                     : c - '0'));
        }
    }
    for (const auto& [x, y] : at)
        b.append(char(x)).append(char(y));
    return b;
}

inline QByteArray shippedMap(const char* name)
{
    QFile f(QStringLiteral(MAPS_DIR "/%1.map").arg(QLatin1String(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One seat's picture of a running game, and the player deciding on it.
struct Position
{
    ComputerPlayer player;

    Position(Level level, std::initializer_list<const char*> rows, int gameType = 0)
        : player(styleOf(level), 1)
    {
        view().mapData({drawnMap(rows)});
        view().setPlaying(0, gameType);
        map().players[0].name = QStringLiteral("Me");
        map().players[1].name = QStringLiteral("Rival");
    }
    SeatView& view() { return player.view(); }
    Map& map() { return view().map(); }
    void garrison(int x, int y, int army) { map().cell(x, y).army = army; }
    void place(int who, int x, int y, int army)
    {
        Player& p = map().players[size_t(who)];
        p.x = x;
        p.y = y;
        p.army = army;
    }
    std::optional<Step> decide() { return player.decide(); }
};

} // namespace vorlan::ai::test
