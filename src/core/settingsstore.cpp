#include "settingsstore.h"

#include <QFile>
#include <QSettings>

namespace SettingsStore {

QSettings openSettings()
{
    return QSettings(QSettings::defaultFormat(), QSettings::UserScope,
                     QString::fromLatin1(Organisation), QString::fromLatin1(Application));
}

void useFolder(const QString &folder)
{
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

QString ReadRegistryText(const QString &valueName)
{
    return readText(openSettings(), valueName);
}

QString readText(const QSettings &settings, const QString &valueName)
{
    // What QSettings makes of a broken file depends on which object parsed it first; nothing of
    // it is used, as the user is told.
    if (settings.status() != QSettings::NoError || isMalformed(settings))
        return {};
    return textOf(settings.value(valueName));
}

QString textOf(const QVariant &value)
{
    if (!value.isValid() || !value.canConvert<QString>())
        return {};
    QString text = value.toString();
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

bool WriteRegistryText(const QString &valueName, const QString &text)
{
    QSettings settings = openSettings();
    return writeText(settings, valueName, text);
}

bool writeText(QSettings &settings, const QString &valueName, const QString &text)
{
    // A file QSettings cannot parse is never written back, whatever status it reports.
    if (settings.status() != QSettings::NoError || !settings.isWritable() || isMalformed(settings))
        return false;
    settings.setValue(valueName, text);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString location()
{
    return openSettings().fileName();
}

bool isMalformed()
{
    return isMalformed(openSettings());
}

bool isMalformed(const QSettings &settings)
{
    if (settings.status() == QSettings::FormatError)
        return true;
    // QSettings reports a format error only to the first object that parses the file; later
    // ones share the parsed copy and say nothing. A section line without its "]" is what makes
    // the file unreadable, so look for one.
    if (settings.format() == QSettings::NativeFormat
        && !settings.fileName().endsWith(QLatin1String(".conf"))
        && !settings.fileName().endsWith(QLatin1String(".ini")))
        return false;
    QFile file(settings.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return isMalformedText(file.readAll());
}

bool isMalformedText(const QByteArray &contents)
{
    for (QByteArrayView rest(contents); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView line = (end < 0 ? rest : rest.first(end)).trimmed();
        if (line.startsWith('[') && !line.contains(']'))
            return true;
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
    }
    return false;
}

int storedComPort()
{
    return storedComPort(openSettings());
}

int storedComPort(const QSettings &settings)
{
    return comPortFromText(readText(settings, QString::fromLatin1(ComPortValue)));
}

int comPortFromText(const QString &stored)
{
    // Like the numeric reading of a text: leading digits count, the rest is ignored.
    const QString text = stored.trimmed();
    int n = 0;
    for (const QChar c : text) {
        if (!c.isDigit() || n > 99)
            break;
        n = n * 10 + c.digitValue();
    }
    return (n >= 1 && n <= 99) ? n : 1;
}

} // namespace SettingsStore
