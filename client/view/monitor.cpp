#include "monitor.h"

namespace vorlan {

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Monitor"));
    resize(560, 250);
}

} // namespace vorlan
