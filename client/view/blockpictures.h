#pragma once

#include "datafiles.h"

#include <array>
#include <QColor>
#include <QImage>
#include <QStringList>

namespace vorlan {

constexpr int kBlockPictureCount = 18; ///< 0..7 owners, 8..11 kinds, 12..17 garrisons
constexpr int kFirstGarrisonPicture = 12;

// The block pictures (`playersImages`), loaded from 0.bmp .. 17.bmp, with a
// copy scaled to the current block size kept so that painting never scales.
class BlockPictures
{
public:
    // Loads every picture from `folder` (the program folder). A picture that
    // is missing or unreadable is drawn as a plain colour; errors() names it.
    explicit BlockPictures(const QString& folder = QStringLiteral("."));
    // Each picture from the first of the data folders that has it.
    explicit BlockPictures(DataFolders& folders);

    const QImage& original(int number) const { return originals_[number]; }
    bool has(int number) const { return !originals_[number].isNull(); }
    const QStringList& errors() const { return errors_; }

    // The picture scaled to width x height; cached until the size changes.
    const QImage& scaled(int number, int width, int height);

    // The colour used for a block whose picture could not be loaded.
    static QColor fallbackColor(int number);

private:
    void load(DataFolders& folders);

    std::array<QImage, kBlockPictureCount> originals_;
    std::array<QImage, kBlockPictureCount> scaled_;
    QSize scaledSize_;
    QStringList errors_;
};

// Picture number for a block: the garrison picture for own blocks while the
// garrisons view is on, else the block kind.
int garrisonPicture(int32_t army);

} // namespace vorlan
