#include "mainmenus.h"

#include "appicon.h"
#include "cachedfusionstyle.h"
#include "imagecommands.h"
#include "imagesession.h"
#include "mdiformmain.h"
#include "treepane.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>

namespace {

using Handler = void (MDIFormMain::*)();

enum class Kind { Menu, Action, Submenu, Separator };

struct MenuEntry
{
    Kind kind;
    const char *name;
    const char *caption;
    QKeyCombination key;
    Handler handler;
};

constexpr QKeyCombination NoKey = QKeyCombination::fromCombined(0);
constexpr QKeyCombination ctrl(Qt::Key key)
{
    return Qt::CTRL | key;
}

// The menu bar, in order. Entries without a handler are wired by the functions below: they act on
// the session or on the frame's panes rather than on a command of the frame.
const MenuEntry Menus[] = {
    {Kind::Menu, "MenuFile", QT_TRANSLATE_NOOP("MainMenus", "&File"), NoKey, nullptr},
    {Kind::Action, "MenuNew", QT_TRANSLATE_NOOP("MainMenus", "&New"), ctrl(Qt::Key_N),
     &MDIFormMain::MenuNew_Click},
    {Kind::Action, "MenuOpen", QT_TRANSLATE_NOOP("MainMenus", "&Open"), ctrl(Qt::Key_O),
     &MDIFormMain::MenuOpen_Click},
    {Kind::Action, "MenuSave", QT_TRANSLATE_NOOP("MainMenus", "&Save"), ctrl(Qt::Key_S),
     &MDIFormMain::MenuSave_Click},
    {Kind::Action, "MenuSaveAs", QT_TRANSLATE_NOOP("MainMenus", "Save &As"), NoKey,
     &MDIFormMain::MenuSaveAs_Click},
    {Kind::Separator, nullptr, nullptr, NoKey, nullptr},
    {Kind::Action, "MenuCompare", QT_TRANSLATE_NOOP("MainMenus", "&Compare With File"), NoKey,
     &MDIFormMain::MenuCompare_Click},
    {Kind::Action, "MenuBackups", QT_TRANSLATE_NOOP("MainMenus", "&Backups"), NoKey,
     &MDIFormMain::MenuBackups_Click},
    {Kind::Separator, nullptr, nullptr, NoKey, nullptr},
    {Kind::Submenu, "MenuRecent", QT_TRANSLATE_NOOP("MainMenus", "&Recent Files"), NoKey, nullptr},
    {Kind::Separator, nullptr, nullptr, NoKey, nullptr},
    {Kind::Action, "MenuExit", QT_TRANSLATE_NOOP("MainMenus", "&Exit"), NoKey,
     &MDIFormMain::MenuExit_Click},
    {Kind::Menu, "MenuEdit", QT_TRANSLATE_NOOP("MainMenus", "&Edit"), NoKey, nullptr},
    {Kind::Action, "MenuUndo", QT_TRANSLATE_NOOP("MainMenus", "&Undo"), ctrl(Qt::Key_Z), nullptr},
    {Kind::Action, "MenuRedo", QT_TRANSLATE_NOOP("MainMenus", "&Redo"), ctrl(Qt::Key_Y), nullptr},
    {Kind::Menu, "MenuProgram", QT_TRANSLATE_NOOP("MainMenus", "&Program"), NoKey, nullptr},
    {Kind::Action, "MenuRead", QT_TRANSLATE_NOOP("MainMenus", "&Read From Radio"), ctrl(Qt::Key_R),
     &MDIFormMain::MenuRead_Click},
    {Kind::Action, "MenuWrite", QT_TRANSLATE_NOOP("MainMenus", "&Write To Radio"), ctrl(Qt::Key_W),
     &MDIFormMain::MenuWrite_Click},
    {Kind::Separator, nullptr, nullptr, NoKey, nullptr},
    {Kind::Action, "MenuVerify", QT_TRANSLATE_NOOP("MainMenus", "&Verify Radio"), NoKey,
     &MDIFormMain::MenuVerify_Click},
    {Kind::Action, "MenuResend", QT_TRANSLATE_NOOP("MainMenus", "Resend &Unsent Values"), NoKey,
     nullptr},
    {Kind::Action, "MenuStopTx", QT_TRANSLATE_NOOP("MainMenus", "&Stop Transmitting"), NoKey,
     nullptr},
    {Kind::Separator, nullptr, nullptr, NoKey, nullptr},
    {Kind::Action, "MenuAutoAlign", QT_TRANSLATE_NOOP("MainMenus", "&Auto Align..."), NoKey,
     &MDIFormMain::openAutoAlign},
    {Kind::Menu, "MenuSetting", QT_TRANSLATE_NOOP("MainMenus", "&Setting"), NoKey, nullptr},
    {Kind::Action, "MenuCom", QT_TRANSLATE_NOOP("MainMenus", "Set &Com"), NoKey,
     &MDIFormMain::MenuCom_Click},
    {Kind::Action, "MenuLanguage", QT_TRANSLATE_NOOP("MainMenus", "Set &Language"), NoKey,
     &MDIFormMain::SwitchLanguage},
    {Kind::Action, "MenuSafeWrite",
     QT_TRANSLATE_NOOP("MainMenus", "&Back Up and Preview Before Writing"), NoKey, nullptr},
    {Kind::Menu, "MenuView", QT_TRANSLATE_NOOP("MainMenus", "&View"), NoKey, nullptr},
    {Kind::Action, "MenuTree", QT_TRANSLATE_NOOP("MainMenus", "Tree &View"), NoKey, nullptr},
    {Kind::Separator, nullptr, nullptr, NoKey, nullptr},
    {Kind::Action, "MenuToolBar", QT_TRANSLATE_NOOP("MainMenus", "&Toolbar"), NoKey, nullptr},
    {Kind::Action, "MenuStatus", QT_TRANSLATE_NOOP("MainMenus", "&Statusbar"), NoKey, nullptr},
    {Kind::Menu, "MenuWindow", QT_TRANSLATE_NOOP("MainMenus", "&Window"), NoKey, nullptr},
    {Kind::Action, "MenuCeng", QT_TRANSLATE_NOOP("MainMenus", "&Cascade"), NoKey,
     &MDIFormMain::cascadeChildWindows},
    {Kind::Separator, nullptr, nullptr, NoKey, nullptr},
    {Kind::Action, "MenuCloseAll", QT_TRANSLATE_NOOP("MainMenus", "Close All &Windows"), NoKey,
     &MDIFormMain::closeAllChildWindows},
    {Kind::Separator, nullptr, nullptr, NoKey, nullptr},
    {Kind::Menu, "MenuHelp", QT_TRANSLATE_NOOP("MainMenus", "&Help"), NoKey, nullptr},
    {Kind::Action, "HelpKey", QT_TRANSLATE_NOOP("MainMenus", "&Contents"),
     QKeyCombination(Qt::Key_F1), &MDIFormMain::Help_Click},
    {Kind::Separator, nullptr, nullptr, NoKey, nullptr},
    {Kind::Action, "MenuAbout", QT_TRANSLATE_NOOP("MainMenus", "&About"), NoKey,
     &MDIFormMain::MenuAbout_Click},
};

// Toolbar buttons are known by their keys; the tooltips follow the language.
struct ToolbarButton
{
    const char *key;
    ToolIcon icon;
    const char *tip;
    Handler handler;
};

const ToolbarButton Buttons[] = {
    {"新建", ToolIcon::New, QT_TRANSLATE_NOOP("MainMenus", "New"),
     &MDIFormMain::MenuNew_Click},
    {"打开", ToolIcon::Open, QT_TRANSLATE_NOOP("MainMenus", "Open"),
     &MDIFormMain::MenuOpen_Click},
    {"保存", ToolIcon::Save, QT_TRANSLATE_NOOP("MainMenus", "Save"),
     &MDIFormMain::MenuSave_Click},
    {nullptr, ToolIcon::New, nullptr, nullptr},
    {"读取", ToolIcon::Read, QT_TRANSLATE_NOOP("MainMenus", "Read"),
     &MDIFormMain::MenuRead_Click},
    {"串口", ToolIcon::Port, QT_TRANSLATE_NOOP("MainMenus", "Set Com"),
     &MDIFormMain::MenuCom_Click},
    {"写频", ToolIcon::Write, QT_TRANSLATE_NOOP("MainMenus", "Write"),
     &MDIFormMain::MenuWrite_Click},
    {nullptr, ToolIcon::New, nullptr, nullptr},
    {"帮助", ToolIcon::Help, QT_TRANSLATE_NOOP("MainMenus", "Help"),
     &MDIFormMain::Help_Click},
};

} // namespace

