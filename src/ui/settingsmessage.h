#pragma once

class QWidget;

// Settings that cannot be kept are worth a word: otherwise a chosen port silently comes back
// wrong at the next start.
namespace SettingsMessage {

// The settings file cannot be read; said once per run, with the file's path.
void warnIfMalformed(QWidget *parent);
// A setting could not be saved.
void showSaveFailure(QWidget *parent);

} // namespace SettingsMessage
