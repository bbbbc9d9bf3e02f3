#include "formstorage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

namespace vorlan {

QString FormStorage::programName()
{
    const QString exe = QCoreApplication::applicationFilePath();
    const QString base = QFileInfo(exe).completeBaseName();
    return base.isEmpty() ? QStringLiteral("vorlan") : base;
}

FormStorage::FormStorage(const QString& windowClass)
    : settings_(QSettings::NativeFormat, QSettings::UserScope, programName()), group_(windowClass)
{}

QVariant FormStorage::value(const QString& property, const QVariant& fallback) const
{
    return settings_.value(group_ + QLatin1Char('/') + property, fallback);
}

void FormStorage::setValue(const QString& property, const QVariant& value)
{
    settings_.setValue(group_ + QLatin1Char('/') + property, value);
}

bool FormStorage::contains(const QString& property) const
{
    return settings_.contains(group_ + QLatin1Char('/') + property);
}

void FormStorage::restorePosition(QWidget* window) const
{
    if (contains(QStringLiteral("Left")) && contains(QStringLiteral("Top")))
        window->move(value(QStringLiteral("Left")).toInt(), value(QStringLiteral("Top")).toInt());
}

void FormStorage::storePosition(const QWidget* window)
{
    setValue(QStringLiteral("Left"), window->x());
    setValue(QStringLiteral("Top"), window->y());
}

} // namespace vorlan
