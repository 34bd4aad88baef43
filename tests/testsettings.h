#pragma once

#include <QSettings>
#include <QStandardPaths>
#include <QString>

// Keeps a test's settings in a folder of its own on every system: the registry of a Windows
// machine cannot be redirected, so the tests use the file format there too.
inline void isolateSettings(const QString &folder)
{
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    // Every successful read leaves a backup in the data folder; a test's reads must not fill the
    // user's own.
    QStandardPaths::setTestModeEnabled(true);
}
