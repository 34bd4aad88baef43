#include "appicon.h"
#include "appstate.h"
#include "datafile.h"
#include "datafilemessage.h"
#include "mdiformmain.h"
#include "settingsstore.h"
#include "translations.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// A data file named on the command line, as a file manager passes it, opens as File > Open opens
// one; the image is still empty, so there is nothing to ask before covering it.
void openStartFile(MDIFormMain &window, AppState &state, const QString &path)
{
    const DataFileResult result = ReadFromFile(path, state.image, state.TuneTxTime);
    if (!result.ok()) {
        DataFileMessage::show(&window, result, path, DataFileAction::Load);
        return;
    }
    const QFileInfo file(path);
    state.CurrentFilePath = file.absoluteFilePath();
    state.CurrentFileName = file.fileName();
    state.ImageHasSource = true;
    window.closeAllChildWindows();
    window.openFormTune();
    window.Timer1_Timer();
}

} // namespace

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
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && !arguments.at(1).startsWith(QLatin1Char('-')))
        openStartFile(window, state, arguments.at(1));
    return QApplication::exec();
}
