#pragma once

#include <QDialog>

namespace vorlan {

// The first-help window.
class TForm8 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm8(QWidget* parent = nullptr);
};

} // namespace vorlan
