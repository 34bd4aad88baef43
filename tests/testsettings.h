#pragma once

#include "settingsstore.h"

#include <QStandardPaths>
#include <QString>

// Keeps a test's settings in a folder of its own.
inline void isolateSettings(const QString &folder)
{
    SettingsStore::useFolder(folder);
    // Every successful read leaves a backup in the data folder; a test's reads must not fill the
    // user's own.
    QStandardPaths::setTestModeEnabled(true);
}
