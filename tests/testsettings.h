#pragma once

#include <QSettings>
#include <QString>

// Keeps a test's settings in a folder of its own on every system: the registry of a Windows
// machine cannot be redirected, so the tests use the file format there too.
inline void isolateSettings(const QString &folder)
{
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}
