#include "imagecommands.h"

#include "appstate.h"
#include "datafilemessage.h"
#include "formbackups.h"
#include "formcompare.h"
#include "formprocess.h"
#include "formwritepreview.h"
#include "imagesession.h"
#include "settingsstore.h"
#include "showfiledialog.h"
#include "transfertexts.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

const QString AppTitle = QString::fromLatin1(AppState::ApplicationTitle);
const QString RecentFilesValue = QStringLiteral("RecentFiles");

void storeRecentFiles(const QStringList &files)
{
    QSettings settings = SettingsStore::openSettings();
    settings.setValue(RecentFilesValue, files);
}

} // namespace

ImageCommands::ImageCommands(ImageSession &session, QWidget *window)
    : QObject(window)
    , m_session(session)
    , m_window(window)
{}

bool ImageCommands::settleUnsavedChanges()
{
    if (!m_session.isModified())
        return true;
    QMessageBox ask(QMessageBox::Warning, AppTitle,
                    tr("The data has changed since it was last opened, saved or read from the "
                       "radio.\n\nDo you want to save the changes?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_window);
    ask.setObjectName(QStringLiteral("UnsavedChanges"));
    ask.setDefaultButton(QMessageBox::Save);
    switch (ask.exec()) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void ImageCommands::newImage()
{
    if (!settleUnsavedChanges())
        return;
    m_session.newImage();
    emit imageReopened();
}

void ImageCommands::open()
{
    if (!settleUnsavedChanges())
        return;
    const QString previousName = m_session.fileName();
    const QString path
        = ShowFileDialog(&m_session, m_window, QStringLiteral("OPEN"), tr("Open"), QString());
    if (!path.isEmpty())
        load(path, previousName, false);
}

void ImageCommands::openPath(const QString &path)
{
    if (!settleUnsavedChanges())
        return;
    const QString previousName = m_session.fileName();
    m_session.showFileName(QFileInfo(path).fileName());
    load(path, previousName, false);
}

void ImageCommands::openBackup(const QString &path)
{
    if (!settleUnsavedChanges())
        return;
    const QString previousName = m_session.fileName();
    m_session.showFileName(QFileInfo(path).fileName());
    load(path, previousName, true);
}

bool ImageCommands::load(const QString &path, const QString &previousName, bool isBackup)
{
    QMessageBox ask(QMessageBox::Warning, AppTitle, tr("Do you want to cover current data?"),
                    QMessageBox::Ok | QMessageBox::Cancel, m_window);
    ask.setObjectName(QStringLiteral("CoverQuestion"));
    if (ask.exec() != QMessageBox::Ok) {
        m_session.showFileName(previousName);
        return false;
    }
    const DataFileResult result = isBackup ? m_session.openBackup(path) : m_session.open(path);
    if (!result.ok()) {
        m_session.showFileName(previousName);
        DataFileMessage::show(m_window, result, path, DataFileAction::Load);
        return false;
    }
    if (!isBackup)
        rememberFile(path);
    emit imageReopened();
    return true;
}

QStringList ImageCommands::recentFiles() const
{
    QStringList files = SettingsStore::openSettings().value(RecentFilesValue).toStringList();
    files.removeAll(QString());
    return files.mid(0, RecentFileCount);
}

void ImageCommands::rememberFile(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = recentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    storeRecentFiles(files.mid(0, RecentFileCount));
    // The next file dialog starts where this file is, however it was opened.
    SettingsStore::openSettings().setValue(QStringLiteral("LastFolder"),
                                           QFileInfo(absolute).absolutePath());
    emit recentFilesChanged();
}

void ImageCommands::openRecent(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        QStringList files = recentFiles();
        files.removeAll(path);
        storeRecentFiles(files);
        emit recentFilesChanged();
        emit recentFileMissing(path);
        return;
    }
    openPath(path);
}

bool ImageCommands::saveTo(const QString &path, const QString &previousName)
{
    const DataFileResult result = m_session.saveAs(path);
    if (!result.ok()) {
        m_session.showFileName(previousName);
        DataFileMessage::show(m_window, result, path, DataFileAction::Save);
        return false;
    }
    rememberFile(path);
    return true;
}

bool ImageCommands::save()
{
    const QString previousName = m_session.fileName();
    if (m_session.foreignData() != ForeignData::None)
        return replaceFile(previousName);
    if (!m_session.filePath().isEmpty())
        return saveTo(m_session.filePath(), previousName);
    const QString path = ShowFileDialog(&m_session, m_window, QStringLiteral("Save"), tr("Save"),
                                        m_session.fileName());
    return !path.isEmpty() && saveTo(path, previousName);
}

bool ImageCommands::replaceFile(const QString &previousName)
{
    const QString path = m_session.filePath();
    const QString name = QFileInfo(path).fileName();
    QString question;
    switch (m_session.foreignData()) {
    case ForeignData::NewImage:
        question = tr("Replace %1 with the empty data of New?");
        break;
    case ForeignData::RadioRead:
        question = tr("Replace %1 with the data read from the radio?");
        break;
    case ForeignData::OtherFile:
    case ForeignData::None:
        question = tr("Replace %1 with data that did not come from it?");
        break;
    }
    QMessageBox ask(QMessageBox::Warning, AppTitle, question.arg(name), QMessageBox::NoButton,
                    m_window);
    ask.setObjectName(QStringLiteral("ReplaceFile"));
    ask.setInformativeText(tr("A copy of %1 is kept in the backups folder first.").arg(name));
    QPushButton *replace = ask.addButton(tr("Replace"), QMessageBox::AcceptRole);
    replace->setObjectName(QStringLiteral("ReplaceButton"));
    QPushButton *other = ask.addButton(tr("Save As..."), QMessageBox::ActionRole);
    other->setObjectName(QStringLiteral("SaveAsButton"));
    QPushButton *cancel = ask.addButton(QMessageBox::Cancel);
    ask.setDefaultButton(cancel);
    ask.setEscapeButton(cancel);
    ask.exec();
    if (ask.clickedButton() == other)
        return saveAs();
    if (ask.clickedButton() != replace)
        return false;

    const BackupStore::SaveResult kept = m_session.keepReplacedFile(path);
    if (!kept.ok() && !kept.errorText.isEmpty()) {
        // Without the copy the file would be gone for good: nothing is replaced.
        QMessageBox::warning(m_window, AppTitle,
                             tr("%1 was not replaced: its copy could not be kept in the backups "
                                "folder (%2).")
                                 .arg(name, kept.errorText));
        return false;
    }
    return saveTo(path, previousName);
}

bool ImageCommands::saveAs()
{
    const QString previousName = m_session.fileName();
    // The same title in both languages.
    const QString path = ShowFileDialog(&m_session, m_window, QStringLiteral("Save"),
                                        QStringLiteral("另存为"), QString());
    return !path.isEmpty() && saveTo(path, previousName);
}

bool ImageCommands::confirmWriteWithoutSource()
{
    const QString text
        = m_session.onlySquelchFromRadio()
              ? tr("Only the squelch table of this data has been read from a radio since the "
                   "program started or since New; the rest was never read or loaded. Writing it "
                   "replaces the radio's calibration with these values.\n\nWrite to the radio "
                   "anyway?")
              : tr("The data in this program has not been read from a radio or loaded from "
                   "a file since the program started or since New. Writing it replaces the "
                   "radio's calibration with these values.\n\nWrite to the radio anyway?");
    QMessageBox ask(QMessageBox::Warning, AppTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                    m_window);
    ask.setObjectName(QStringLiteral("WriteWithoutSource"));
    ask.setDefaultButton(QMessageBox::Cancel);
    return ask.exec() == QMessageBox::Ok;
}

bool ImageCommands::runInWindow(RadioImage &image, TransferKind kind,
                                const std::function<void()> &afterRead, const QString &title,
                                bool step)
{
    FormProcess process(image, kind, m_session.state().ComPortNumber, afterRead, m_window,
                        m_timings);
    if (!title.isEmpty())
        process.setWindowTitle(title);
    process.setCloseWhenDone(step);
    process.exec();
    return process.succeeded();
}

bool ImageCommands::runTransfer(TransferKind kind, bool unsavedSettled)
{
    if (isReadTransfer(kind) && !unsavedSettled && !settleUnsavedChanges())
        return false;
    if (!isReadTransfer(kind) && ImageSession::safeWriteEnabled())
        return safeWrite(kind);
    if (m_session.writeNeedsConfirmation(kind) && !confirmWriteWithoutSource())
        return false;
    const TransferOutcome outcome
        = m_session.transfer(kind, [this](RadioImage &image, TransferKind k, int,
                                          const std::function<void()> &afterRead) {
              return runInWindow(image, k, afterRead, QString(), false);
          });
    return outcome.succeeded;
}

bool ImageCommands::safeWrite(TransferKind kind)
{
    const TransferKind readKind = ImageSession::readBeforeWrite(kind);
    // The radio as it is now, before anything of it is replaced.
    RadioImage radio;
    if (!runInWindow(radio, readKind, {}, tr("Reading the Radio Before Writing"), true))
        return false;
    const BackupStore::SaveResult kept = m_session.keepRadioBeforeWrite(radio);
    if (!kept.ok()) {
        QMessageBox refused(QMessageBox::Warning, AppTitle,
                            tr("Nothing was written: the radio's data could not be kept in the "
                               "backups folder (%1).")
                                .arg(kept.errorText),
                            QMessageBox::Ok, m_window);
        refused.setObjectName(QStringLiteral("SafeWriteNoBackup"));
        refused.exec();
        return false;
    }
    const QString backupName = QFileInfo(kept.path).fileName();
    QString warning;
    if (m_session.writeNeedsConfirmation(kind))
        warning = m_session.onlySquelchFromRadio()
                      ? tr("Only the squelch table of this data has been read from a radio since "
                           "the program started or since New; the rest was never read or "
                           "loaded.")
                      : tr("The data in this program has not been read from a radio or loaded "
                           "from a file since the program started or since New.");
    FormWritePreview preview(m_session.writeChanges(radio, kind),
                             tr("The radio's data as it is now is kept in the backup %1.")
                                 .arg(backupName),
                             warning, m_window);
    if (preview.exec() != QDialog::Accepted)
        return false;

    const TransferOutcome written
        = m_session.transfer(kind, [this](RadioImage &image, TransferKind k, int,
                                          const std::function<void()> &afterRead) {
              return runInWindow(image, k, afterRead, QString(), true);
          });
    const QString keptNote = tr("The radio's data before the write is in the backup %1.")
                              .arg(backupName);
    QMessageBox report(QMessageBox::Information, AppTitle, QString(), QMessageBox::Ok, m_window);
    if (!written.succeeded) {
        report.setIcon(QMessageBox::Warning);
        report.setObjectName(QStringLiteral("SafeWriteFailed"));
        report.setText(tr("The write did not complete: the radio may hold part of the new data. "
                          "Write it again before use.")
                       + QStringLiteral("\n\n") + keptNote);
        report.exec();
        return false;
    }
    RadioImage after;
    if (!runInWindow(after, readKind, {}, TransferTexts::verifyTitle(), true)) {
        report.setIcon(QMessageBox::Warning);
        report.setObjectName(QStringLiteral("SafeWriteUnchecked"));
        report.setText(tr("Written, but the read back did not complete, so the write is not "
                          "checked. Use Verify Radio before relying on it.")
                       + QStringLiteral("\n\n") + keptNote);
        report.exec();
        return true;
    }
    const QList<ImageCompare::Difference> left = m_session.writeChanges(after, kind);
    if (!left.isEmpty()) {
        report.setIcon(QMessageBox::Warning);
        report.setObjectName(QStringLiteral("SafeWriteDiffers"));
        report.setText(tr("Written, but the radio differs from the data in %n value(s).", nullptr,
                          int(left.size()))
                       + QStringLiteral("\n\n") + keptNote);
        report.setDetailedText(ImageCompare::describe(left).join(QLatin1Char('\n')));
        report.exec();
        return false;
    }
    report.setObjectName(QStringLiteral("SafeWriteDone"));
    report.setText(tr("Written and checked: the radio holds every value of this write.")
                   + QStringLiteral("\n\n") + keptNote);
    report.exec();
    return true;
}

void ImageCommands::verify()
{
    const VerifyOutcome outcome = m_session.verify(
        [this](RadioImage &image, TransferKind kind, int port, const std::function<void()> &) {
            FormProcess process(image, kind, port, {}, m_window, m_timings);
            process.setWindowTitle(TransferTexts::verifyTitle());
            process.exec();
            return process.succeeded();
        });
    if (!outcome.transferred)
        return;
    const QString summary
        = outcome.differences.isEmpty()
              ? tr("Identical: the radio holds every word of the current image.")
              : tr("Words that differ between the current image and the radio: %1 (current → "
                   "radio).")
                    .arg(outcome.differences.size());
    FormCompare form(tr("Verify Radio"), summary, ImageCompare::describe(outcome.differences),
                     m_window);
    form.exec();
}

void ImageCommands::compare()
{
    // The current file stays the current one: the dialog is given no session to name it in.
    const QString path = ShowFileDialog(nullptr, m_window, QStringLiteral("OPEN"),
                                        tr("Compare With File"), QString());
    if (!path.isEmpty())
        compareWithFile(path);
}

void ImageCommands::compareWithFile(const QString &path)
{
    const CompareOutcome outcome = m_session.compareWithFile(path);
    if (!outcome.file.ok()) {
        DataFileMessage::show(m_window, outcome.file, path, DataFileAction::Load);
        return;
    }
    const QString name = QDir::toNativeSeparators(path);
    const QString summary
        = outcome.differences.isEmpty()
              ? tr("Identical: the current image and %1 hold the same words.").arg(name)
              : tr("Words that differ between the current image and %1: %2 (current → file).")
                    .arg(name)
                    .arg(outcome.differences.size());
    FormCompare form(tr("Compare With File"), summary, ImageCompare::describe(outcome.differences),
                     m_window);
    form.exec();
}

void ImageCommands::backups()
{
    FormBackups form(BackupStore(m_session.backupFolder()), m_window);
    if (form.exec() != QDialog::Accepted || form.chosenPath().isEmpty())
        return;
    openBackup(form.chosenPath());
}
