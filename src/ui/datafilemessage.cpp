#include "datafilemessage.h"

#include "appstate.h"
#include "datafile.h"
#include "datafiletext.h"

#include <QDir>
#include <QMessageBox>

namespace {

void showError(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("DataFileError"));
    box.exec();
}

} // namespace

void DataFileMessage::show(QWidget *parent, const DataFileResult &result, const QString &path,
                           DataFileAction action)
{
    const bool saving = action == DataFileAction::Save;
    switch (result.error) {
    case DataFileError::None:
    case DataFileError::EmptyPath:
        return;
    case DataFileError::WrongHeader:
        showError(parent, tr("Error"), DataFileText::wrongHeader());
        return;
    default:
        break;
    }
    QStringList lines{DataFileText::problem(result, path, saving), QString()};
    lines << (saving ? tr("A file already there was left unchanged.")
                     : tr("Nothing was loaded; the current data is unchanged."));
    showError(parent, QString::fromLatin1(AppState::ApplicationTitle),
              lines.join(QLatin1Char('\n')));
}
