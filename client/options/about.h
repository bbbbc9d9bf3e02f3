#pragma once

#include "view/texts.h"

#include <array>
#include <QDialog>
#include <QImage>
#include <QStringList>

class QFrame;
class QLabel;
class QTextEdit;
class QTimer;

namespace vorlan {

class BlockPictures;

// One moving object of the about box animation.
struct AboutSprite
{
    int x = 0;
    int y = 0;
    int dx = 2; ///< -2 or +2
    int dy = 2; ///< -2 or +2
};

constexpr int kAboutSprites = 24; ///< 0..11 emblems, 12..23 erasers
constexpr int kAboutEmblems = 12; ///< sprite i < 12 shows block picture i
constexpr int kAboutStride = 7;   ///< a tick moves a sprite 7 * (dx, dy)
constexpr int kAboutMargin = 16;  ///< how far inside the edges a sprite is kept
constexpr int kAboutEraserSide = 15;
constexpr int kAboutTickMs = 16; ///< about 60 ticks a second, while the box is shown

// One tick of motion for a sprite in a client area of width x height: it
// moves, and bounces off each edge it has crossed.
void moveSprite(AboutSprite& s, int width, int height);

// The English credit lines; the last is the program's closing line.
QStringList aboutCredits();
// The Russian credit lines: four lines and an empty one.
QStringList aboutCreditsRussian();

// The about box: the program's picture, the credits, and player emblems
// bouncing over the black window while black squares wipe their trails.
// The animation draws into a backing image; painting only copies it.
class TMyAbout : public QDialog
{
    Q_OBJECT

public:
    // `pictures` supplies the emblems; they are copied, so the reference
    // need not outlive the window.
    explicit TMyAbout(const BlockPictures& pictures, QWidget* parent = nullptr);
    // Loads the emblems and the picture from the program folder (the current directory).
    explicit TMyAbout(QWidget* parent = nullptr);

    // Caption and credits in the given language.
    void retranslate(Language lang);

    // One animation step: every sprite in order; emblems move and draw only
    // while the window is visible.
    void Timer1Timer();

    const QImage& canvas() const { return canvas_; }
    std::array<AboutSprite, kAboutSprites>& sprites() { return sprites_; }

    QTextEdit* Memo1;
    QFrame* Panel1;
    QLabel* Image1;
    QTimer* Timer1; ///< runs while the window is shown

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setCredits(const QStringList& lines);

    std::array<QImage, kAboutEmblems> emblems_;
    std::array<AboutSprite, kAboutSprites> sprites_;
    QImage canvas_;
};

} // namespace vorlan
