#include "mdiformmain.h"

#include "appicon.h"
#include "appstate.h"
#include "decimalseparator.h"
#include "formautoalign.h"
#include "formcomport.h"
#include "formlanguage.h"
#include "formtune.h"
#include "formtunesq.h"
#include "frmabout.h"
#include "helpwindow.h"
#include "imagecommands.h"
#include "livestatuspanel.h"
#include "sessionalignradio.h"
#include "settingsmessage.h"
#include "settingsstore.h"
#include "translations.h"
#include "treepane.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUndoStack>
#include <functional>

namespace {

const QString AppTitle = QString::fromLatin1(AppState::ApplicationTitle);

struct Caption
{
    const char *name;
    const char *text;
};

// Every caption of the menu bar, in the order of the menus.
const Caption MenuCaptions[] = {
    {"MenuFile", QT_TRANSLATE_NOOP("MDIFormMain", "&File")},
    {"MenuNew", QT_TRANSLATE_NOOP("MDIFormMain", "&New")},
    {"MenuOpen", QT_TRANSLATE_NOOP("MDIFormMain", "&Open")},
    {"MenuSave", QT_TRANSLATE_NOOP("MDIFormMain", "&Save")},
    {"MenuSaveAs", QT_TRANSLATE_NOOP("MDIFormMain", "Save &As")},
    {"MenuCompare", QT_TRANSLATE_NOOP("MDIFormMain", "&Compare With File")},
    {"MenuBackups", QT_TRANSLATE_NOOP("MDIFormMain", "&Backups")},
    {"MenuRecent", QT_TRANSLATE_NOOP("MDIFormMain", "&Recent Files")},
    {"MenuExit", QT_TRANSLATE_NOOP("MDIFormMain", "&Exit")},
    {"MenuEdit", QT_TRANSLATE_NOOP("MDIFormMain", "&Edit")},
    {"MenuUndo", QT_TRANSLATE_NOOP("MDIFormMain", "&Undo")},
    {"MenuRedo", QT_TRANSLATE_NOOP("MDIFormMain", "&Redo")},
    {"MenuProgram", QT_TRANSLATE_NOOP("MDIFormMain", "&Program")},
    {"MenuRead", QT_TRANSLATE_NOOP("MDIFormMain", "&Read From Radio")},
    {"MenuWrite", QT_TRANSLATE_NOOP("MDIFormMain", "&Write To Radio")},
    {"MenuVerify", QT_TRANSLATE_NOOP("MDIFormMain", "&Verify Radio")},
    {"MenuResend", QT_TRANSLATE_NOOP("MDIFormMain", "Resend &Unsent Values")},
    {"MenuAutoAlign", QT_TRANSLATE_NOOP("MDIFormMain", "&Auto Align...")},
    {"MenuSetting", QT_TRANSLATE_NOOP("MDIFormMain", "&Setting")},
    {"MenuCom", QT_TRANSLATE_NOOP("MDIFormMain", "Set &Com")},
    {"MenuLanguage", QT_TRANSLATE_NOOP("MDIFormMain", "Set &Language")},
    {"MenuView", QT_TRANSLATE_NOOP("MDIFormMain", "&View")},
    {"MenuTree", QT_TRANSLATE_NOOP("MDIFormMain", "Tree &View")},
    {"MenuToolBar", QT_TRANSLATE_NOOP("MDIFormMain", "&Toolbar")},
    {"MenuStatus", QT_TRANSLATE_NOOP("MDIFormMain", "&Statusbar")},
    {"MenuWindow", QT_TRANSLATE_NOOP("MDIFormMain", "&Window")},
    {"MenuCeng", QT_TRANSLATE_NOOP("MDIFormMain", "&Cascade")},
    {"MenuCloseAll", QT_TRANSLATE_NOOP("MDIFormMain", "Close All &Windows")},
    {"MenuHelp", QT_TRANSLATE_NOOP("MDIFormMain", "&Help")},
    {"HelpKey", QT_TRANSLATE_NOOP("MDIFormMain", "&Contents")},
    {"MenuAbout", QT_TRANSLATE_NOOP("MDIFormMain", "&About")},
};

// Toolbar buttons are known by their keys; the tooltips follow the language.
const Caption ToolbarTips[] = {
    {"新建", QT_TRANSLATE_NOOP("MDIFormMain", "New")},
    {"打开", QT_TRANSLATE_NOOP("MDIFormMain", "Open")},
    {"保存", QT_TRANSLATE_NOOP("MDIFormMain", "Save")},
    {"读取", QT_TRANSLATE_NOOP("MDIFormMain", "Read")},
    {"串口", QT_TRANSLATE_NOOP("MDIFormMain", "Set Com")},
    {"写频", QT_TRANSLATE_NOOP("MDIFormMain", "Write")},
    {"帮助", QT_TRANSLATE_NOOP("MDIFormMain", "Help")},
};

QString trMain(const char *text)
{
    return QCoreApplication::translate("MDIFormMain", text);
}

const QString GeometryValue = QStringLiteral("Window/Geometry");
const QString TreeWidthValue = QStringLiteral("Window/TreeTwips");

// The data file a drag carries, or empty text: one local file named *.rdat.
QString droppedDataFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return {};
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return path.endsWith(QStringLiteral(".rdat"), Qt::CaseInsensitive) ? path : QString();
}

} // namespace

