#pragma once

#include <QImage>
#include <QWidget>

namespace vorlan {

// One item of the in-game menu (`TNewLabel`): centred white text with a blue
// shadow on a purple ground; the highlighted item is transparent and shows
// the brush picture instead of the ground. Takes no focus, so clicking it
// keeps command mode.
class TNewLabel : public QWidget
{
    Q_OBJECT

public:
    static inline const QColor kGround{64, 0, 128};
    static inline const QColor kHighlight{0, 128, 128};
    static inline const QColor kShadow{0, 0, 255};

    explicit TNewLabel(int code, QWidget* parent = nullptr);

    int code() const { return code_; }
    QString text() const { return text_; }
    void setText(const QString& text);

    bool isTransparent() const { return transparent_; }
    void setTransparent(bool transparent);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

signals:
    void clicked(int code);
    void doubleClicked(int code);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int code_;
    QString text_;
    bool transparent_ = false;
    bool highlighted_ = false;
    bool brushLoaded_ = false;
    QImage brush_;
    QFont baseFont_;
};

} // namespace vorlan
