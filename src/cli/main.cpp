// rq73tune-cli: the tool's transfers, files and live values for scripts, without any window.

#include "aligncommand.h"
#include "appstate.h"
#include "cliarguments.h"
#include "clicommands.h"
#include "settingsstore.h"
#include "translations.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

int main(int argc, char *argv[])
{
    // A drawn alignment report needs Qt Gui's fonts and painting; no display is needed for it.
    const bool draws = AlignCommand::drawsReport(argc, argv);
    if (draws && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(draws ? new QGuiApplication(argc, argv)
                                                      : new QCoreApplication(argc, argv));
    QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsStore::Organisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(SettingsStore::Application));
    QCoreApplication::setApplicationVersion(AppState::versionText());

    // Unlike the window program, which always starts in English, a script runs in the language
    // the technician last chose.
    const bool english
        = SettingsStore::ReadRegistryText(QString::fromLatin1(SettingsStore::LanguageValue))
              .compare(QLatin1String("False"), Qt::CaseInsensitive)
          != 0;
    Translations translations;
    translations.apply(english);

    CliCommands commands(CliArguments::parse(QCoreApplication::arguments().mid(1)));
    return toInt(commands.run());
}