namespace {

// Every child window the frame can open: the tree entry that opens it, its window-list command
// number and how it is made.
struct ChildWindowKind
{
    const char *treeKey;
    int command;
    TuneChildWindow *(*make)(ImageSession &session, TuneWindowHost &host);
};

const ChildWindowKind ChildWindows[] = {
    {"TreeTuneData", FormTune::WindowListCommand,
     [](ImageSession &s, TuneWindowHost &h) -> TuneChildWindow * { return new FormTune(s, h); }},
    {"TreeTuneSq", FormTuneSq::WindowListCommand,
     [](ImageSession &s, TuneWindowHost &h) -> TuneChildWindow * { return new FormTuneSq(s, h); }},
};

} // namespace

MDIFormMain::MDIFormMain(AppState &state, Translations &translations, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_translations(translations)
    , m_session(state)
    , m_commands(new ImageCommands(m_session, this))
    , m_mdiArea(new QMdiArea(this))
    , m_treePane(new TreePane(this))
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("MDIFormMain"));
    setWindowIcon(appIcon());
    // Qt's own right-click menu would hide the toolbar behind the View menu's back.
    setContextMenuPolicy(Qt::NoContextMenu);
    m_mdiArea->setObjectName(QStringLiteral("MDIArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    createMenus();
    createToolbar();
    createStatusBar();

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_treePane);
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(central);
    setAcceptDrops(true);

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow *sub) {
        if (auto *child = sub ? qobject_cast<TuneChildWindow *>(sub->widget()) : nullptr)
            child->Form_Activate();
    });
    connect(m_treePane, &TreePane::nodeClicked, this, [this](const QString &key) {
        for (const ChildWindowKind &kind : ChildWindows) {
            if (key == QLatin1String(kind.treeKey))
                openChild(kind.command);
        }
    });
    connect(m_treePane, &TreePane::separatorDragged, this, &MDIFormMain::dragSplitterTo);
    connect(m_commands, &ImageCommands::imageReopened, this, &MDIFormMain::reopenFormTune);
    connect(&m_session, &ImageSession::fileChanged, this, &MDIFormMain::Timer1_Timer);
    connect(&m_session, &ImageSession::backupSaved, this, &MDIFormMain::showBackupResult);
    connect(m_commands, &ImageCommands::recentFileMissing, this, &MDIFormMain::showMissingRecent);

    // The start-up sequence. The language always starts English; the stored choice is not applied.
    m_state.DecimalSeparator = DetermineDecimalSeparator();
    m_state.LanguageIsEnglish = true;
    m_state.ComPortNumber = SettingsStore::storedComPort();
    m_translations.apply(true);
    m_state.clearTransferSettings();
    m_session.showFileName(QStringLiteral("new.rdat"));
    m_session.setTuneTxTime(5);
    m_childWindowState = 0;
    RelabelMainWindow();
    restoreWindow();
    m_treePane->tree()->expandAll();

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &MDIFormMain::Timer1_Timer);
    Timer1->start();
    Timer1_Timer();

    m_childWindowState = 2;
    openFormTune();

    // F1 also while a dialog holds the input: the frame's own key is blocked then.
    qApp->installEventFilter(this);
    // Once the frame is on screen, so the message has something to sit over.
    QTimer::singleShot(0, this, [this] { SettingsMessage::warnIfMalformed(this); });
}

