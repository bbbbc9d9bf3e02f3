#include "about.h"

namespace vorlan {

TMyAbout::TMyAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TMyAbout"));
    setWindowTitle(QStringLiteral("About"));
    resize(320, 360);
}

} // namespace vorlan
