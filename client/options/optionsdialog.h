#pragma once

#include "net/formstorage.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;
class QLabel;

namespace vorlan {

// The options dialog. It lives for the whole run; the block size is read by
// the lobby when a game's map is built.
class TOptions : public QDialog
{
    Q_OBJECT

public:
    explicit TOptions(QWidget* parent = nullptr);

    int blockSize() const;

    QCheckBox* enableMIDI;
    QCheckBox* enableWAVE;
    QCheckBox* DirudBox;
    QLabel* SizeLabel;
    QSpinBox* Size;

private:
    FormStorage FormStorage1;
};

} // namespace vorlan
