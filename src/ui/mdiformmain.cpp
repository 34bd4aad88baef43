#include "mdiformmain.h"

#include "appicon.h"
#include "appstate.h"
#include "childwindows.h"
#include "datafiledrop.h"
#include "decimalseparator.h"
#include "formcomport.h"
#include "formlanguage.h"
#include "formtune.h"
#include "formtunesq.h"
#include "frmabout.h"
#include "helpwindow.h"
#include "imagecommands.h"
#include "mainmenus.h"
#include "mainstatusbar.h"
#include "settingsmessage.h"
#include "settingsstore.h"
#include "translations.h"
#include "treepane.h"
#include "twips.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QTreeWidget>

MDIFormMain::MDIFormMain(AppState &state, Translations &translations, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_translations(translations)
    , m_session(state)
    , m_commands(new ImageCommands(m_session, this))
    , m_mdiArea(new QMdiArea(this))
    , m_treePane(new TreePane(this))
    , m_statusBar(new MainStatusBar(state, m_session, this))
    , m_children(new ChildWindows(m_session, *m_commands, *m_mdiArea, *m_treePane, *this))
    , m_menus(nullptr)
    , m_placement(std::make_unique<WindowPlacement>(*this, *m_treePane))
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("MDIFormMain"));
    setWindowIcon(appIcon());
    // Qt's own right-click menu would hide the toolbar behind the View menu's back.
    setContextMenuPolicy(Qt::NoContextMenu);
    m_mdiArea->setObjectName(QStringLiteral("MDIArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setStatusBar(m_statusBar);
    m_menus = new MainMenus(*this, m_session, *m_commands, *m_treePane);
    m_children->setWindowList(m_menus->windowListMenu(), m_menus->writeKey());

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_treePane);
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(central);
    setAcceptDrops(true);

    connect(m_treePane, &TreePane::separatorDragged, this, &MDIFormMain::dragSplitterTo);
    connect(m_commands, &ImageCommands::imageReopened, this, &MDIFormMain::reopenFormTune);
    connect(&m_session, &ImageSession::fileChanged, this, &MDIFormMain::Timer1_Timer);
    connect(m_commands, &ImageCommands::recentFileMissing, m_statusBar,
            &MainStatusBar::showMissingRecent);

    // The start-up sequence. The language always starts English; the stored choice is not applied.
    m_state.DecimalSeparator = DetermineDecimalSeparator();
    m_state.LanguageIsEnglish = true;
    m_state.ComPortNumber = SettingsStore::storedComPort();
    m_translations.apply(true);
    m_state.clearTransferSettings();
    m_session.showFileName(QStringLiteral("new.rdat"));
    m_session.setTuneTxTime(5);
    RelabelMainWindow();
    m_placement->restore();
    m_treePane->tree()->expandAll();

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &MDIFormMain::Timer1_Timer);
    Timer1->start();
    Timer1_Timer();

    m_children->recordChildWindowState(2);
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

void MDIFormMain::RelabelMainWindow()
{
    m_menus->relabel();
    m_treePane->relabel();
    m_statusBar->relabel();
}

void MDIFormMain::Timer1_Timer()
{
    m_statusBar->showClock();
    m_title = tr("RQ73 Tune[FileName:%1]").arg(m_state.CurrentFileName);
    setWindowTitle(m_title);
}

void MDIFormMain::LayoutTreePane(int x)
{
    m_treePane->layoutPane(x);
}

int MDIFormMain::splitterTwips() const
{
    return m_treePane->splitterTwips();
}

QMenu *MDIFormMain::windowListMenu() const
{
    return m_menus->windowListMenu();
}

int MDIFormMain::ChildWindowState() const
{
    return m_children->windowState();
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
    if (takeDataFileDrop(*this, watched, event,
                         [this](const QString &path) { openDataFile(path); }))
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
    return m_children->formTune();
}

FormTuneSq *MDIFormMain::formTuneSq() const
{
    return m_children->formTuneSq();
}

void MDIFormMain::openFormTune()
{
    m_children->open(FormTune::WindowListCommand);
}

void MDIFormMain::openFormTuneSq()
{
    m_children->open(FormTuneSq::WindowListCommand);
}

void MDIFormMain::closeAllChildWindows()
{
    m_children->closeAll();
}

void MDIFormMain::cascadeChildWindows()
{
    m_mdiArea->cascadeSubWindows();
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

void MDIFormMain::MenuExit_Click()
{
    close();
}

void MDIFormMain::MenuRead_Click()
{
    m_commands->runTransfer(TransferKind::FullRead);
}

void MDIFormMain::MenuWrite_Click()
{
    m_commands->runTransfer(TransferKind::FullWrite);
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
    m_children->openAutoAlign();
}

void MDIFormMain::MenuCom_Click()
{
    FormComPort dialog(m_state, this);
    dialog.exec();
    m_statusBar->showPort();
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
    // The program never leaves the transmitter keyed behind it.
    m_session.stopTransmitting();
    event->accept();
}

void MDIFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_placement->shown();
}

void MDIFormMain::hideEvent(QHideEvent *event)
{
    // Closing hides the window; a minimised one is hidden by the system and keeps its place.
    if (!event->spontaneous())
        m_placement->save();
    QMainWindow::hideEvent(event);
}
