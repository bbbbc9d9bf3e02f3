#include "optionsdialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace vorlan {

TOptions::TOptions(QWidget* parent) : QDialog(parent), FormStorage1(QStringLiteral("TOptions"))
{
    setObjectName(QStringLiteral("TOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(360, 180);
    enableMIDI = new QCheckBox(QStringLiteral("Enable MIDI music"), this);
    enableMIDI->setObjectName(QStringLiteral("enableMIDI"));
    enableMIDI->move(12, 12);
    enableWAVE = new QCheckBox(QStringLiteral("Enable WAVE music"), this);
    enableWAVE->setObjectName(QStringLiteral("enableWAVE"));
    enableWAVE->move(12, 36);
    DirudBox = new QCheckBox(QStringLiteral("Use idiot DLL"), this);
    DirudBox->setObjectName(QStringLiteral("DirudBox"));
    DirudBox->move(12, 60);
    SizeLabel = new QLabel(QStringLiteral("Blocks size"), this);
    SizeLabel->setObjectName(QStringLiteral("SizeLabel"));
    SizeLabel->move(12, 92);
    Size = new QSpinBox(this);
    Size->setObjectName(QStringLiteral("Size"));
    Size->setGeometry(110, 88, 60, 24);
    Size->setRange(8, 64);
    Size->setValue(FormStorage1.value(QStringLiteral("Size.Value"), 16).toInt());
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setGeometry(270, 140, 80, 28);
    connect(ok, &QPushButton::clicked, this, [this] {
        FormStorage1.setValue(QStringLiteral("Size.Value"), Size->value());
        accept();
    });
}

int TOptions::blockSize() const
{
    return Size->value();
}

} // namespace vorlan
