#include "datafiletext.h"

#include <QDir>
#include <QStringList>

QString DataFileText::problem(const DataFileResult &result, const QString &path, bool saving)
{
    const QString shown = QDir::toNativeSeparators(path);
    QString reason;
    switch (result.error) {
    case DataFileError::None:
    case DataFileError::EmptyPath:
        return {};
    case DataFileError::WrongHeader:
        return wrongHeader();
    case DataFileError::NotFound:
        reason = tr("The file \"%1\" does not exist.").arg(shown);
        break;
    case DataFileError::IsFolder:
        reason = saving ? tr("\"%1\" is a folder, not a regular file.").arg(shown)
                        : tr("\"%1\" is a folder, not a radio data file.").arg(shown);
        break;
    case DataFileError::NotRegular:
        reason = tr("\"%1\" is not a regular file: it is a pipe, a device or a socket.")
                     .arg(shown);
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
    return lines.join(QLatin1Char('\n'));
}
