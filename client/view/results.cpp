#include "results.h"

namespace vorlan {

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Results"));
    resize(305, 481);
}

} // namespace vorlan
