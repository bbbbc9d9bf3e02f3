#pragma once

#include <QDialog>

namespace vorlan {

// The results window shown when a game ends.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
};

} // namespace vorlan
