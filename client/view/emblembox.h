#pragma once

#include "blockpictures.h"

#include <array>
#include <QComboBox>
#include <QImage>

namespace vorlan {

constexpr int kEmblemSide = 16; ///< emblems in lists and grids

// The eight player pictures at emblem size, taken once from the block
// pictures (a plain colour where a picture is missing).
std::array<QImage, 8> emblemImages(const BlockPictures& pictures);

// A drop-down list of the players "0".."7" that shows each item, and the
// chosen one when closed, as that player's picture instead of its number.
// Nothing is chosen at first.
class EmblemBox : public QComboBox
{
public:
    EmblemBox(const std::array<QImage, 8>& emblems, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QImage, 8> emblems_;
};

} // namespace vorlan
