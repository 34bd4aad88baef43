#include "mdiformmain.h"

#include "appicon.h"
#include "appstate.h"
#include "backupstore.h"
#include "datafile.h"
#include "datafilemessage.h"
#include "decimalseparator.h"
#include "formbackups.h"
#include "formcompare.h"
#include "formcomport.h"
#include "formlanguage.h"
#include "formprocess.h"
#include "formtune.h"
#include "formtunesq.h"
#include "frmabout.h"
#include "helpwindow.h"
#include "pictureseparator.h"
#include "settingsmessage.h"
#include "settingsstore.h"
#include "showfiledialog.h"
#include "translations.h"
#include "twips.h"
#include "verifyradio.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <functional>
#include <optional>

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
    {"MenuExit", QT_TRANSLATE_NOOP("MDIFormMain", "&Exit")},
    {"MenuProgram", QT_TRANSLATE_NOOP("MDIFormMain", "&Program")},
    {"MenuRead", QT_TRANSLATE_NOOP("MDIFormMain", "&Read From Radio")},
    {"MenuWrite", QT_TRANSLATE_NOOP("MDIFormMain", "&Write To Radio")},
    {"MenuVerify", QT_TRANSLATE_NOOP("MDIFormMain", "&Verify Radio")},
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

} // namespace

MDIFormMain::MDIFormMain(AppState &state, Translations &translations, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_translations(translations)
    , m_mdiArea(new QMdiArea(this))
    , Timer1(new QTimer(this))
    , m_backupFolder(BackupStore::defaultFolder())
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
    createTreePane();
    createStatusBar();

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PictureTree);
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(central);
    resize(1100, 760);

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow *sub) {
        if (auto *child = sub ? qobject_cast<TuneChildWindow *>(sub->widget()) : nullptr)
            child->Form_Activate();
    });

    // The start-up sequence. The language always starts English; the stored choice is not applied.
    m_state.DecimalSeparator = DetermineDecimalSeparator();
    m_state.LanguageIsEnglish = true;
    m_state.ComPortNumber = SettingsStore::storedComPort();
    m_translations.apply(true);
    m_state.clearTransferSettings();
    m_state.CurrentFileName = QStringLiteral("new.rdat");
    m_state.CurrentFilePath.clear();
    m_state.TuneTxTime = 5;
    m_childWindowState = 0;
    RelabelMainWindow();
    LayoutTreePane(Twips::TreeStart);
    TreeView1->expandAll();

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

MDIFormMain::~MDIFormMain() = default;

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
    connect(addMenuAction(file, "MenuExit"), &QAction::triggered, this, &QWidget::close);

    QMenu *program = addMenu("MenuProgram");
    connect(addMenuAction(program, "MenuRead", QKeySequence(Qt::CTRL | Qt::Key_R)),
            &QAction::triggered, this, &MDIFormMain::MenuRead_Click);
    connect(addMenuAction(program, "MenuWrite", QKeySequence(Qt::CTRL | Qt::Key_W)),
            &QAction::triggered, this, &MDIFormMain::MenuWrite_Click);
    program->addSeparator();
    connect(addMenuAction(program, "MenuVerify"), &QAction::triggered, this,
            &MDIFormMain::MenuVerify_Click);

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
    addToggle("MenuTree", [this](bool on) { PictureTree->setVisible(on); });
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
    connect(addMenuAction(help, "MenuAbout"), &QAction::triggered, this,
            &MDIFormMain::MenuAbout_Click);

    // F1 anywhere in the frame opens the help of the current language.
    auto *f1 = new QAction(this);
    f1->setObjectName(QStringLiteral("HelpKey"));
    f1->setShortcut(QKeySequence(Qt::Key_F1));
    f1->setShortcutContext(Qt::ApplicationShortcut);
    addAction(f1);
    connect(f1, &QAction::triggered, this, &MDIFormMain::Help_Click);
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