MDIFormMain::~MDIFormMain()
{
    // The children follow the session, which goes before the frame's own widgets do.
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList())
        delete sub;
}

QAction *MDIFormMain::addMenuAction(QMenu *menu, const char *name, const QKeySequence &shortcut)
{
    auto *action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

void MDIFormMain::createMenus()
{
    auto addMenu = [this](const char *name) {
        QMenu *menu = menuBar()->addMenu(QString());
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Title"));
        return menu;
    };

    QMenu *file = addMenu("MenuFile");
    connect(addMenuAction(file, "MenuNew", QKeySequence(Qt::CTRL | Qt::Key_N)), &QAction::triggered,
            this, &MDIFormMain::MenuNew_Click);
    connect(addMenuAction(file, "MenuOpen", QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &MDIFormMain::MenuOpen_Click);
    connect(addMenuAction(file, "MenuSave", QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &MDIFormMain::MenuSave_Click);
    connect(addMenuAction(file, "MenuSaveAs"), &QAction::triggered, this,
            &MDIFormMain::MenuSaveAs_Click);
    file->addSeparator();
    connect(addMenuAction(file, "MenuCompare"), &QAction::triggered, this,
            &MDIFormMain::MenuCompare_Click);
    connect(addMenuAction(file, "MenuBackups"), &QAction::triggered, this,
            &MDIFormMain::MenuBackups_Click);
    file->addSeparator();
    m_recentMenu = file->addMenu(QString());
    m_recentMenu->setObjectName(QStringLiteral("MenuRecent"));
    m_recentMenu->menuAction()->setObjectName(QStringLiteral("MenuRecentTitle"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &MDIFormMain::rebuildRecentMenu);
    rebuildRecentMenu();
    file->addSeparator();
    connect(addMenuAction(file, "MenuExit"), &QAction::triggered, this, &QWidget::close);

    QMenu *edit = addMenu("MenuEdit");
    QUndoStack *undo = m_session.undoStack();
    QAction *undoAction = addMenuAction(edit, "MenuUndo", QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redoAction = addMenuAction(edit, "MenuRedo", QKeySequence(Qt::CTRL | Qt::Key_Y));
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undoAction->setEnabled(false);
    redoAction->setEnabled(false);
    connect(undoAction, &QAction::triggered, undo, &QUndoStack::undo);
    connect(redoAction, &QAction::triggered, undo, &QUndoStack::redo);
    connect(undo, &QUndoStack::canUndoChanged, undoAction, &QAction::setEnabled);
    connect(undo, &QUndoStack::canRedoChanged, redoAction, &QAction::setEnabled);

    QMenu *program = addMenu("MenuProgram");
    connect(addMenuAction(program, "MenuRead", QKeySequence(Qt::CTRL | Qt::Key_R)),
            &QAction::triggered, this, &MDIFormMain::MenuRead_Click);
    m_writeAction = addMenuAction(program, "MenuWrite", QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(m_writeAction, &QAction::triggered, this, &MDIFormMain::MenuWrite_Click);
    program->addSeparator();
    connect(addMenuAction(program, "MenuVerify"), &QAction::triggered, this,
            &MDIFormMain::MenuVerify_Click);
    QAction *resend = addMenuAction(program, "MenuResend");
    resend->setEnabled(false);
    connect(resend, &QAction::triggered, &m_session, &ImageSession::resendUnsent);
    connect(&m_session, &ImageSession::unsentChanged, resend,
            [this, resend] { resend->setEnabled(!m_session.unsentWords().isEmpty()); });
    program->addSeparator();
    connect(addMenuAction(program, "MenuAutoAlign"), &QAction::triggered, this,
            &MDIFormMain::openAutoAlign);

    QMenu *setting = addMenu("MenuSetting");
    connect(addMenuAction(setting, "MenuCom"), &QAction::triggered, this,
            &MDIFormMain::MenuCom_Click);
    connect(addMenuAction(setting, "MenuLanguage"), &QAction::triggered, this,
            &MDIFormMain::SwitchLanguage);

    QMenu *view = addMenu("MenuView");
    auto addToggle = [&](const char *name, std::function<void(bool)> apply) {
        QAction *action = addMenuAction(view, name);
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::toggled, this, apply);
    };
    addToggle("MenuTree", [this](bool on) { m_treePane->setVisible(on); });
    view->addSeparator();
    addToggle("MenuToolBar", [this](bool on) { Toolbar1->setVisible(on); });
    addToggle("MenuStatus", [this](bool on) { statusBar()->setVisible(on); });

    QMenu *window = addMenu("MenuWindow");
    connect(addMenuAction(window, "MenuCeng"), &QAction::triggered, m_mdiArea,
            &QMdiArea::cascadeSubWindows);
    window->addSeparator();
    connect(addMenuAction(window, "MenuCloseAll"), &QAction::triggered, this,
            &MDIFormMain::closeAllChildWindows);
    window->addSeparator();
    m_windowListMenu = window;

    QMenu *help = addMenu("MenuHelp");
    // F1 anywhere in the frame opens the help of the current language.
    QAction *contents = addMenuAction(help, "HelpKey", QKeySequence(Qt::Key_F1));
    contents->setShortcutContext(Qt::ApplicationShortcut);
    connect(contents, &QAction::triggered, this, &MDIFormMain::Help_Click);
    help->addSeparator();
    connect(addMenuAction(help, "MenuAbout"), &QAction::triggered, this,
            &MDIFormMain::MenuAbout_Click);
}

void MDIFormMain::createToolbar()
{
    Toolbar1 = addToolBar(QString());
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(24, 24));
    struct Button
    {
        const char *key;
        QStyle::StandardPixmap icon;
        void (MDIFormMain::*handler)();
    };
    const Button buttons[] = {
        {"新建", QStyle::SP_FileIcon, &MDIFormMain::MenuNew_Click},
        {"打开", QStyle::SP_DirOpenIcon, &MDIFormMain::MenuOpen_Click},
        {"保存", QStyle::SP_DialogSaveButton, &MDIFormMain::MenuSave_Click},
        {nullptr, QStyle::SP_CustomBase, nullptr},
        {"读取", QStyle::SP_ArrowDown, &MDIFormMain::MenuRead_Click},
        {"串口", QStyle::SP_DriveNetIcon, &MDIFormMain::MenuCom_Click},
        {"写频", QStyle::SP_ArrowUp, &MDIFormMain::MenuWrite_Click},
        {nullptr, QStyle::SP_CustomBase, nullptr},
        {"帮助", QStyle::SP_DialogHelpButton, &MDIFormMain::Help_Click},
    };
    for (const Button &b : buttons) {
        if (!b.key) {
            Toolbar1->addSeparator();
            continue;
        }
        const QIcon icon
            = b.icon == QStyle::SP_DialogHelpButton ? helpIcon() : style()->standardIcon(b.icon);
        QAction *action = Toolbar1->addAction(icon, QString());
        action->setObjectName(QString::fromUtf8(b.key));
        action->setData(QString::fromUtf8(b.key));
        if (b.handler)
            connect(action, &QAction::triggered, this, b.handler);
    }
}

void MDIFormMain::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setContentsMargins(6, 0, 6, 0);
        bar->addWidget(m_panels[i], i == 0 ? 1 : 0);
    }
    // Panels of their own, so nothing this program says hides the four above.
    bar->addWidget(new LiveStatusPanel(m_session, bar), 2);
    m_modifiedPanel = new QLabel(bar);
    m_modifiedPanel->setObjectName(QStringLiteral("ModifiedPanel"));
    m_modifiedPanel->setContentsMargins(6, 0, 6, 0);
    bar->addWidget(m_modifiedPanel);
    m_notePanel = new QLabel(bar);
    m_notePanel->setObjectName(QStringLiteral("NotePanel"));
    m_notePanel->setContentsMargins(6, 0, 6, 0);
    bar->addWidget(m_notePanel);
    m_noteTimer = new QTimer(this);
    m_noteTimer->setSingleShot(true);
    connect(m_noteTimer, &QTimer::timeout, m_notePanel, &QLabel::clear);
    connect(&m_session, &ImageSession::modifiedChanged, this, &MDIFormMain::showModified);
}

void MDIFormMain::RelabelMainWindow()
{
    for (const Caption &c : MenuCaptions) {
        const QString name = QString::fromLatin1(c.name);
        if (auto *menu = findChild<QMenu *>(name))
            menu->setTitle(trMain(c.text));
        else if (auto *action = findChild<QAction *>(name))
            action->setText(trMain(c.text));
    }
    for (const Caption &c : ToolbarTips) {
        QAction *action = findChild<QAction *>(QString::fromUtf8(c.name));
        action->setToolTip(trMain(c.text));
        // The buttons show only icons; a screen reader needs the words.
        if (QWidget *button = Toolbar1->widgetForAction(action))
            button->setAccessibleName(trMain(c.text));
    }
    m_treePane->relabel();
    if (m_recentMenu)
        rebuildRecentMenu();
    updatePortText();
    showModified();
}

void MDIFormMain::updatePortText()
{
    m_panels[1]->setText(tr("COM%1").arg(m_state.ComPortNumber));
}

void MDIFormMain::Timer1_Timer()
{
    const QLocale locale = QLocale::system();
    m_panels[2]->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    // The long time format shows seconds; the time zone would only crowd the panel.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    m_panels[3]->setText(locale.toString(QTime::currentTime(), timeFormat.trimmed()));
    m_title = tr("RQ73 Tune[FileName:%1]").arg(m_state.CurrentFileName);
    setWindowTitle(m_title);
    m_panels[0]->setText(AppTitle);
}

void MDIFormMain::LayoutTreePane(int x)
{
    m_treePane->layoutPane(x);
}

int MDIFormMain::splitterTwips() const
{
    return m_treePane->splitterTwips();
}

void MDIFormMain::setTransferTimings(const TransferTimings &timings)
{
    m_commands->setTransferTimings(timings);
}

void MDIFormMain::dragSplitterTo(const QPoint &globalPos)
{
    const double dpi = m_treePane->logicalDpiX();
    const int x = Twips::fromPixels(mapFromGlobal(globalPos).x(), dpi);
    LayoutTreePane(Twips::clampSplitter(x, Twips::fromPixels(frameGeometry().width(), dpi)));
}

void MDIFormMain::changeEvent(QEvent *event)
{
    // A maximised MDI child would add its own caption to the frame's title; the title names
    // the data file only.
    if (event->type() == QEvent::WindowTitleChange && !m_title.isEmpty()
        && windowTitle() != m_title)
        setWindowTitle(m_title);
    QMainWindow::changeEvent(event);
}

bool MDIFormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (takeDrop(watched, event))
        return true;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == modal) {
            // A help window of the dialog's own, so the modal dialog does not block it.
            Help::show(modal, m_state.LanguageIsEnglish);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

FormTune *MDIFormMain::formTune() const
{
    return qobject_cast<FormTune *>(m_children.value(FormTune::WindowListCommand));
}

FormTuneSq *MDIFormMain::formTuneSq() const
{
    return qobject_cast<FormTuneSq *>(m_children.value(FormTuneSq::WindowListCommand));
}

void MDIFormMain::openFormTune()
{
    openChild(FormTune::WindowListCommand);
}

void MDIFormMain::openFormTuneSq()
{
    openChild(FormTuneSq::WindowListCommand);
}

void MDIFormMain::openChild(int command)
{
    if (TuneChildWindow *open = m_children.value(command)) {
        bringForward(open);
        return;
    }
    const auto kind
        = std::find_if(std::begin(ChildWindows), std::end(ChildWindows),
                       [command](const ChildWindowKind &k) { return k.command == command; });
    if (kind == std::end(ChildWindows))
        return;
    TuneChildWindow *child = kind->make(m_session, *this);
    m_children.insert(command, child);

    QMdiSubWindow *sub = m_mdiArea->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    // On some desktops the child's Close key is Ctrl+W, which would make Write To Radio's key
    // ambiguous and dead; the child keeps its other close keys.
    for (QAction *action : sub->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(m_writeAction->shortcut()) > 0)
            action->setShortcuts(keys);
    }
    connect(sub, &QMdiSubWindow::windowStateChanged, child,
            [child](Qt::WindowStates oldState, Qt::WindowStates newState) {
                const auto shape = Qt::WindowMinimized | Qt::WindowMaximized;
                if ((oldState & shape) != (newState & shape))
                    child->Form_Resize(newState);
            });
    child->Form_Load();
    // A window last seen minimised comes back normal.
    if (m_childWindowState == 2)
        sub->showMaximized();
    else
        sub->showNormal();
    m_mdiArea->setActiveSubWindow(sub);
}

void MDIFormMain::bringForward(TuneChildWindow *child)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(child->parentWidget())) {
        m_mdiArea->setActiveSubWindow(sub);
        sub->raise();
    }
}