MainMenus::MainMenus(MDIFormMain &frame, ImageSession &session, ImageCommands &commands,
                     TreePane &treePane)
    : QObject(&frame)
    , m_frame(frame)
    , m_session(session)
    , m_commands(commands)
    , m_treePane(treePane)
{
    createMenus();
    createToolbar();
    wireEdit();
    wireResend();
    wireStopTransmitting();
    wireSafeWrite();
    wireViewToggles();
    // F1 anywhere in the frame opens the help of the current language.
    action("HelpKey")->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_recentMenu, &QMenu::aboutToShow, this, &MainMenus::rebuildRecentMenu);
    // A disabled submenu never shows, so it cannot wait for its own aboutToShow to fill.
    connect(&m_commands, &ImageCommands::recentFilesChanged, this,
            &MainMenus::rebuildRecentMenu);
    rebuildRecentMenu();
}

QAction *MainMenus::action(const char *name) const
{
    return m_actions.value(QString::fromLatin1(name));
}

QKeySequence MainMenus::writeKey() const
{
    return action("MenuWrite")->shortcut();
}

void MainMenus::createMenus()
{
    QMenu *menu = nullptr;
    for (const MenuEntry &e : Menus) {
        const QString name = QString::fromLatin1(e.name);
        switch (e.kind) {
        case Kind::Separator:
            menu->addSeparator();
            break;
        case Kind::Menu:
        case Kind::Submenu: {
            QMenu *made = e.kind == Kind::Menu ? m_frame.menuBar()->addMenu(QString())
                                               : menu->addMenu(QString());
            made->setObjectName(name);
            made->menuAction()->setObjectName(name + QStringLiteral("Title"));
            m_menus.insert(name, made);
            if (e.kind == Kind::Menu)
                menu = made;
            else
                m_recentMenu = made;
            break;
        }
        case Kind::Action: {
            QAction *made = menu->addAction(QString());
            made->setObjectName(name);
            made->setShortcut(QKeySequence(e.key));
            if (e.handler)
                connect(made, &QAction::triggered, &m_frame, e.handler);
            m_actions.insert(name, made);
            break;
        }
        }
    }
    m_windowListMenu = m_menus.value(QStringLiteral("MenuWindow"));
}

