#include "keys.h"

namespace vorlan {

TForm9::TForm9(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm9"));
    setWindowTitle(QStringLiteral("Redefine keys"));
    resize(560, 470);
}

} // namespace vorlan