void MDIFormMain::closeAllChildWindows()
{
    // Every child, not only the active one: with the frame inactive there may be no active child.
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList())
        sub->close();
}

void MDIFormMain::childLoaded(TuneChildWindow &child)
{
    QAction *entry = m_windowListMenu->addAction(child.windowTitle());
    entry->setObjectName(QStringLiteral("WindowList%1").arg(child.commandNumber()));
    entry->setData(child.commandNumber());
    entry->setCheckable(true);
    m_windowList.insert(child.commandNumber(), entry);
    TuneChildWindow *target = &child;
    // Choosing the entry of the window already in front activates nothing, so the check mark
    // the menu just took away is put back here.
    connect(entry, &QAction::triggered, &child, [this, target] {
        bringForward(target);
        childActivated(*target);
    });
}

void MDIFormMain::childUnloaded(TuneChildWindow &child)
{
    delete m_windowList.take(child.commandNumber());
    if (m_children.value(child.commandNumber()) == &child)
        m_children.remove(child.commandNumber());
}

void MDIFormMain::childActivated(TuneChildWindow &child)
{
    for (const ChildWindowKind &kind : ChildWindows) {
        if (kind.command == child.commandNumber())
            m_treePane->selectKey(QString::fromLatin1(kind.treeKey));
    }
    for (auto it = m_windowList.cbegin(); it != m_windowList.cend(); ++it) {
        if (it.key() >= child.checkFirst() && it.key() <= child.checkLast())
            it.value()->setChecked(it.key() == child.commandNumber());
    }
}

