#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

class QWidget;

namespace vorlan {

// A window's stored properties: one settings group per window class, keys
// named after the stored property ("yourName.Text", "Lang.ItemIndex").
// Settings belong to the program by its executable's base name.
class FormStorage
{
public:
    explicit FormStorage(const QString& windowClass);

    QVariant value(const QString& property, const QVariant& fallback = {}) const;
    void setValue(const QString& property, const QVariant& value);
    bool contains(const QString& property) const;

    // The window position, stored as "Left" and "Top".
    void restorePosition(QWidget* window) const;
    void storePosition(const QWidget* window);

    void sync() { settings_.sync(); }

    // The program name the settings are kept under.
    static QString programName();

private:
    mutable QSettings settings_;
    QString group_;
};

} // namespace vorlan
