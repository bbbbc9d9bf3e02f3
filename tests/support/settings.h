#pragma once
// Settings for tests: the program's own store, cleared, with the language
// already chosen so that no first-start dialog comes up.

#include "view/formstorage.h"

#include <QSettings>

inline void freshSettings(int language = 0)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, vorlan::FormStorage::programName());
    s.clear();
    s.setValue("TForm7/Lang.ItemIndex", language);
    s.sync();
}
