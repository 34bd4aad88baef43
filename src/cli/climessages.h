#pragma once

#include "datafile.h"
#include "portopen.h"

#include <QString>

// The windows' own explanations, as plain text for the terminal: the same sentences in the same
// language, so a technician who knows the window's message recognises it here.
namespace CliMessages {

// A data file that could not be loaded or saved; more than one line when there is a reason.
QString dataFileProblem(const DataFileResult &result, const QString &path, bool saving);

} // namespace CliMessages
