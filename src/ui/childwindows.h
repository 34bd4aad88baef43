#pragma once

#include "tunechildwindow.h"
#include "tunewindowhost.h"

#include <QKeySequence>
#include <QMap>
#include <QObject>
#include <QPointer>

class FormTune;
class FormTuneSq;
class ImageCommands;
class ImageSession;
class QAction;
class QMdiArea;
class QMenu;
class TreePane;

// The frame's child windows: which ones exist, how each is made and opened, the Window menu's
// list of them and its check marks, and the tree entry that follows the active one. The tune
// windows reach the frame through this object.
class ChildWindows : public QObject, public TuneWindowHost
{
    Q_OBJECT
public:
    ChildWindows(ImageSession &session, ImageCommands &commands, QMdiArea &area, TreePane &treePane,
                 QWidget &frame);

    // The Window menu the list goes to, and the frame's key no child may take for itself.
    void setWindowList(QMenu *menu, const QKeySequence &reservedKey);

    // Opens the child window of a command number, or brings it forward when it is open.
    void open(int command);
    void openByTreeKey(const QString &key);
    void openAutoAlign();
    void closeAll();

    TuneChildWindow *child(int command) const { return m_children.value(command); }
    FormTune *formTune() const;
    FormTuneSq *formTuneSq() const;
    // 0 normal, 1 minimised, 2 maximised: how the next child opens.
    int windowState() const { return m_windowState; }

    // TuneWindowHost
    void childLoaded(TuneChildWindow &child) override;
    void childUnloaded(TuneChildWindow &child) override;
    void childActivated(TuneChildWindow &child) override;
    void recordChildWindowState(int state) override { m_windowState = state; }
    bool runTransfer(TransferKind kind, bool unsavedSettled = false) override;
    bool settleUnsavedChanges() override;

private:
    void bringForward(TuneChildWindow *child);

    ImageSession &m_session;
    ImageCommands &m_commands;
    QMdiArea &m_area;
    TreePane &m_treePane;
    QWidget &m_frame;
    QMenu *m_windowListMenu = nullptr;
    QKeySequence m_reservedKey;
    int m_windowState = 0;
    // The open child windows and their window-list entries, by command number.
    QMap<int, QPointer<TuneChildWindow>> m_children;
    QMap<int, QAction *> m_windowList;
    QPointer<QWidget> m_autoAlign;
};
