#pragma once

#include <QString>

class QWidget;
struct AppState;

// The open/save dialog of the file commands. mode "OPEN" (any case) opens an existing file, any
// other mode saves with the default suffix "rdat" and asks before replacing a file. Returns the
// chosen path, or empty text when cancelled or failed; sets CurrentFileName on OK.
QString ShowFileDialog(AppState &state, QWidget *parent, const QString &mode, const QString &title,
                       const QString &initialName);

// The two filters of the dialog in the current language.
QStringList dataFileFilters();
