#include "blockpictures.h"

#include <QDir>
#include <QFileInfo>

namespace vorlan {

BlockPictures::BlockPictures(const QString& folder)
{
    DataFolders folders(QStringList{folder});
    load(folders);
}

BlockPictures::BlockPictures(DataFolders& folders)
{
    load(folders);
}

void BlockPictures::load(DataFolders& folders)
{
    for (int i = 0; i < kBlockPictureCount; ++i) {
        const QString path = folders.find(QString::number(i) + QStringLiteral(".bmp"));
        QImage img(path);
        if (img.isNull())
            errors_ << QStringLiteral("Cannot load the block picture %1").arg(path);
        else
            originals_[i] = img.convertToFormat(QImage::Format_RGB32);
    }
}

const QImage& BlockPictures::scaled(int number, int width, int height)
{
    const QSize size(width, height);
    if (size != scaledSize_) {
        for (QImage& img : scaled_)
            img = QImage();
        scaledSize_ = size;
    }
    QImage& img = scaled_[number];
    if (img.isNull()) {
        if (has(number)) {
            img = originals_[number].size() == size
                      ? originals_[number]
                      : originals_[number].scaled(size, Qt::IgnoreAspectRatio,
                                                  Qt::FastTransformation);
        } else {
            img = QImage(size, QImage::Format_RGB32);
            img.fill(fallbackColor(number));
        }
    }
    return img;
}

QColor BlockPictures::fallbackColor(int number)
{
    static const QColor colors[kBlockPictureCount] = {
        {200, 40, 40},  {40, 80, 200},  {40, 160, 60},   {220, 200, 40},  {150, 60, 180},
        {230, 130, 30}, {40, 180, 190}, {230, 230, 230}, {90, 90, 90},    {120, 170, 90},
        {200, 170, 50}, {170, 120, 80}, {160, 160, 200}, {130, 130, 190}, {100, 100, 180},
        {70, 70, 170},  {40, 40, 150},  {20, 20, 120},
    };
    return number >= 0 && number < kBlockPictureCount ? colors[number] : QColor(Qt::magenta);
}

int garrisonPicture(int32_t army)
{
    if (army < 10)
        return 12;
    if (army < 30)
        return 13;
    if (army < 100)
        return 14;
    if (army < 500)
        return 15;
    if (army < 1000)
        return 16;
    return 17;
}

} // namespace vorlan
