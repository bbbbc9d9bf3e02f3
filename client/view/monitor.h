#pragma once

#include <QDialog>

namespace vorlan {

// The monitor of every player's totals and places.
class TForm3 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm3(QWidget* parent = nullptr);
};

} // namespace vorlan
