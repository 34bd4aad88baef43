#include "showfiledialog.h"

#include "appstate.h"
#include "imagesession.h"
#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>

#include <memory>

QStringList dataFileFilters()
{
    return {QCoreApplication::translate("ShowFileDialog", "Radio data file(*.rdat)"),
            QCoreApplication::translate("ShowFileDialog", "All file(*.*)")};
}

namespace {

// "*.*" means every file to a Windows user, but Qt's list takes it literally and hides names
// without a dot. Choosing the all-files entry therefore shows every file, and in a save dialog
// keeps the typed name, which Qt would turn into "name.*".
void letAllFilesFilterShowEverything(QFileDialog &dialog)
{
    auto *model = dialog.findChild<QFileSystemModel *>();
    auto *nameEdit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!model || !nameEdit)
        return;
    auto lastName = std::make_shared<QString>();
    QObject::connect(nameEdit, &QLineEdit::textChanged, &dialog, [lastName](const QString &text) {
        if (!text.endsWith(QStringLiteral(".*")))
            *lastName = text;
    });
    const QString allFiles = dataFileFilters().constLast();
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [model, nameEdit, lastName, allFiles](const QString &filter) {
                         if (filter != allFiles)
                             return;
                         model->setNameFilters({QStringLiteral("*")});
                         if (nameEdit->text().endsWith(QStringLiteral(".*")))
                             nameEdit->setText(*lastName);
                     });
}

} // namespace

QString ShowFileDialog(ImageSession *session, QWidget *parent, const QString &mode,
                       const QString &title, const QString &initialName)
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
    letAllFilesFilterShowEverything(dialog);
    // Data files of one job usually sit together: start where the last file was picked.
    const QString lastFolder
        = SettingsStore::openSettings().value(QStringLiteral("LastFolder")).toString();
    if (!lastFolder.isEmpty() && QDir(lastFolder).exists())
        dialog.setDirectory(lastFolder);
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);

    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) {
        QMessageBox::critical(parent, QString::fromLatin1(AppState::ApplicationTitle),
                              QCoreApplication::translate("ShowFileDialog", "Unknown error!"));
        return {};
    }
    const QString path = files.first();
    SettingsStore::openSettings().setValue(QStringLiteral("LastFolder"),
                                           QFileInfo(path).absolutePath());
    if (session)
        session->showFileName(QFileInfo(path).fileName());
    return path;
}
