#pragma once

#include "datafile.h"

#include <QCoreApplication>
#include <QString>

// Why a data file could not be loaded or saved, in the current language: one home for the
// sentences the windows and the command line both say.
class DataFileText
{
    Q_DECLARE_TR_FUNCTIONS(DataFileText)
public:
    // The message of a file that is not a radio data file.
    static QString wrongHeader() { return tr("Error file！"); }
    // The lines of any other failure: what could not be done, why, and the system's own words.
    // Empty for success or a cancelled dialog.
    static QString problem(const DataFileResult &result, const QString &path, bool saving);
};