void MDIFormMain::createTreePane()
{
    PictureTree = new QWidget(this);
    PictureTree->setObjectName(QStringLiteral("PictureTree"));
    FrameTree = new QFrame(PictureTree);
    FrameTree->setObjectName(QStringLiteral("FrameTree"));
    FrameTree->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(FrameTree);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(6, 2);
    TreeView1 = new QTreeWidget(FrameTree);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(true);
    connect(TreeView1, &QTreeWidget::itemClicked, this, &MDIFormMain::TreeView1_NodeClick);
    m_separator = new PictureSeparator(PictureTree);
    connect(m_separator, &PictureSeparator::dragged, this, &MDIFormMain::dragSplitterTo);
    // The pane lays itself out whenever its size changes, whatever changed it (window resize,
    // toolbar or status bar toggled).
    PictureTree->installEventFilter(this);
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
}

void MDIFormMain::RelabelMainWindow()
{
    Label1->setText(AppTitle);
    Label1->adjustSize();
    for (const Caption &c : MenuCaptions) {
        const QString name = QString::fromLatin1(c.name);
        if (auto *menu = findChild<QMenu *>(name))
            menu->setTitle(trMain(c.text));
        else if (auto *action = findChild<QAction *>(name))
            action->setText(trMain(c.text));
    }
    for (const Caption &c : ToolbarTips)
        findChild<QAction *>(QString::fromUtf8(c.name))->setToolTip(trMain(c.text));

    TreeView1->clear();
    auto *root = new QTreeWidgetItem(TreeView1, {tr("RQ73 Tune")});
    root->setData(0, Qt::UserRole, AppTitle);
    auto *tune = new QTreeWidgetItem(root, {tr("Tune Data")});
    tune->setData(0, Qt::UserRole, QStringLiteral("TreeTuneData"));
    auto *sq = new QTreeWidgetItem(root, {QStringLiteral("SQ")});
    sq->setData(0, Qt::UserRole, QStringLiteral("TreeTuneSq"));

    updatePortText();
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
    const double dpi = PictureTree->logicalDpiX();
    auto px = [dpi](int twips) { return Twips::toPixels(twips, dpi); };
    auto tw = [dpi](int pixels) { return Twips::fromPixels(pixels, dpi); };
    m_splitterTwips = x;

    const int paneWidth = x + Twips::PaneMargin;
    PictureTree->setFixedWidth(px(paneWidth));
    const int paneHeight = tw(PictureTree->height());

    QRect sep = m_separator->geometry();
    sep.setLeft(px(x));
    sep.setTop(0);
    sep.setWidth(std::max(1, px(Twips::SeparatorWidth)));
    // The bar runs the pane's full height so it can be grabbed anywhere along it.
    sep.setHeight(PictureTree->height());
    m_separator->setGeometry(sep);

    QRect frame = FrameTree->geometry();
    frame.moveLeft(0);
    if (paneWidth >= 100)
        frame.setWidth(px(paneWidth - 100));
    frame.moveTop(px(10));
    if (paneHeight >= 520)
        frame.setHeight(px(paneHeight - 520));
    FrameTree->setGeometry(frame);

    const int frameWidth = tw(FrameTree->width());
    const int frameHeight = tw(FrameTree->height());
    QRect tree = TreeView1->geometry();
    tree.moveLeft(0);
    if (frameWidth >= 120)
        tree.setWidth(px(frameWidth - 120));
    tree.moveTop(px(300));
    // Keep the tree's lower edge inside the frame so its last row and scroll bar stay visible.
    if (frameHeight >= 320)
        tree.setHeight(px(frameHeight - 320));
    TreeView1->setGeometry(tree);
}

void MDIFormMain::dragSplitterTo(const QPoint &globalPos)
{
    const double dpi = PictureTree->logicalDpiX();
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
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == modal) {
            // A help window of the dialog's own, so the modal dialog does not block it.
            Help::show(modal, m_state.LanguageIsEnglish);
            return true;
        }
    }
    if (watched == PictureTree && event->type() == QEvent::Resize)
        LayoutTreePane(m_splitterTwips);
    return QMainWindow::eventFilter(watched, event);
}

