#pragma once
// The little game the client tests play: its map and the players' records.

#include "bytes.h"
#include "encoders.h"

// 4 x 3: row 0 player 0, neutral, impassable, player 1; row 1 neutral, city,
// city, neutral; row 2 gold mine, neutral, neutral, neutral. Starts (0,0),
// (3,0), (3,2).
inline QByteArray smallGameMap()
{
    return hex("040303"
               "00090801"
               "090b0b09"
               "0a090909"
               "0000"
               "0300"
               "0302");
}

// The record of player 0 ("Ann"), 1 ("Bob") or another ("Cy") at (x, y).
inline QByteArray playerRecord(int index, int x, int y, int army)
{
    vorlan::PlayerUpdate u;
    u.player = index;
    u.x = x;
    u.y = y;
    u.army = army;
    u.name = index == 0 ? "Ann" : index == 1 ? "Bob" : "Cy";
    return vorlan::toClient::playerUpdate(u);
}
