#pragma once

#include "imagesession.h"
#include "transfertimings.h"

#include <QMainWindow>

#include <memory>

class ChildWindows;
class FormTune;
class FormTuneSq;
class ImageCommands;
class MainMenus;
class MainStatusBar;
class QMdiArea;
class QMenu;
class QTimer;
class Translations;
class TreePane;
class WindowPlacement;
struct AppState;

// The program's frame: menus, toolbar, tree pane, status bar, title and the MDI area that holds
// the child windows. The image and its operations belong to the session; the frame routes
// commands to it and shows what it announces.
class MDIFormMain : public QMainWindow
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
    void cascadeChildWindows();

    // The open tune windows, or null.
    FormTune *formTune() const;
    FormTuneSq *formTuneSq() const;

    int ChildWindowState() const;
    int splitterTwips() const;
    QMenu *windowListMenu() const;
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
    void MenuExit_Click();
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

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void reopenFormTune();

    AppState &m_state;
    Translations &m_translations;
    ImageSession m_session;
    ImageCommands *m_commands;
    QMdiArea *m_mdiArea;
    TreePane *m_treePane;
    MainStatusBar *m_statusBar;
    ChildWindows *m_children;
    MainMenus *m_menus;
    std::unique_ptr<WindowPlacement> m_placement;
    QTimer *Timer1;
    QString m_title;
};