void MDIFormMain::recordChildWindowState(int state)
{
    m_childWindowState = state;
}

bool MDIFormMain::runTransfer(TransferKind kind, bool unsavedSettled)
{
    return m_commands->runTransfer(kind, unsavedSettled);
}

bool MDIFormMain::settleUnsavedChanges()
{
    return m_commands->settleUnsavedChanges();
}

void MDIFormMain::reopenFormTune()
{
    closeAllChildWindows();
    openFormTune();
    Timer1_Timer();
}

void MDIFormMain::MenuNew_Click()
{
    m_commands->newImage();
}

void MDIFormMain::MenuOpen_Click()
{
    m_commands->open();
}

void MDIFormMain::MenuSave_Click()
{
    m_commands->save();
}

void MDIFormMain::MenuSaveAs_Click()
{
    m_commands->saveAs();
}

void MDIFormMain::MenuRead_Click()
{
    runTransfer(TransferKind::FullRead);
}

void MDIFormMain::MenuWrite_Click()
{
    runTransfer(TransferKind::FullWrite);
}

void MDIFormMain::MenuVerify_Click()
{
    m_commands->verify();
}

void MDIFormMain::MenuCompare_Click()
{
    m_commands->compare();
}

void MDIFormMain::compareWithFile(const QString &path)
{
    m_commands->compareWithFile(path);
}

