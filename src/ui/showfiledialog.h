#pragma once

#include <QString>

class QWidget;
class ImageSession;

// The open/save dialog of the file commands. mode "OPEN" (any case) opens an existing file, any
// other mode saves with the default suffix "rdat" and asks before replacing a file. Returns the
// chosen path, or empty text when cancelled or failed; shows the chosen file's name as
// CurrentFileName on OK. Without a session (Compare With File) the name shown stays.
QString ShowFileDialog(ImageSession *session, QWidget *parent, const QString &mode,
                       const QString &title, const QString &initialName);

// The two filters of the dialog in the current language.
QStringList dataFileFilters();