void MDIFormMain::TreeView1_NodeClick(QTreeWidgetItem *item)
{
    const QString key = item->data(0, Qt::UserRole).toString();
    if (key == QStringLiteral("TreeTuneData"))
        openFormTune();
    else if (key == QStringLiteral("TreeTuneSq"))
        openFormTuneSq();
}

FormTune *MDIFormMain::formTune() const
{
    return m_formTune;
}

FormTuneSq *MDIFormMain::formTuneSq() const
{
    return m_formTuneSq;
}

void MDIFormMain::openFormTune()
{
    if (m_formTune) {
        bringForward(m_formTune);
        return;
    }
    auto *child = new FormTune(m_state, *this);
    m_formTune = child;
    showChild(child);
}

void MDIFormMain::openFormTuneSq()
{
    if (m_formTuneSq) {
        bringForward(m_formTuneSq);
        return;
    }
    auto *child = new FormTuneSq(m_state, *this);
    m_formTuneSq = child;
    showChild(child);
}

void MDIFormMain::showChild(TuneChildWindow *child)
{
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    // On some desktops the child's Close key is Ctrl+W, which would make Write To Radio's key
    // ambiguous and dead; the child keeps its other close keys.
    const QKeySequence writeKey = findChild<QAction *>(QStringLiteral("MenuWrite"))->shortcut();
    for (QAction *action : sub->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(writeKey) > 0)
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
    for (QAction *entry : m_windowListMenu->actions()) {
        if (entry->data().toInt() == child.commandNumber()
            && entry->objectName().startsWith(QStringLiteral("WindowList")))
            delete entry;
    }
    if (m_formTune == &child)
        m_formTune = nullptr;
    if (m_formTuneSq == &child)
        m_formTuneSq = nullptr;
}

void MDIFormMain::childActivated(TuneChildWindow &child)
{
    for (QAction *entry : m_windowListMenu->actions()) {
        if (!entry->objectName().startsWith(QStringLiteral("WindowList")))
            continue;
        const int command = entry->data().toInt();
        if (command >= child.checkFirst() && command <= child.checkLast())
            entry->setChecked(command == child.commandNumber());
    }
}

void MDIFormMain::recordChildWindowState(int state)
{
    m_childWindowState = state;
}

void MDIFormMain::refreshOpenTuneWindows()
{
    if (m_formTune)
        m_formTune->AnalyseTuneData();
    if (m_formTuneSq)
        m_formTuneSq->AnalyseSq();
}

void MDIFormMain::prepareOpenTuneWindowsForTransfer()
{
    for (TuneChildWindow *child : {static_cast<TuneChildWindow *>(m_formTune.data()),
                                   static_cast<TuneChildWindow *>(m_formTuneSq.data())}) {
        if (child)
            child->prepareForTransfer();
    }
}

bool MDIFormMain::runTransfer(TransferKind kind)
{
    const TransferSettings settings = transferSettings(kind);
    m_state.TransferIsRead = settings.isRead;
    m_state.TuneDataRange = settings.tuneDataRange;
    m_state.SquelchDataRange = settings.squelchDataRange;
    prepareOpenTuneWindowsForTransfer();
    // The backup is written the moment the read succeeds, not when the window is closed, so a
    // window left open cannot cost it; it is reported once the window is gone.
    std::optional<BackupStore::SaveResult> backup;
    FormProcess process(
        m_state.image, kind, m_state.ComPortNumber,
        [this, kind, &backup] {
            refreshOpenTuneWindows();
            backup = saveBackup(kind);
        },
        this, m_transferTimings);
    process.exec();
    m_state.TransferSucceeded = process.succeeded();
    m_state.clearTransferSettings();
    // A full read puts the radio's own data into the image; a squelch read leaves the rest as
    // it was, so only a full read counts as the image having a source.
    if (m_state.TransferSucceeded && kind == TransferKind::FullRead)
        m_state.ImageHasSource = true;
    if (backup)
        showBackupResult(*backup);
    return m_state.TransferSucceeded;
}

