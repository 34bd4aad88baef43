#include "appstate.h"
#include "mdiformmain.h"
#include "settingsstore.h"
#include "translations.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(SettingsStore::Organisation));
    QApplication::setApplicationName(QString::fromLatin1(SettingsStore::Application));
    QApplication::setApplicationVersion(AppState::versionText());

    AppState state;
    Translations translations;

    MDIFormMain window(state, translations);
    // The frame has drawn the icon already; dialogs take the same one rather than a second
    // drawing of every size at start-up.
    QApplication::setWindowIcon(window.windowIcon());
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && !arguments.at(1).startsWith(QLatin1Char('-')))
        // Once the window is up, so the question and any message sit over it.
        QTimer::singleShot(0, &window,
                           [&window, path = arguments.at(1)] { window.openDataFile(path); });
    return QApplication::exec();
}
