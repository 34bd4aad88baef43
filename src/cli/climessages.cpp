#include "climessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace CliMessages {

QString dataFileProblem(const DataFileResult &result, const QString &path, bool saving)
{
    const QString shown = QDir::toNativeSeparators(path);
    QString reason;
    switch (result.error) {
    case DataFileError::None:
    case DataFileError::EmptyPath:
        return {};
    case DataFileError::WrongHeader:
        // The window's own message, followed by the file it is about.
        return QCoreApplication::translate("DataFileMessage", "Error file！") + QLatin1Char(' ')
               + shown;
    case DataFileError::NotFound:
        reason = QCoreApplication::translate("DataFileMessage", "The file \"%1\" does not exist.")
                     .arg(shown);
        break;
    case DataFileError::IsFolder:
        reason = saving ? QCoreApplication::translate("DataFileMessage",
                                                      "A folder of that name is in the way.")
                        : QCoreApplication::translate("DataFileMessage",
                                                      "\"%1\" is a folder, not a radio data file.")
                              .arg(shown);
        break;
    case DataFileError::Unreadable:
        reason = QCoreApplication::translate("DataFileMessage", "The file \"%1\" cannot be read.")
                     .arg(shown);
        break;
    case DataFileError::TooShort:
        reason = QCoreApplication::translate(
                     "DataFileMessage",
                     "The file \"%1\" is incomplete: a radio data file holds %2 bytes, this one "
                     "holds %3.")
                     .arg(shown)
                     .arg(DataFile::Size)
                     .arg(result.bytesFound);
        break;
    case DataFileError::FolderMissing:
        reason = QCoreApplication::translate("DataFileMessage", "The folder does not exist.");
        break;
    case DataFileError::CannotCreate:
        reason = QCoreApplication::translate(
            "DataFileMessage",
            "The file cannot be created in that folder. The folder may be read-only, or "
            "you may not have permission to write there.");
        break;
    case DataFileError::WriteFailed:
        reason = QCoreApplication::translate("DataFileMessage",
                                             "Writing failed; the disk may be full.");
        break;
    }

    QStringList lines;
    if (saving)
        lines << QCoreApplication::translate("DataFileMessage",
                                             "The data could not be saved to \"%1\".")
                     .arg(shown);
    lines << reason;
    if (!result.systemText.isEmpty())
        lines << QCoreApplication::translate("DataFileMessage", "System message: %1")
                     .arg(result.systemText);
    return lines.join(QLatin1Char('\n'));
}

} // namespace CliMessages