void MDIFormMain::reopenFormTune()
{
    closeAllChildWindows();
    openFormTune();
}

void MDIFormMain::MenuNew_Click()
{
    m_state.image.clearFirstHalf();
    m_state.ImageHasSource = false;
    reopenFormTune();
}

void MDIFormMain::MenuOpen_Click()
{
    const QString previousFileName = m_state.CurrentFileName;
    const QString path
        = ShowFileDialog(m_state, this, QStringLiteral("OPEN"), tr("Open"), QString());
    if (path.isEmpty())
        return;
    if (loadDataFile(path, previousFileName))
        m_state.CurrentFilePath = path;
    Timer1_Timer();
}

bool MDIFormMain::loadDataFile(const QString &path, const QString &previousFileName)
{
    // The dialog already put the chosen name in the title; a file that is not loaded must not
    // stay there.
    auto keepPreviousFile = [&] {
        m_state.CurrentFileName = previousFileName;
        Timer1_Timer();
    };

    QMessageBox ask(QMessageBox::Warning, AppTitle, tr("Do you want to cover current data?"),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    ask.setObjectName(QStringLiteral("CoverQuestion"));
    if (ask.exec() != QMessageBox::Ok) {
        keepPreviousFile();
        return false;
    }
    const DataFileResult result = ReadFromFile(path, m_state.image, m_state.TuneTxTime);
    if (!result.ok()) {
        keepPreviousFile();
        DataFileMessage::show(this, result, path, DataFileAction::Load);
        return false;
    }
    m_state.ImageHasSource = true;
    reopenFormTune();
    return true;
}

bool MDIFormMain::saveDataFile(const QString &path, const QString &previousFileName)
{
    const DataFileResult result = WriteToFile(path, m_state.image, m_state.TuneTxTime);
    if (!result.ok()) {
        m_state.CurrentFileName = previousFileName;
        Timer1_Timer();
        DataFileMessage::show(this, result, path, DataFileAction::Save);
        return false;
    }
    Timer1_Timer();
    return true;
}

void MDIFormMain::MenuSave_Click()
{
    const QString previousFileName = m_state.CurrentFileName;
    if (!m_state.CurrentFilePath.isEmpty()) {
        saveDataFile(m_state.CurrentFilePath, previousFileName);
        return;
    }
    const QString path = ShowFileDialog(m_state, this, QStringLiteral("Save"), tr("Save"),
                                        m_state.CurrentFileName);
    // Only a file that was written becomes the one the next Save writes to without asking.
    if (!path.isEmpty() && saveDataFile(path, previousFileName))
        m_state.CurrentFilePath = path;
}

void MDIFormMain::MenuSaveAs_Click()
{
    const QString previousFileName = m_state.CurrentFileName;
    // The same title in both languages.
    const QString path = ShowFileDialog(m_state, this, QStringLiteral("Save"),
                                        QStringLiteral("另存为"), QString());
    if (!path.isEmpty() && saveDataFile(path, previousFileName))
        m_state.CurrentFilePath = path;
}

bool MDIFormMain::confirmWriteWithoutSource()
{
    if (m_state.ImageHasSource)
        return true;
    QMessageBox ask(QMessageBox::Warning, AppTitle,
                    tr("The data in this program has not been read from a radio or loaded from "
                       "a file since the program started or since New. Writing it replaces the "
                       "radio's calibration with these values.\n\nWrite to the radio anyway?"),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    ask.setObjectName(QStringLiteral("WriteWithoutSource"));
    ask.setDefaultButton(QMessageBox::Cancel);
    return ask.exec() == QMessageBox::Ok;
}

void MDIFormMain::MenuRead_Click()
{
    runTransfer(TransferKind::FullRead);
}

void MDIFormMain::MenuWrite_Click()
{
    if (!confirmWriteWithoutSource())
        return;
    runTransfer(TransferKind::FullWrite);
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
    TreeView1->collapseAll();
    Timer1_Timer();
    openFormTune();
}

void MDIFormMain::closeEvent(QCloseEvent *event)
{
    closeAllChildWindows();
    event->accept();
}

BackupStore::SaveResult MDIFormMain::saveBackup(TransferKind kind) const
{
    const BackupStore::Kind backupKind = kind == TransferKind::SquelchRead
                                             ? BackupStore::Kind::SquelchRead
                                             : BackupStore::Kind::FullRead;
    return BackupStore(m_backupFolder)
        .save(m_state.image, m_state.TuneTxTime, backupKind, QDateTime::currentDateTime(),
              BackupStore::storedLimit());
}

void MDIFormMain::showBackupResult(const BackupStore::SaveResult &result)
{
    // The read itself worked either way; a backup that failed is told, never turned into an error
    // of the read.
    if (result.ok())
        statusBar()->showMessage(tr("Backup saved: %1").arg(QFileInfo(result.path).fileName()),
                                 BackupMessageMs);
    else
        statusBar()->showMessage(tr("Backup not saved: %1").arg(result.errorText),
                                 BackupFailureMessageMs);
}

void MDIFormMain::MenuBackups_Click()
{
    FormBackups form(BackupStore(m_backupFolder), this);
    if (form.exec() != QDialog::Accepted || form.chosenPath().isEmpty())
        return;
    openBackup(form.chosenPath());
}

void MDIFormMain::openBackup(const QString &path)
{
    const QString previousFileName = m_state.CurrentFileName;
    m_state.CurrentFileName = QFileInfo(path).fileName();
    // A backup is never written over: the next Save asks for a name of its own.
    if (loadDataFile(path, previousFileName))
        m_state.CurrentFilePath.clear();
    Timer1_Timer();
}

void MDIFormMain::MenuCompare_Click()
{
    // The dialog names its choice in the state it is given; the current file stays the current
    // one.
    AppState scratch;
    const QString path
        = ShowFileDialog(scratch, this, QStringLiteral("OPEN"), tr("Compare With File"), QString());
    if (!path.isEmpty())
        compareWithFile(path);
}

void MDIFormMain::compareWithFile(const QString &path)
{
    RadioImage other;
    std::int32_t otherTxTime = 0;
    const DataFileResult result = ReadFromFile(path, other, otherTxTime);
    if (!result.ok()) {
        DataFileMessage::show(this, result, path, DataFileAction::Load);
        return;
    }
    const QList<ImageCompare::Difference> differences
        = ImageCompare::differences(m_state.image, other);
    const QString name = QDir::toNativeSeparators(path);
    const QString summary
        = differences.isEmpty()
              ? tr("Identical: the current image and %1 hold the same words.").arg(name)
              : tr("Words that differ between the current image and %1: %2 (current → file).")
                    .arg(name)
                    .arg(differences.size());
    FormCompare form(tr("Compare With File"), summary, ImageCompare::describe(differences), this);
    form.exec();
}

void MDIFormMain::MenuVerify_Click()
{
    // Verify opens the port like any transfer, so live frames leave the cable first.
    prepareOpenTuneWindowsForTransfer();
    const VerifyOutcome outcome = verifyRadio(m_state, this, m_transferTimings);
    if (!outcome.transferred)
        return;
    const QString summary
        = outcome.differences.isEmpty()
              ? tr("Identical: the radio holds every word of the current image.")
              : tr("Words that differ between the current image and the radio: %1 (current → "
                   "radio).")
                    .arg(outcome.differences.size());
    FormCompare form(tr("Verify Radio"), summary, ImageCompare::describe(outcome.differences),
                     this);
    form.exec();
}
