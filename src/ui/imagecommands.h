#pragma once

#include "transferkind.h"
#include "transfertimings.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class ImageSession;
class RadioImage;
class QWidget;

// The window side of the image session's operations: it picks the files, asks the questions and
// shows the results; the session decides and does the work. One object per main window.
class ImageCommands : public QObject
{
    Q_OBJECT
public:
    ImageCommands(ImageSession &session, QWidget *window);

    // The timings every transfer window runs with.
    void setTransferTimings(const TransferTimings &timings) { m_timings = timings; }

    // Before the image is replaced or the program ends: an image with unsaved changes asks
    // Save, Discard or Cancel. False when the command must not go on (Cancel, or a Save that
    // failed or was cancelled).
    bool settleUnsavedChanges();

    void newImage();
    void open();
    // A file named without the dialog (the command line, a drop): the same question and
    // messages as Open.
    void openPath(const QString &path);
    // A file chosen elsewhere (the Backups list): the same question and messages as Open.
    void openBackup(const QString &path);
    // An entry of File > Recent Files: opened as Open opens it, or dropped from the list when
    // the file is gone.
    void openRecent(const QString &path);
    // The files last opened or saved, newest first.
    QStringList recentFiles() const;
    static constexpr int RecentFileCount = 8;
    bool save();
    bool saveAs();
    void compare();
    void compareWithFile(const QString &path);
    void backups();
    void verify();

    // Runs a transfer in the modal transfer window; a write of an image that was never filled
    // asks first, whichever command started it. Returns whether it succeeded.
    // A read replaces the image: unsaved changes are settled first, unless the caller already did.
    bool runTransfer(TransferKind kind, bool unsavedSettled = false);

signals:
    // New or Open replaced the image: the child windows start again from the tune data window.
    void imageReopened();
    // A recent file that no longer exists was taken off the list.
    void recentFileMissing(const QString &path);
    // The list of recent files changed: a file was opened or saved, or taken off.
    void recentFilesChanged();

private:
    // Asks before covering the image and loads the file; on failure puts back the file name
    // shown before and says why.
    bool load(const QString &path, const QString &previousName, bool isBackup);
    bool saveTo(const QString &path, const QString &previousName);
    // Save onto the file of the session when the image holds other data: asks, keeps a copy of
    // what is replaced, then saves; or Save As, or nothing.
    bool replaceFile(const QString &previousName);
    bool confirmWriteWithoutSource();
    // The write as the setting "Back up and preview before writing" has it: the radio is read
    // and kept as a backup, the changes are shown, and only then written and read back.
    bool safeWrite(TransferKind kind);
    // One transfer in the transfer window; a step of a longer command closes it once done.
    bool runInWindow(RadioImage &image, TransferKind kind, const std::function<void()> &afterRead,
                     const QString &title, bool step);
    void rememberFile(const QString &path);

    ImageSession &m_session;
    QWidget *m_window;
    TransferTimings m_timings;
};
