#pragma once

#include <QMap>
#include <QObject>

class ImageCommands;
class ImageSession;
class MDIFormMain;
class QAction;
class QMenu;
class QToolBar;
class TreePane;

// The frame's menu bar and toolbar, built from one table each: their actions, keys and captions
// in both languages, the Recent Files list and the View toggles. A command goes to the frame's
// handler of the same name, so a menu entry and its toolbar button can never differ.
class MainMenus : public QObject
{
    Q_OBJECT
public:
    MainMenus(MDIFormMain &frame, ImageSession &session, ImageCommands &commands,
              TreePane &treePane);

    // Captions, toolbar tips and the Recent Files list in the current language.
    void relabel();

    QMenu *windowListMenu() const { return m_windowListMenu; }
    QToolBar *toolbar() const { return m_toolbar; }
    // Write To Radio's key, which no child window may take for itself.
    QKeySequence writeKey() const;

private:
    void createMenus();
    void createToolbar();
    void wireEdit();
    void wireResend();
    void wireStopTransmitting();
    void wireSafeWrite();
    void wireViewToggles();
    void rebuildRecentMenu();
    QAction *action(const char *name) const;

    MDIFormMain &m_frame;
    ImageSession &m_session;
    ImageCommands &m_commands;
    TreePane &m_treePane;
    QMap<QString, QAction *> m_actions;
    QMap<QString, QMenu *> m_menus;
    QMenu *m_recentMenu = nullptr;
    QMenu *m_windowListMenu = nullptr;
    QToolBar *m_toolbar = nullptr;
};
