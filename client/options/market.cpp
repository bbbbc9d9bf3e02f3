#include "market.h"

namespace vorlan {

TForm6::TForm6(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("Market"));
    resize(330, 260);
}

} // namespace vorlan
