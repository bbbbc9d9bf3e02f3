#include "firsthelp.h"

namespace vorlan {

TForm8::TForm8(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm8"));
    setWindowTitle(QStringLiteral("Help"));
    resize(420, 300);
}

} // namespace vorlan