void MDIFormMain::MenuBackups_Click()
{
    m_commands->backups();
}

void MDIFormMain::openBackup(const QString &path)
{
    m_commands->openBackup(path);
}

void MDIFormMain::openDataFile(const QString &path)
{
    m_commands->openPath(QFileInfo(path).absoluteFilePath());
}

void MDIFormMain::openAutoAlign()
{
    if (m_autoAlign) {
        m_mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(m_autoAlign->parentWidget()));
        return;
    }
    // Every try goes through the session: the tune data window follows it, and the run is one
    // step of the undo history.
    m_autoAlign = new FormAutoAlign([this]() -> std::unique_ptr<AlignRadio> {
        return std::make_unique<SessionAlignRadio>(m_session);
    });
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(m_autoAlign);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    sub->show();
    m_mdiArea->setActiveSubWindow(sub);
}

void MDIFormMain::MenuCom_Click()
{
    FormComPort dialog(m_state, this);
    dialog.exec();
    updatePortText();
}

void MDIFormMain::MenuAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

void MDIFormMain::Help_Click()
{
    Help::show(this, m_state.LanguageIsEnglish);
}

void MDIFormMain::SwitchLanguage()
{
    FormLanguage dialog(m_state, this);
    dialog.exec();
    if (!dialog.languageChanged())
        return;
    closeAllChildWindows();
    m_translations.apply(m_state.LanguageIsEnglish);
    RelabelMainWindow();
    Timer1_Timer();
    openFormTune();
}

