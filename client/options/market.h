#pragma once

#include <QDialog>

namespace vorlan {

// The market dialog: buy, sell or give soldiers.
class TForm6 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm6(QWidget* parent = nullptr);
};

} // namespace vorlan