void MainMenus::createToolbar()
{
    m_toolbar = m_frame.addToolBar(QString());
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    CachedFusionStyle::apply(m_toolbar);
    m_toolbar->setIconSize(QSize(24, 24));
    for (const ToolbarButton &b : Buttons) {
        if (!b.key) {
            m_toolbar->addSeparator();
            continue;
        }
        QAction *made = m_toolbar->addAction(toolIcon(b.icon), QString());
        made->setObjectName(QString::fromUtf8(b.key));
        made->setData(QString::fromUtf8(b.key));
        connect(made, &QAction::triggered, &m_frame, b.handler);
    }
}

void MainMenus::wireEdit()
{
    QUndoStack *undo = m_session.undoStack();
    QAction *undoAction = action("MenuUndo");
    QAction *redoAction = action("MenuRedo");
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undoAction->setEnabled(false);
    redoAction->setEnabled(false);
    connect(undoAction, &QAction::triggered, undo, &QUndoStack::undo);
    connect(redoAction, &QAction::triggered, undo, &QUndoStack::redo);
    connect(undo, &QUndoStack::canUndoChanged, undoAction, &QAction::setEnabled);
    connect(undo, &QUndoStack::canRedoChanged, redoAction, &QAction::setEnabled);
}

void MainMenus::wireResend()
{
    QAction *resend = action("MenuResend");
    resend->setEnabled(false);
    connect(resend, &QAction::triggered, &m_session, &ImageSession::resendUnsent);
    connect(&m_session, &ImageSession::unsentChanged, resend,
            [this, resend] { resend->setEnabled(!m_session.unsentWords().isEmpty()); });
}

void MainMenus::wireStopTransmitting()
{
    QAction *stop = action("MenuStopTx");
    stop->setEnabled(false);
    connect(stop, &QAction::triggered, &m_session, &ImageSession::stopTransmitting);
    connect(&m_session, &ImageSession::keyedWordChanged, stop,
            [stop](int word) { stop->setEnabled(word >= 0); });
}

void MainMenus::wireSafeWrite()
{
    QAction *safe = action("MenuSafeWrite");
    safe->setCheckable(true);
    safe->setChecked(ImageSession::safeWriteEnabled());
    connect(safe, &QAction::toggled, this, [](bool on) { ImageSession::setSafeWriteEnabled(on); });
}

void MainMenus::wireViewToggles()
{
    const std::pair<const char *, QWidget *> toggles[] = {
        {"MenuTree", &m_treePane},
        {"MenuToolBar", m_toolbar},
        {"MenuStatus", m_frame.statusBar()},
    };
    for (const auto &[name, pane] : toggles) {
        QAction *toggle = action(name);
        toggle->setCheckable(true);
        toggle->setChecked(true);
        connect(toggle, &QAction::toggled, pane, &QWidget::setVisible);
    }
}

void MainMenus::relabel()
{
    for (const MenuEntry &e : Menus) {
        const QString name = QString::fromLatin1(e.name);
        if (QMenu *menu = m_menus.value(name))
            menu->setTitle(tr(e.caption));
        else if (QAction *made = m_actions.value(name))
            made->setText(tr(e.caption));
    }
    for (const ToolbarButton &b : Buttons) {
        if (!b.key)
            continue;
        QAction *made = m_toolbar->findChild<QAction *>(QString::fromUtf8(b.key));
        made->setToolTip(tr(b.tip));
        // The buttons show only icons; a screen reader needs the words.
        if (QWidget *button = m_toolbar->widgetForAction(made))
            button->setAccessibleName(tr(b.tip));
    }
    rebuildRecentMenu();
}

void MainMenus::rebuildRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = m_commands.recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files.at(i);
        // "&1 name" gives each entry its key; the tooltip tells the folder.
        QAction *entry = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        entry->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        entry->setData(path);
        entry->setToolTip(QDir::toNativeSeparators(path));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { m_commands.openRecent(path); });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}
