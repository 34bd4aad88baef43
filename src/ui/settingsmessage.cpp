#include "settingsmessage.h"

#include "appstate.h"
#include "settingsstore.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace SettingsMessage {

namespace {
bool g_malformedShown = false;

} // namespace

void warnIfMalformed(QWidget *parent)
{
    if (g_malformedShown || !SettingsStore::isMalformed())
        return;
    g_malformedShown = true;
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(AppState::ApplicationTitle),
                    QCoreApplication::translate(
                        "SettingsMessage",
                        "The settings file cannot be read:\n%1\n\nThe stored COM port is "
                        "not used, and settings cannot be saved until the file is "
                        "repaired or removed.")
                        .arg(SettingsStore::location()),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("SettingsMalformed"));
    box.exec();
}

void showSaveFailure(QWidget *parent)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(AppState::ApplicationTitle),
                    QCoreApplication::translate(
                        "SettingsMessage",
                        "The setting could not be saved to:\n%1\n\nIt applies until the "
                        "program is closed.")
                        .arg(SettingsStore::location()),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("SettingsSaveFailed"));
    box.exec();
}

} // namespace SettingsMessage
