#include "datafilemessage.h"

#include "appstate.h"
#include "datafile.h"

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
    const QString appTitle = QString::fromLatin1(AppState::ApplicationTitle);
    const QString shown = QDir::toNativeSeparators(path);
    QString reason;
    const bool saving = action == DataFileAction::Save;
    switch (result.error) {
    case DataFileError::None:
    case DataFileError::EmptyPath:
        return;
    case DataFileError::WrongHeader:
        showError(parent, tr("Error"), tr("Error file！"));
        return;
    case DataFileError::NotFound:
        reason = tr("The file \"%1\" does not exist.").arg(shown);
        break;
    case DataFileError::IsFolder:
        reason = saving ? tr("A folder of that name is in the way.")
                        : tr("\"%1\" is a folder, not a radio data file.").arg(shown);
        break;
    case DataFileError::Unreadable:
        reason = tr("The file \"%1\" cannot be read.").arg(shown);
        break;
    case DataFileError::TooShort:
        reason = tr("The file \"%1\" is incomplete: a radio data file holds %2 bytes, this one "
                    "holds %3.")
                     .arg(shown)
                     .arg(DataFile::Size)
                     .arg(result.bytesFound);
        break;
    case DataFileError::FolderMissing:
        reason = tr("The folder does not exist.");
        break;
    case DataFileError::CannotCreate:
        reason = tr("The file cannot be created in that folder. The folder may be read-only, or "
                    "you may not have permission to write there.");
        break;
    case DataFileError::WriteFailed:
        reason = tr("Writing failed; the disk may be full.");
        break;
    }

    QStringList lines;
    if (saving)
        lines << tr("The data could not be saved to \"%1\".").arg(shown);
    lines << reason;
    if (!result.systemText.isEmpty())
        lines << tr("System message: %1").arg(result.systemText);
    lines << QString();
    lines << (saving ? tr("A file already there was left unchanged.")
                     : tr("Nothing was loaded; the current data is unchanged."));
    showError(parent, appTitle, lines.join(QLatin1Char('\n')));
}
