#include "menulabel.h"

#include "datafiles.h"

#include <QMouseEvent>
#include <QPainter>

namespace vorlan {

TNewLabel::TNewLabel(int code, QWidget* parent) : QWidget(parent), code_(code)
{
    setObjectName(QStringLiteral("menuItem%1").arg(code));
    setFocusPolicy(Qt::NoFocus);
    setGeometry(3, 16 * code + 28, 97, 16);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    baseFont_ = f;
}

void TNewLabel::setText(const QString& text)
{
    text_ = text;
    // Long captions get a smaller font rather than being cut.
    QFont f = font();
    f.setPointSizeF(baseFont_.pointSizeF());
    while (f.pointSizeF() > 6 && QFontMetrics(f).horizontalAdvance(text_) > width() - 4)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    setFont(f);
    update();
}

void TNewLabel::setTransparent(bool transparent)
{
    transparent_ = transparent;
    update();
}

void TNewLabel::setHighlighted(bool highlighted)
{
    highlighted_ = highlighted;
    update();
}

void TNewLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (transparent_) {
        // The picture is read once; a missing file leaves an empty picture
        // and the text is drawn on no ground.
        if (!brushLoaded_) {
            brushLoaded_ = true;
            brush_.load(dataFile(QStringLiteral("brush.bmp")));
        }
        if (!brush_.isNull())
            p.drawImage(rect(), brush_);
    } else {
        p.fillRect(rect(), highlighted_ ? kHighlight : kGround);
    }
    p.setFont(font());
    p.setPen(kShadow);
    p.drawText(rect().translated(1, 1), Qt::AlignCenter, text_);
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, text_);
}

void TNewLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(code_);
}

void TNewLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(code_);
}

} // namespace vorlan
