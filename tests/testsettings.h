#pragma once

#include "settingsstore.h"

#include <QString>

// Keeps a test's settings in a folder of its own.
inline void isolateSettings(const QString &folder)
{
    SettingsStore::useFolder(folder);
}