void MDIFormMain::closeEvent(QCloseEvent *event)
{
    if (!m_commands->settleUnsavedChanges()) {
        event->ignore();
        return;
    }
    closeAllChildWindows();
    event->accept();
}

void MDIFormMain::showBackupResult(const BackupStore::SaveResult &result)
{
    // The read itself worked either way; a backup that failed is told, never turned into an error
    // of the read.
    if (result.ok())
        showNote(tr("Backup saved: %1").arg(QFileInfo(result.path).fileName()), BackupMessageMs);
    else
        showNote(tr("Backup not saved: %1").arg(result.errorText), BackupFailureMessageMs);
}

void MDIFormMain::showNote(const QString &text, int ms)
{
    m_notePanel->setText(text);
    m_notePanel->setAccessibleName(text);
    m_noteTimer->start(ms);
}

void MDIFormMain::showModified()
{
    const QString text = m_session.isModified() ? tr("Modified") : QString();
    m_modifiedPanel->setText(text);
    m_modifiedPanel->setAccessibleName(text);
}

void MDIFormMain::restoreWindow()
{
    QSettings settings = SettingsStore::openSettings();
    if (!restoreGeometry(settings.value(GeometryValue).toByteArray())) {
        const QRect area = screen()->availableGeometry();
        setGeometry(area);
        // The window manager's frame is known only once the window is on screen.
        m_fitPending = true;
    }
    const int stored = settings.value(TreeWidthValue, Twips::TreeStart).toInt();
    const double dpi = m_treePane->logicalDpiX();
    LayoutTreePane(Twips::clampSplitter(
        stored, Twips::fromPixels(std::max(width(), frameGeometry().width()), dpi)));
}

void MDIFormMain::saveWindow() const
{
    QSettings settings = SettingsStore::openSettings();
    settings.setValue(GeometryValue, saveGeometry());
    settings.setValue(TreeWidthValue, splitterTwips());
}

void MDIFormMain::fitToScreen()
{
    const QRect area = screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - geometry().size();
    resize((area.size() - frame).expandedTo(QSize(1, 1)));
    move(area.topLeft());
}

void MDIFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_fitPending) {
        m_fitPending = false;
        fitToScreen();
        QTimer::singleShot(0, this, [this] {
            if (!isMaximized() && !isFullScreen())
                fitToScreen();
        });
    }
}

void MDIFormMain::hideEvent(QHideEvent *event)
{
    // Closing hides the window; a minimised one is hidden by the system and keeps its place.
    if (!event->spontaneous())
        saveWindow();
    QMainWindow::hideEvent(event);
}

bool MDIFormMain::takeDrop(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != this)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QString path = droppedDataFile(drop->mimeData());
    if (path.isEmpty())
        return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        // After the drop has finished, so the question is not asked inside the drag.
        QTimer::singleShot(0, this, [this, path] { openDataFile(path); });
    return true;
}

void MDIFormMain::rebuildRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = m_commands->recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files.at(i);
        // "&1 name" gives each entry its key; the tooltip tells the folder.
        QAction *entry = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        entry->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        entry->setData(path);
        entry->setToolTip(QDir::toNativeSeparators(path));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { m_commands->openRecent(path); });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}

void MDIFormMain::showMissingRecent(const QString &path)
{
    statusBar()->showMessage(tr("File not found, removed from Recent Files: %1")
                                 .arg(QDir::toNativeSeparators(path)),
                             MissingRecentMessageMs);
}
