#pragma once

#include <QCoreApplication>
#include <QString>

class QWidget;
struct DataFileResult;

enum class DataFileAction { Load, Save };

// Tells the user, in the current language, why a data file could not be loaded or saved. A
// result with an empty path (a cancelled dialog) shows nothing.
class DataFileMessage
{
    Q_DECLARE_TR_FUNCTIONS(DataFileMessage)
public:
    static void show(QWidget *parent, const DataFileResult &result, const QString &path,
                     DataFileAction action);
};
