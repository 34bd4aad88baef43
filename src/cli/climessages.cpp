#include "climessages.h"

#include "datafiletext.h"

#include <QDir>

namespace CliMessages {

QString dataFileProblem(const DataFileResult &result, const QString &path, bool saving)
{
    // The window's own message, followed by the file it is about.
    if (result.error == DataFileError::WrongHeader)
        return DataFileText::wrongHeader() + QLatin1Char(' ') + QDir::toNativeSeparators(path);
    return DataFileText::problem(result, path, saving);
}

} // namespace CliMessages
