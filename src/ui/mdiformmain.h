#pragma once

#include "imagesession.h"
#include "transfertimings.h"
#include "tunewindowhost.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

class FormTune;
class FormTuneSq;
class ImageCommands;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;
class Translations;
class TreePane;
struct AppState;

// The program's frame: menus, toolbar, tree pane, status bar, title, window list, and the MDI
// area that holds the tune windows. The image and its operations belong to the session; the
// frame routes commands to it and shows what it announces.
class MDIFormMain : public QMainWindow, public TuneWindowHost
{
    Q_OBJECT
public:
    MDIFormMain(AppState &state, Translations &translations, QWidget *parent = nullptr);
    ~MDIFormMain() override;

    ImageSession &session() { return m_session; }

    void RelabelMainWindow();
    // x: the splitter position in twips.
    void LayoutTreePane(int x);
    void SwitchLanguage();

    void openFormTune();
    void openFormTuneSq();
    void closeAllChildWindows();

    // The open tune windows, or null.
    FormTune *formTune() const;
    FormTuneSq *formTuneSq() const;

    int ChildWindowState() const { return m_childWindowState; }
    int splitterTwips() const;
    QMenu *windowListMenu() const { return m_windowListMenu; }
    QMdiArea *mdiArea() const { return m_mdiArea; }

    // The timings every transfer window of this frame runs with.
    void setTransferTimings(const TransferTimings &timings);

    // Moves the splitter as a drag to that point would.
    void dragSplitterTo(const QPoint &globalPos);

    // File and radio commands. A file that cannot be loaded or saved changes nothing but the
    // message.
    void MenuNew_Click();
    void MenuOpen_Click();
    void MenuSave_Click();
    void MenuSaveAs_Click();
    void MenuRead_Click();
    void MenuWrite_Click();
    void MenuVerify_Click();
    void MenuCompare_Click();
    void MenuBackups_Click();
    // Compare With File and Backups' Open once the file is chosen.
    void compareWithFile(const QString &path);
    void openBackup(const QString &path);
    // A data file named on the command line: opened as File > Open opens one.
    void openDataFile(const QString &path);
    QString backupFolder() const { return m_session.backupFolder(); }
    void setBackupFolder(const QString &folder) { m_session.setBackupFolder(folder); }
    // Program > Auto Align...: the alignment window, one at a time.
    void openAutoAlign();
    void MenuCom_Click();
    void MenuAbout_Click();
    void Help_Click();
    void Timer1_Timer();

    // TuneWindowHost
    void childLoaded(TuneChildWindow &child) override;
    void childUnloaded(TuneChildWindow &child) override;
    void childActivated(TuneChildWindow &child) override;
    void recordChildWindowState(int state) override;
    bool runTransfer(TransferKind kind, bool unsavedSettled = false) override;
    bool settleUnsavedChanges() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void createMenus();
    void createToolbar();
    void createStatusBar();
    QAction *addMenuAction(QMenu *menu, const char *name, const QKeySequence &shortcut = {});
    // Opens the child window of a command number, or brings it forward when it is open.
    void openChild(int command);
    void bringForward(TuneChildWindow *child);
    void reopenFormTune();
    void showBackupResult(const BackupStore::SaveResult &result);
    void showNote(const QString &text, int ms);
    void showModified();
    void updatePortText();
    // The size, place and tree width the window had when it last closed; on the first start the
    // screen's available area.
    void restoreWindow();
    void saveWindow() const;
    void fitToScreen();
    void rebuildRecentMenu();
    // A data file dragged anywhere over the window, a value box included, opens as Open does.
    bool takeDrop(QObject *watched, QEvent *event);
    void showMissingRecent(const QString &path);

    AppState &m_state;
    Translations &m_translations;
    ImageSession m_session;
    ImageCommands *m_commands;

    int m_childWindowState = 0;
    QString m_title;
    // The open child windows and their window-list entries, by command number.
    QMap<int, QPointer<TuneChildWindow>> m_children;
    QMap<int, QAction *> m_windowList;
    QPointer<QWidget> m_autoAlign;

    QMdiArea *m_mdiArea = nullptr;
    QMenu *m_windowListMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    bool m_fitPending = false;
    QAction *m_writeAction = nullptr;
    QToolBar *Toolbar1 = nullptr;
    TreePane *m_treePane = nullptr;
    QLabel *m_panels[4] = {};
    QLabel *m_modifiedPanel = nullptr;
    QLabel *m_notePanel = nullptr;
    QTimer *m_noteTimer = nullptr;
    QTimer *Timer1 = nullptr;

    static constexpr int BackupMessageMs = 10000;
    static constexpr int BackupFailureMessageMs = 60000;
    static constexpr int MissingRecentMessageMs = 10000;
};
