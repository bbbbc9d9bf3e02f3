#include "emblembox.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace vorlan {

namespace {

class EmblemDelegate : public QStyledItemDelegate
{
public:
    EmblemDelegate(const std::array<QImage, 8>& emblems, QObject* parent)
        : QStyledItemDelegate(parent), emblems_(emblems)
    {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        p->fillRect(option.rect, (option.state & QStyle::State_Selected)
                                     ? option.palette.highlight()
                                     : option.palette.base());
        const int n = index.data().toString().toInt();
        if (n >= 0 && n < int(emblems_.size()))
            p->drawImage(option.rect.topLeft() + QPoint(2, 1), emblems_[n]);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {40, kEmblemSide + 2};
    }

private:
    const std::array<QImage, 8>& emblems_;
};

} // namespace

std::array<QImage, 8> emblemImages(const BlockPictures& pictures)
{
    std::array<QImage, 8> images;
    for (int i = 0; i < int(images.size()); ++i) {
        if (pictures.has(i)) {
            images[i] = pictures.original(i).scaled(kEmblemSide, kEmblemSide, Qt::IgnoreAspectRatio,
                                                    Qt::FastTransformation);
        } else {
            images[i] = QImage(kEmblemSide, kEmblemSide, QImage::Format_RGB32);
            images[i].fill(BlockPictures::fallbackColor(i));
        }
    }
    return images;
}

EmblemBox::EmblemBox(const std::array<QImage, 8>& emblems, QWidget* parent)
    : QComboBox(parent), emblems_(emblems)
{
    setItemDelegate(new EmblemDelegate(emblems_, this));
    for (int i = 0; i < int(emblems_.size()); ++i)
        addItem(QString::number(i));
    // A combo box chooses its first item by itself; the player must choose.
    setCurrentIndex(-1);
}

void EmblemBox::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    const int n = currentIndex();
    if (n >= 0 && n < int(emblems_.size())) {
        const QRect field =
            style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        p.drawImage(QPoint(field.left() + 2, field.top() + (field.height() - kEmblemSide) / 2),
                    emblems_[n]);
    }
}

} // namespace vorlan
