/* The contract between the client and a bot plug-in library.
 *
 * The client loads the library at run time and calls its one export,
 * _DirudEnter, from its step timer. The library answers with one order for
 * the player, reading the map only through the two callbacks it is given.
 * Both sides are built separately, so every width and offset is fixed here:
 * 32-bit little-endian integers, 4-byte aligned. Nothing is allocated across
 * the boundary: the client owns the cell view and the player record, the
 * library owns the command it returns. */
#ifndef VORLAN_BOTCONTRACT_H
#define VORLAN_BOTCONTRACT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define BOT_STATIC_ASSERT(cond, what) static_assert(cond, what)
extern "C" {
#else
#define BOT_STATIC_ASSERT(cond, what) _Static_assert(cond, what)
#endif

/* What the library may see of one block. Blocks of other players show their
 * owner but hide army and gold (both 0); outside the grid reads as kind 8. */
typedef struct BotCell {
    int32_t army;
    int32_t gold;
    int32_t kind; /* 0..7 owner, 8 impassable, 9 neutral, 10 gold mine, 11 city */
} BotCell;

/* The local player's record as the library sees it: a 4-byte name handle
 * (opaque, never dereferenced) followed by 21 integers in a fixed order. */
typedef struct BotPlayer {
    uint32_t nameHandle;
    int32_t gold;
    int32_t army;
    int32_t cityGold;
    int32_t cityArmy;
    int32_t x;
    int32_t y;
    int32_t roundTo;
    int32_t leaveIfMore;
    int32_t armyChange;
    int32_t goldChange;
    int32_t killed;
    int32_t killedPlace;
    int32_t armyPlace;
    int32_t goldPlace;
    int32_t blocksPlace;
    int32_t killedTotal;
    int32_t armyTotal;
    int32_t goldTotal;
    int32_t blocks;
    int32_t marketOffer;
    int32_t marketAmount;
} BotPlayer;

/* Handed to the library on every call; valid only during the call. */
typedef struct BotParams {
    int32_t myIndex;     /* own player number, 0..7 */
    int32_t width;       /* columns of the map */
    int32_t height;      /* rows of the map */
    int32_t playerCount; /* passed for completeness; not needed to decide */
} BotParams;

/* One order. The letter is one of 'i' (Leave if more: value becomes the
 * player's standing setting), 'G' (get soldiers), 'P' (put soldiers), 'L',
 * 'R', 'U', 'D' (move), or 0 for no order; value is a soldier count or 0. */
typedef struct BotCommand {
    char letter;
    uint8_t reserved[3]; /* any value; never read */
    int32_t value;
} BotCommand;

typedef const BotCell* (*BotCellInfoFunc)(int32_t x, int32_t y);
typedef const BotPlayer* (*BotMyRecordFunc)(void);
/* The export. Returns null when there is nothing to do now; otherwise a
 * command that stays valid until the library has queued 30 more. */
typedef const BotCommand* (*BotEnterFunc)(BotCellInfoFunc cellInfo, BotMyRecordFunc myRecord,
                                          const BotParams* params);

#define BOT_ENTRY_NAME "_DirudEnter"

BOT_STATIC_ASSERT(sizeof(BotCell) == 12, "cell view is 12 bytes");
BOT_STATIC_ASSERT(offsetof(BotCell, army) == 0, "army at 0");
BOT_STATIC_ASSERT(offsetof(BotCell, gold) == 4, "gold at 4");
BOT_STATIC_ASSERT(offsetof(BotCell, kind) == 8, "kind at 8");
BOT_STATIC_ASSERT(sizeof(BotPlayer) == 88, "player record is 88 bytes");
BOT_STATIC_ASSERT(offsetof(BotPlayer, gold) == 4, "gold at 4");
BOT_STATIC_ASSERT(offsetof(BotPlayer, army) == 8, "army at 8");
BOT_STATIC_ASSERT(offsetof(BotPlayer, x) == 20, "x at 20");
BOT_STATIC_ASSERT(offsetof(BotPlayer, y) == 24, "y at 24");
BOT_STATIC_ASSERT(offsetof(BotPlayer, marketAmount) == 84, "last field at 84");
BOT_STATIC_ASSERT(sizeof(BotParams) == 16, "parameters are 16 bytes");
BOT_STATIC_ASSERT(offsetof(BotParams, playerCount) == 12, "playerCount at 12");
BOT_STATIC_ASSERT(sizeof(BotCommand) == 8, "command is 8 bytes");
BOT_STATIC_ASSERT(offsetof(BotCommand, value) == 4, "value at 4");

#ifdef __cplusplus
}
#endif

#endif /* VORLAN_BOTCONTRACT_H */
