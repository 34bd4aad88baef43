#include "appicon.h"
#include "appstate.h"
#include "mdiformmain.h"
#include "settingsstore.h"
#include "translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(SettingsStore::Organisation));
    QApplication::setApplicationName(QString::fromLatin1(SettingsStore::Application));
    QApplication::setApplicationVersion(AppState::versionText());
    QApplication::setWindowIcon(appIcon());

    AppState state;
    Translations translations;

    MDIFormMain window(state, translations);
    window.show();
    return QApplication::exec();
}
