#pragma once

#include <QDialog>

namespace vorlan {

// The key redefinition window.
class TForm9 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm9(QWidget* parent = nullptr);
};

} // namespace vorlan
