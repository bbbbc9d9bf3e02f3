#pragma once
// Helpers shared by the key binding tests.

#include "controls/bindings.h"
#include "view/formstorage.h"

#include <QSettings>

// The virtual-key code of function key Fn.
constexpr int F(int n)
{
    return vorlan::vk::F1 + n - 1;
}

// Forgets every stored binding.
inline void clearStored()
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, vorlan::FormStorage::programName());
    s.remove(QStringLiteral("TForm9"));
    s.sync();
}
