#pragma once

#include "transfertimings.h"
#include "tunewindowhost.h"

#include <QMainWindow>
#include <QPointer>

class FormTune;
class FormTuneSq;
class PictureSeparator;
class QAction;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class Translations;
struct AppState;

// The program's frame: menus, toolbar, tree pane, status bar, title, window list, and the MDI
// area that holds the tune windows. It routes every command to the window that carries it out.
class MDIFormMain : public QMainWindow, public TuneWindowHost
{
    Q_OBJECT
public:
    MDIFormMain(AppState &state, Translations &translations, QWidget *parent = nullptr);
    ~MDIFormMain() override;

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
    int splitterTwips() const { return m_splitterTwips; }
    QMenu *windowListMenu() const { return m_windowListMenu; }
    QMdiArea *mdiArea() const { return m_mdiArea; }

    // The timings every transfer window of this frame runs with.
    void setTransferTimings(const TransferTimings &timings) { m_transferTimings = timings; }

    // Moves the splitter as a drag to that point would.
    void dragSplitterTo(const QPoint &globalPos);

    // File commands. A file that cannot be loaded or saved changes nothing but the message.
    void MenuNew_Click();
    void MenuOpen_Click();
    void MenuSave_Click();
    void MenuSaveAs_Click();
    void MenuRead_Click();
    void MenuWrite_Click();
    void MenuCom_Click();
    void MenuAbout_Click();
    void Help_Click();
    void Timer1_Timer();

    // TuneWindowHost
    void childLoaded(TuneChildWindow &child) override;
    void childUnloaded(TuneChildWindow &child) override;
    void childActivated(TuneChildWindow &child) override;
    void recordChildWindowState(int state) override;
    bool runTransfer(TransferKind kind) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createMenus();
    void createToolbar();
    void createTreePane();
    void createStatusBar();
    QAction *addMenuAction(QMenu *menu, const char *name, const QKeySequence &shortcut = {});
    void showChild(TuneChildWindow *child);
    void bringForward(TuneChildWindow *child);
    void refreshOpenTuneWindows();
    void reopenFormTune();
    // Writes the data file; on failure puts back the file name shown before the dialog and says
    // why. Returns whether the file was written.
    bool saveDataFile(const QString &path, const QString &previousFileName);
    void updatePortText();
    bool confirmWriteWithoutSource();
    void TreeView1_NodeClick(QTreeWidgetItem *item);

    AppState &m_state;
    Translations &m_translations;

    TransferTimings m_transferTimings;
    int m_childWindowState = 0;
    int m_splitterTwips = 0;
    QString m_title;
    QPointer<FormTune> m_formTune;
    QPointer<FormTuneSq> m_formTuneSq;

    QMdiArea *m_mdiArea = nullptr;
    QMenu *m_windowListMenu = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QWidget *PictureTree = nullptr;
    QFrame *FrameTree = nullptr;
    QLabel *Label1 = nullptr;
    QTreeWidget *TreeView1 = nullptr;
    PictureSeparator *m_separator = nullptr;
    QLabel *m_panels[4] = {};
    QTimer *Timer1 = nullptr;
};
