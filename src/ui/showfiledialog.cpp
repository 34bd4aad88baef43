#include "showfiledialog.h"

#include "appstate.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

QStringList dataFileFilters()
{
    return {QCoreApplication::translate("ShowFileDialog", "Radio data file(*.rdat)"),
            QCoreApplication::translate("ShowFileDialog", "All file(*.*)")};
}

QString ShowFileDialog(AppState &state, QWidget *parent, const QString &mode, const QString &title,
                       const QString &initialName)
{
    // Qt's own dialog, not the desktop's: it follows the program's language and behaves the same
    // on every system.
    QFileDialog dialog(parent, title);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(dataFileFilters());
    if (mode.toUpper() == QStringLiteral("OPEN")) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("rdat"));
    }
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);

    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) {
        QMessageBox::critical(parent, QStringLiteral("RQ73 Tune"),
                              QCoreApplication::translate("ShowFileDialog", "Unknown error!"));
        return {};
    }
    const QString path = files.first();
    state.CurrentFileName = QFileInfo(path).fileName();
    return path;
}
