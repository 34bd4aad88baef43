#include "settingsstore.h"

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
    if (settings.status() != QSettings::NoError)
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
    if (settings.status() != QSettings::NoError || !settings.isWritable())
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
    return openSettings().status() == QSettings::FormatError;
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
