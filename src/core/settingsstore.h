#pragma once

#include <QSettings>
#include <QString>

// The two persisted settings ("Language" and "ComPort") and the port map live in the user's
// QSettings store of organisation "Norvane", application "RQ73 Tune". User scope: a machine-wide
// store would need administrator rights to write.
namespace SettingsStore {

inline constexpr char Organisation[] = "Norvane";
inline constexpr char Application[] = "RQ73 Tune";
// The value names.
inline constexpr char LanguageValue[] = "Language";
inline constexpr char ComPortValue[] = "ComPort";

// The store itself: the platform's native store (the registry on Windows) unless the default
// format was changed, which is how tests keep their settings in a folder of their own.
QSettings openSettings();

// Keeps the settings in a folder of their own, as an INI file, on every system: the registry of a
// Windows machine cannot be redirected. Tests and benchmarks use it so they never touch the
// user's settings.
void useFolder(const QString &folder);

// Empty text when the store or the value cannot be read.
QString ReadRegistryText(const QString &valueName);
// The same from a store already open.
QString readText(const QSettings &settings, const QString &valueName);
// False when the store could not be written; callers carry on with the value in memory.
bool WriteRegistryText(const QString &valueName, const QString &text);
bool writeText(QSettings &settings, const QString &valueName, const QString &text);

// Where the settings are kept: the file, or the registry key on Windows.
QString location();
// The settings file exists but cannot be understood (for example a section line without "]"):
// nothing in it is used, and nothing can be saved to it until it is repaired or removed.
bool isMalformed();
bool isMalformed(const QSettings &settings);

// The start-up port: the stored "ComPort", or 1 when nothing usable is stored.
int storedComPort();
int storedComPort(const QSettings &settings);

// The parts that read no store, for values and text already in memory.
// The text of a stored value: empty when it is no text, cut at a NUL.
QString textOf(const QVariant &value);
// A port number as stored: like the numeric reading of a text, leading digits count and the rest
// is ignored; 1 when that is no port.
int comPortFromText(const QString &text);
// True when the contents of a settings file hold a section line without its "]", which
// QSettings cannot read.
bool isMalformedText(const QByteArray &contents);

} // namespace SettingsStore
