#include "settingsstore.h"

#include <QFile>
#include <QSettings>

namespace SettingsStore {

QSettings openSettings()
{
    return QSettings(QSettings::defaultFormat(), QSettings::UserScope,
                     QString::fromLatin1(Organisation), QString::fromLatin1(Application));
}

QString ReadRegistryText(const QString &valueName)
{
    QSettings settings = openSettings();
    // What QSettings makes of a broken file depends on which object parsed it first; nothing of
    // it is used, as the user is told.
    if (settings.status() != QSettings::NoError || isMalformed())
        return {};
    const QVariant value = settings.value(valueName);
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
    // A file QSettings cannot parse is never written back, whatever status it reports.
    if (settings.status() != QSettings::NoError || !settings.isWritable() || isMalformed())
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
    QSettings settings = openSettings();
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
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('[') && !line.contains(']'))
            return true;
    }
    return false;
}

int storedComPort()
{
    // Like the numeric reading of a text: leading digits count, the rest is ignored.
    const QString text = ReadRegistryText(QString::fromLatin1(ComPortValue)).trimmed();
    int n = 0;
    for (const QChar c : text) {
        if (!c.isDigit() || n > 99)
            break;
        n = n * 10 + c.digitValue();
    }
    return (n >= 1 && n <= 99) ? n : 1;
}

} // namespace SettingsStore
