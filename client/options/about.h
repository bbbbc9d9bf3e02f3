#pragma once

#include <QDialog>

namespace vorlan {

// The about box.
class TMyAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TMyAbout(QWidget* parent = nullptr);
};

} // namespace vorlan
