#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <QString>

namespace vorlan {

// What a block is. 0..7 are owned by that player; the value is also the
// number of the block's picture.
enum BlockKind : int32_t
{
    kFirstOwner = 0,
    kLastOwner = 7,
    kImpassable = 8,
    kNeutral = 9,
    kGoldMine = 10,
    kCity = 11,
};

constexpr int kMaxMapSide = 40;    ///< columns and rows of the largest map
constexpr int kMaxOwners = 8;      ///< owner codes stop at 7
constexpr int kPlayerRecords = 13; ///< records held, though only 8 can own blocks
constexpr int kLastKind = kCity;

inline bool isOwnerKind(int32_t kind)
{
    return kind >= kFirstOwner && kind <= kLastOwner;
}

struct Cell
{
    int32_t army = 0;
    int32_t gold = 0;
    int32_t kind = 0;
};

struct Player
{
    QString name; ///< empty marks a free record
    int32_t gold = 0;
    int32_t army = 0;
    int32_t cityGold = 0;
    int32_t cityArmy = 0;
    int32_t x = 2;
    int32_t y = 2;
    int32_t roundTo = 0;
    int32_t leaveIfMore = 1000;
    int32_t armyChange = 0;
    int32_t goldChange = 0;
    int32_t killed = 0;
    int32_t killedPlace = 0;
    int32_t armyPlace = 0;
    int32_t goldPlace = 0;
    int32_t blocksPlace = 0;
    int32_t killedTotal = 0;
    int32_t armyTotal = 0;
    int32_t goldTotal = 0;
    int32_t blocks = 0;
    int32_t marketOffer = 0;
    int32_t marketAmount = 0;
};

// The client's whole picture of one game: the grid, the player records and
// the view settings. Built from a map file; changed by server messages.
class Map
{
public:
    // An empty grid (0 x 0) with default records, as for a refused file.
    Map();

    // Reads the map file. A file that cannot be read or is malformed leaves
    // an empty grid; loadError() then says why.
    explicit Map(const QString& fileName);

    // Builds from the bytes of a map file (same rules as the file reader).
    static Map fromBytes(const QByteArray& bytes, QString* error = nullptr);

    const QString& loadError() const { return loadError_; }
    bool loaded() const { return loadError_.isEmpty(); }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Cell& cell(int x, int y) { return cells[x][y]; }
    const Cell& cell(int x, int y) const { return cells[x][y]; }

    // The local player's record, or null while the client has no place.
    Player* me();
    const Player* me() const;

    // One growth step of the whole grid. redrawBlock is called for each own
    // block while the garrisons view is on, since its picture may change.
    void growBlocks(const std::function<void(int x, int y)>& redrawBlock = {});

    int32_t myIndex = -1;
    int32_t width = 0;
    int32_t height = 0;
    int32_t blockWidth = 16;
    int32_t blockHeight = 16;
    int32_t showArmyLevels = 0;
    Cell cells[kMaxMapSide][kMaxMapSide]; ///< indexed cells[x][y]
    std::array<Player, kPlayerRecords> players;
    int32_t playerCount = 8;
    bool paused = false;

private:
    QString loadError_;
};

constexpr int32_t kGoldMineGrowth = 100; ///< gold added to a mine in one step

// The army added to a growing block in one step.
int32_t armyGrowth(int32_t army);

// value + growth (growth >= 0), held at the int32 maximum instead of wrapping.
int32_t grownBy(int32_t value, int32_t growth);

} // namespace vorlan
