#include "appstate.h"
#include "formcomport.h"
#include "formlanguage.h"
#include "formprocess.h"
#include "formtune.h"
#include "formtunesq.h"
#include "frmabout.h"
#include "helpwindow.h"
#include "imagesession.h"
#include "mdiformmain.h"
#include "modalhelper.h"
#include "portopen.h"
#include "settingsstore.h"
#include "showfiledialog.h"
#include "simulatedradio.h"
#include "testdata.h"
#include "testprogram.h"
#include "testsplit.h"
#include "testsettings.h"
#include "translations.h"
#include "twips.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>

#include <memory>

namespace {

// Short transfer timings: a silent radio costs milliseconds, not seconds.
TransferTimings fastTimings()
{
    TransferTimings t;
    t.replyTimeoutMs = 50;
    t.quietMs = 10;
    return t;
}

// For a radio that answers: the product's time-out, so that a loaded machine cannot turn a slow
// reply into a repeat. It costs nothing while the radio answers.
TransferTimings answeringTimings()
{
    TransferTimings t = fastTimings();
    t.replyTimeoutMs = TransferTimings().replyTimeoutMs;
    return t;
}

// A simulated radio whose pauses match the short timings.
struct Radio : SimulatedRadio
{
    Radio() { setReplyTimeoutMs(fastTimings().replyTimeoutMs); }
};

QSettings store()
{
    return SettingsStore::openSettings();
}

// The shared program fixture, on the stored COM port, with the transfer timings of a radio that
// answers.
struct Program : TestProgram
{
    Program()
        : TestProgram(0, true, [](MDIFormMain &w) { w.setTransferTimings(answeringTimings()); })
    {
        window->activateWindow();
        QCoreApplication::processEvents();
    }

    QString panel(int n) const
    {
        return window->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(n))->text();
    }

    // Switches the language through the dialog, as the user does.
    void chooseLanguage(int entry)
    {
        whenModal([entry](QWidget *dialog) {
            dialog->findChild<QComboBox *>(QStringLiteral("ComboLanguage"))->setCurrentIndex(entry);
            dialog->findChild<QPushButton *>(QStringLiteral("CommandOK"))->click();
        });
        window->SwitchLanguage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QList<QMdiSubWindow *> children() const { return window->mdiArea()->subWindowList(); }

    QList<QAction *> windowList() const
    {
        QList<QAction *> entries;
        for (QAction *a : window->windowListMenu()->actions())
            if (a->objectName().startsWith(QStringLiteral("WindowList")))
                entries << a;
        return entries;
    }

    QAction *windowListEntry(int command) const
    {
        for (QAction *a : windowList())
            if (a->data().toInt() == command)
                return a;
        return nullptr;
    }
};

// Every COM number leads nowhere unless a test registers a radio for it, so the machine's own
// serial ports do not change what the tests see.
void mapAllPortsNowhere()
{
    QSettings settings = store();
    for (int n = 1; n <= 99; ++n)
        settings.setValue(QStringLiteral("Ports/COM%1").arg(n),
                          QStringLiteral("/nonexistent/rq73-test-port%1").arg(n));
}

QByteArray patternMemory()
{
    return TestData::patternBytes(37, 11);
}

bool transferredWord(int w)
{
    return w == 0 || (w >= 16 && w <= 51) || (w >= 61 && w <= 77) || (w >= 80 && w <= 115)
           || (w >= 128 && w <= 275);
}

// The parts of a transfer window a test looks at.
struct ProcessView
{
    QString caption, progress, result;
    bool resultShown = false;
    QStringList lines;

    static ProcessView of(QWidget *w)
    {
        ProcessView v;
        v.caption = w->windowTitle();
        v.progress = w->findChild<QLabel *>(QStringLiteral("LabelProcess"))->text();
        auto *result = w->findChild<QLineEdit *>(QStringLiteral("TextShow"));
        v.result = result->text();
        v.resultShown = result->isVisibleTo(w);
        auto *list = w->findChild<QListWidget *>(QStringLiteral("ListDebug"));
        for (int i = 0; i < list->count(); ++i)
            v.lines << list->item(i)->text();
        return v;
    }
};

// Waits in the transfer window until done says so, records it and closes it.
void closeProcessWhen(std::function<bool(QWidget *)> done, ProcessView &seen)
{
    whenModal([done, &seen](QWidget *w) {
        (void)QTest::qWaitFor([&] { return done(w); }, 30000);
        seen = ProcessView::of(w);
        w->close();
    });
}

// Answers a transfer window that cannot open its port: notes its caption, dismisses the
// message and closes the window.
void answerTransferWithoutPort(QString &caption)
{
    whenModal([&caption](QWidget *modal) {
        auto finish = [&caption](QWidget *box) {
            caption = box->parentWidget()->windowTitle();
            // The transfer window, once it is back on top.
            whenModal([](QWidget *process) { process->close(); });
            box->close();
        };
        if (qobject_cast<QMessageBox *>(modal))
            finish(modal);
        else
            whenModal(finish, modal);
    });
}

// The Program menu's Read From Radio on COM port n.
void prepareFullRead(AppState &state, int comPortNumber)
{
    state.ComPortNumber = comPortNumber;
}

bool resultShown(QWidget *w)
{
    return w->findChild<QLineEdit *>(QStringLiteral("TextShow"))->isVisibleTo(w);
}

QMdiSubWindow *subWindowOf(QWidget *child)
{
    return child ? qobject_cast<QMdiSubWindow *>(child->parentWidget()) : nullptr;
}

} // namespace

class TstUi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUpState();
    void startUpShowsStoredPort();
    void menusInBothLanguages_data();
    void menusInBothLanguages();
    void menuOrderAndSeparators();
    void toolbarInBothLanguages();
    void languageSwitch();
    void languageDialogWithoutChange();
    void childReopenRule();
    void windowListEntriesAndChecks();
    void closeAllAndExitUnloadChildren();
    void splitterLimits();
    void viewToggles();
    void dialogsInChinese();
    void aboutWindow();
    void fileDialog();
    void helpWindow();
    void keysReachTheirCommands();

    void fullReadFromMenu();
    void menuReadRefreshesOpenTuneWindows();
    void fullWriteFromToolbarInChinese();
    void refreshAfterReadOnly();
    void missingPortIsReported();
    void deadRadioAsksRetryOrCancel();
    void closingMidTransferStopsIt();
    void retryAfterTheQuestionCarriesOn();
    void escapeWaitsForTheTransfer();
    void writeAsksWithoutSource_data();
    void writeAsksWithoutSource();
    void helpKeyOverDialogs_data();
    void helpKeyOverDialogs();
    void comDialogProbesOnlyExistingDevices();
    void malformedSettingsAreReported();

    void comPortListAndChoice();
    void comPortFallsBackToFirst();
    void comPortEmptyList();

private:
    QTemporaryDir m_dir;
};

void TstUi::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
}

void TstUi::init()
{
    RQ73_SKIP_IF_RUN_ELSEWHERE();
    // A test that broke off may have left an unreadable settings file behind.
    if (SettingsStore::isMalformed())
        QFile::remove(SettingsStore::location());
    store().clear();
    // The write as the original program has it; the backed-up, previewed write is tested apart.
    ImageSession::setSafeWriteEnabled(false);
}

void TstUi::cleanup()
{
    ModalHelper::verifyAllAnswered();
}

void TstUi::startUpState()
{
    Program p;
    QCOMPARE(p.window->windowTitle(), QStringLiteral("RQ73 Tune[FileName:new.rdat]"));
    QCOMPARE(p.panel(1), QStringLiteral("RQ73 Tune"));
    QCOMPARE(p.panel(2), QStringLiteral("COM1"));
    QVERIFY(!p.panel(3).isEmpty());
    QVERIFY(!p.panel(4).isEmpty());
    QCOMPARE(p.state.TuneTxTime, 5);
    QVERIFY(p.state.LanguageIsEnglish);
    QCOMPARE(p.state.CurrentFilePath, QString());

    auto *tree = p.window->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("RQ73 Tune"));
    QVERIFY(root->isExpanded());
    QCOMPARE(root->childCount(), 2);
    QCOMPARE(root->child(0)->text(0), QStringLiteral("Tune Data"));
    QCOMPARE(root->child(1)->text(0), QStringLiteral("SQ"));

    // The tune data window is open, maximised, listed and checked.
    QVERIFY(p.window->formTune());
    QCOMPARE(p.children().size(), 1);
    QVERIFY(subWindowOf(p.window->formTune())->isMaximized());
    QCOMPARE(p.window->formTune()->windowTitle(), QStringLiteral("Tune Data"));
    QAction *entry = p.windowListEntry(1000);
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("Tune Data"));
    QVERIFY(entry->isChecked());
    QCOMPARE(p.window->ChildWindowState(), 2);

    // The pane starts 2500 twips wide plus its margin.
    auto *pane = p.window->findChild<QWidget *>(QStringLiteral("PictureTree"));
    QCOMPARE(pane->width(), Twips::toPixels(2600, pane->logicalDpiX()));
}

void TstUi::startUpShowsStoredPort()
{
    SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("3"));
    Program p;
    QCOMPARE(p.state.ComPortNumber, 3);
    QCOMPARE(p.panel(2), QStringLiteral("COM3"));
    // The stored language is not applied: every start is English.
    SettingsStore::WriteRegistryText(QStringLiteral("Language"), QStringLiteral("False"));
    Program again;
    QVERIFY(again.state.LanguageIsEnglish);
    QCOMPARE(again.window->findChild<QMenu *>(QStringLiteral("MenuFile"))->title(),
             QStringLiteral("&File"));
}

void TstUi::menusInBothLanguages_data()
{
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QKeySequence>("shortcut");
    auto row = [](const char *name, const char *en, const char *zh, QKeySequence key = {}) {
        QTest::newRow(name) << QString::fromUtf8(en) << QString::fromUtf8(zh) << key;
    };
    row("MenuFile", "&File", "文件(&F)");
    row("MenuNew", "&New", "新建(&N)", QKeySequence(QStringLiteral("Ctrl+N")));
    row("MenuOpen", "&Open", "打开(&O)", QKeySequence(QStringLiteral("Ctrl+O")));
    row("MenuSave", "&Save", "保存(&S)", QKeySequence(QStringLiteral("Ctrl+S")));
    row("MenuSaveAs", "Save &As", "另存为(&A)");
    row("MenuCompare", "&Compare With File", "与文件比较(&C)");
    row("MenuBackups", "&Backups", "备份(&B)");
    row("MenuExit", "&Exit", "退出(&E)");
    row("MenuEdit", "&Edit", "编辑(&E)");
    row("MenuUndo", "&Undo", "撤销(&U)", QKeySequence(QStringLiteral("Ctrl+Z")));
    row("MenuRedo", "&Redo", "重做(&R)", QKeySequence(QStringLiteral("Ctrl+Y")));
    row("MenuProgram", "&Program", "编程(&P)");
    row("MenuRead", "&Read From Radio", "从对讲机读出数据(&R)",
        QKeySequence(QStringLiteral("Ctrl+R")));
    row("MenuWrite", "&Write To Radio", "向对讲机写入数据(&W)",
        QKeySequence(QStringLiteral("Ctrl+W")));
    row("MenuVerify", "&Verify Radio", "校验对讲机(&V)");
    row("MenuResend", "Resend &Unsent Values", "重发未发送的值(&U)");
    row("MenuAutoAlign", "&Auto Align...", "自动校准(&A)...");
    row("MenuSetting", "&Setting", "设置(&S)");
    row("MenuCom", "Set &Com", "串口设置(&C)");
    row("MenuLanguage", "Set &Language", "语言设置(&L)");
    row("MenuView", "&View", "视图(&V)");
    row("MenuTree", "Tree &View", "树视图(&V)");
    row("MenuToolBar", "&Toolbar", "工具栏(&T)");
    row("MenuStatus", "&Statusbar", "状态栏(&S)");
    row("MenuWindow", "&Window", "窗口(&W)");
    row("MenuCeng", "&Cascade", "层叠(&C)");
    row("MenuCloseAll", "Close All &Windows", "关闭所有窗口(&W)");
    row("MenuHelp", "&Help", "帮助(&H)");
    row("MenuAbout", "&About", "关于RQ73 Tune(&A)");
}

void TstUi::menusInBothLanguages()
{
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    QFETCH(QKeySequence, shortcut);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    auto caption = [&](Program &p) {
        if (auto *menu = p.window->findChild<QMenu *>(name))
            return menu->title();
        return p.action(name)->text();
    };
    Program p;
    QCOMPARE(caption(p), english);
    if (!p.window->findChild<QMenu *>(name))
        QCOMPARE(p.action(name)->shortcut(), shortcut);
    p.chooseLanguage(1);
    QCOMPARE(caption(p), chinese);
    p.chooseLanguage(0);
    QCOMPARE(caption(p), english);
}

void TstUi::menuOrderAndSeparators()
{
    Program p;
    QStringList top;
    for (QAction *a : p.window->menuBar()->actions())
        top << a->menu()->objectName();
    QCOMPARE(top, QStringList({"MenuFile", "MenuEdit", "MenuProgram", "MenuSetting", "MenuView",
                               "MenuWindow", "MenuHelp"}));
    auto items = [&](const char *menu) {
        QStringList names;
        for (QAction *a : p.window->findChild<QMenu *>(QString::fromLatin1(menu))->actions())
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        return names;
    };
    QCOMPARE(items("MenuFile"),
             QStringList({"MenuNew", "MenuOpen", "MenuSave", "MenuSaveAs", "-", "MenuCompare",
                          "MenuBackups", "-", "MenuRecentTitle", "-", "MenuExit"}));
    QCOMPARE(items("MenuEdit"), QStringList({"MenuUndo", "MenuRedo"}));
    QCOMPARE(items("MenuProgram"), QStringList({"MenuRead", "MenuWrite", "-", "MenuVerify",
                                                "MenuResend", "MenuStopTx", "-",
                                                "MenuAutoAlign"}));
    QCOMPARE(items("MenuSetting"), QStringList({"MenuCom", "MenuLanguage", "MenuSafeWrite"}));
    QCOMPARE(items("MenuView"), QStringList({"MenuTree", "-", "MenuToolBar", "MenuStatus"}));
    QCOMPARE(items("MenuWindow"),
             QStringList({"MenuCeng", "-", "MenuCloseAll", "-", "WindowList1000"}));
    QCOMPARE(items("MenuHelp"), QStringList({"HelpKey", "-", "MenuAbout"}));
    for (const char *toggle : {"MenuTree", "MenuToolBar", "MenuStatus"})
        QVERIFY(p.action(QString::fromLatin1(toggle))->isChecked());

    // No key of a child window's own menu may shadow a menu key of the frame.
    p.window->openFormTuneSq();
    for (QMdiSubWindow *sub : p.children())
        for (QAction *own : sub->systemMenu()->actions())
            for (const QKeySequence &key : own->shortcuts())
                for (const char *name :
                     {"MenuNew", "MenuOpen", "MenuSave", "MenuRead", "MenuWrite"})
                    QVERIFY2(key != p.action(QString::fromLatin1(name))->shortcut(),
                             qPrintable(key.toString()));
}

void TstUi::toolbarInBothLanguages()
{
    Program p;
    auto *toolbar = p.window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    const QStringList keys = {"新建", "打开", "保存", "-", "读取", "串口", "写频", "-", "帮助"};
    const QStringList english = {"New", "Open", "Save", "", "Read", "Set Com", "Write", "", "Help"};
    const QStringList chinese
        = {"新建", "打开", "保存", "", "读频", "串口设置", "写频", "", "帮助"};
    auto check = [&](const QStringList &tips) {
        const QList<QAction *> actions = toolbar->actions();
        QCOMPARE(actions.size(), keys.size());
        for (int i = 0; i < actions.size(); ++i) {
            if (keys[i] == QStringLiteral("-")) {
                QVERIFY(actions[i]->isSeparator());
                continue;
            }
            QCOMPARE(actions[i]->data().toString(), keys[i]);
            QCOMPARE(actions[i]->toolTip(), tips[i]);
            QVERIFY(!actions[i]->icon().isNull());
        }
    };
    check(english);
    p.chooseLanguage(1);
    check(chinese);
}

void TstUi::languageSwitch()
{
    Program p;
    p.window->openFormTuneSq();
    QVERIFY(p.window->formTuneSq());
    QCOMPARE(p.children().size(), 2);

    p.chooseLanguage(1);
    QVERIFY(!p.state.LanguageIsEnglish);
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("Language")), QStringLiteral("False"));
    // The squelch window is closed and stays closed; the tune data window comes back in Chinese.
    QVERIFY(!p.window->formTuneSq());
    QVERIFY(p.window->formTune());
    QCOMPARE(p.children().size(), 1);
    QCOMPARE(p.window->formTune()->windowTitle(), QStringLiteral("调谐数据"));
    QVERIFY(p.windowListEntry(1000));
    QVERIFY(!p.windowListEntry(1003));
    QCOMPARE(p.windowListEntry(1000)->text(), QStringLiteral("调谐数据"));

    QCOMPARE(p.window->windowTitle(), QStringLiteral("RQ73 Tune[文件名:new.rdat]"));
    QCOMPARE(p.panel(2), QStringLiteral("通信端口1"));
    QCOMPARE(p.panel(1), QStringLiteral("RQ73 Tune"));
    auto *tree = p.window->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("RQ73电调"));
    QCOMPARE(root->child(0)->text(0), QStringLiteral("调制数据"));
    QCOMPARE(root->child(1)->text(0), QStringLiteral("SQ"));
    // Rebuilt, the tree shows its root folded.
    QVERIFY(!root->isExpanded());
    QCOMPARE(p.window->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("RQ73 Tune"));

    // Back to English stores "True".
    p.chooseLanguage(0);
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("Language")), QStringLiteral("True"));
    QCOMPARE(p.window->windowTitle(), QStringLiteral("RQ73 Tune[FileName:new.rdat]"));
}

void TstUi::languageDialogWithoutChange()
{
    Program p;
    p.window->openFormTuneSq();
    FormTune *tune = p.window->formTune();
    p.chooseLanguage(0);
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("Language")), QString());
    QCOMPARE(p.window->formTune(), tune);
    QVERIFY(p.window->formTuneSq());

    // Cancel changes nothing either, whatever was picked.
    whenModal([](QWidget *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("ComboLanguage"))->setCurrentIndex(1);
        dialog->findChild<QPushButton *>(QStringLiteral("CommandCancel"))->click();
    });
    p.window->SwitchLanguage();
    QVERIFY(p.state.LanguageIsEnglish);
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("Language")), QString());
    QVERIFY(p.window->formTuneSq());
}

void TstUi::childReopenRule()
{
    Program p;
    FormTune *first = p.window->formTune();
    // Clicking the node of an open window only brings it forward.
    auto *tree = p.window->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
    QTreeWidgetItem *tuneNode = tree->topLevelItem(0)->child(0);
    emit tree->itemClicked(tuneNode, 0);
    QCOMPARE(p.window->formTune(), first);
    QCOMPARE(p.children().size(), 1);

    // Minimised, closed, reopened: normal.
    subWindowOf(first)->showMinimized();
    QCOMPARE(p.window->ChildWindowState(), 1);
    subWindowOf(first)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!p.window->formTune());
    QVERIFY(!p.windowListEntry(1000));
    emit tree->itemClicked(tuneNode, 0);
    QVERIFY(p.window->formTune());
    QMdiSubWindow *sub = subWindowOf(p.window->formTune());
    QVERIFY(!sub->isMinimized());
    QVERIFY(!sub->isMaximized());

    // Maximised, closed, reopened: maximised again.
    sub->showMaximized();
    QCOMPARE(p.window->ChildWindowState(), 2);
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    p.window->openFormTune();
    QVERIFY(subWindowOf(p.window->formTune())->isMaximized());

    // Normal, closed: the squelch window follows the state the last child recorded.
    subWindowOf(p.window->formTune())->showNormal();
    QCOMPARE(p.window->ChildWindowState(), 0);
    emit tree->itemClicked(tree->topLevelItem(0)->child(1), 0);
    QVERIFY(p.window->formTuneSq());
    QVERIFY(!subWindowOf(p.window->formTuneSq())->isMaximized());
}

void TstUi::windowListEntriesAndChecks()
{
    Program p;
    p.window->openFormTuneSq();
    QAction *tune = p.windowListEntry(1000);
    QAction *sq = p.windowListEntry(1003);
    QVERIFY(tune && sq);
    QCOMPARE(sq->text(), QStringLiteral("SQ"));
    QCOMPARE(p.windowList(), QList<QAction *>({tune, sq}));
    QVERIFY(sq->isChecked());
    QVERIFY(!tune->isChecked());

    p.window->mdiArea()->setActiveSubWindow(subWindowOf(p.window->formTune()));
    QVERIFY(tune->isChecked());
    QVERIFY(!sq->isChecked());

    // Choosing an entry brings its window forward; choosing it again keeps its check.
    sq->trigger();
    QCOMPARE(p.window->mdiArea()->activeSubWindow(), subWindowOf(p.window->formTuneSq()));
    QVERIFY(sq->isChecked());
    sq->trigger();
    QVERIFY(sq->isChecked());
    QVERIFY(!tune->isChecked());

    subWindowOf(p.window->formTuneSq())->close();
    QVERIFY(!p.windowListEntry(1003));
    QVERIFY(!p.window->formTuneSq());
    QCOMPARE(p.windowList().size(), 1);
}

void TstUi::closeAllAndExitUnloadChildren()
{
    Program p;
    p.window->openFormTuneSq();
    p.action(QStringLiteral("MenuCloseAll"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(p.children().isEmpty());
    QVERIFY(p.windowList().isEmpty());
    QVERIFY(!p.window->formTune());

    p.window->openFormTune();
    p.window->openFormTuneSq();
    p.action(QStringLiteral("MenuCeng"))->trigger();
    QCOMPARE(p.children().size(), 2);
    // Cascaded windows keep a usable size, not just their title bars.
    for (QMdiSubWindow *sub : p.children())
        QVERIFY(sub->widget()->height() >= 400);
    p.action(QStringLiteral("MenuExit"))->trigger();
    QVERIFY(!p.window->isVisible());
    QVERIFY(p.windowList().isEmpty());
}

void TstUi::splitterLimits()
{
    Program p;
    MDIFormMain &w = *p.window;
    auto *pane = w.findChild<QWidget *>(QStringLiteral("PictureTree"));
    const double dpi = pane->logicalDpiX();

    w.dragSplitterTo(w.mapToGlobal(QPoint(0, 100)));
    QCOMPARE(w.splitterTwips(), Twips::TreeMinimum);
    QCOMPARE(pane->width(), Twips::toPixels(Twips::TreeMinimum + Twips::PaneMargin, dpi));

    w.dragSplitterTo(w.mapToGlobal(QPoint(w.width() - 5, 100)));
    const int half = Twips::fromPixels(w.frameGeometry().width(), dpi) / 2;
    QCOMPARE(w.splitterTwips(), half);
    QCOMPARE(pane->width(), Twips::toPixels(half + Twips::PaneMargin, dpi));

    w.dragSplitterTo(w.mapToGlobal(QPoint(Twips::toPixels(3000, dpi), 100)));
    QVERIFY(qAbs(w.splitterTwips() - 3000) <= 15);

    // A real drag on the bar moves it too.
    auto *bar = w.findChild<QWidget *>(QStringLiteral("PictureSeparator"));
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(1, 10));
    const QPoint farLeft = w.mapToGlobal(QPoint(0, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(bar->mapFromGlobal(farLeft)), QPointF(farLeft),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(1, 10));
    QCOMPARE(w.splitterTwips(), Twips::TreeMinimum);
}

void TstUi::viewToggles()
{
    Program p;
    auto *pane = p.window->findChild<QWidget *>(QStringLiteral("PictureTree"));
    auto *toolbar = p.window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    QStatusBar *status = p.window->statusBar();
    const int width = pane->width();
    struct Toggle
    {
        const char *name;
        QWidget *part;
    } toggles[] = {{"MenuTree", pane}, {"MenuToolBar", toolbar}, {"MenuStatus", status}};
    for (const Toggle &t : toggles) {
        QAction *item = p.action(QString::fromLatin1(t.name));
        item->trigger();
        QVERIFY(!item->isChecked());
        QVERIFY(!t.part->isVisible());
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(t.part->isVisible());
    }
    QCOMPARE(pane->width(), width);
}

void TstUi::dialogsInChinese()
{
    mapAllPortsNowhere();
    Program p;
    p.chooseLanguage(1);

    FormLanguage language(p.state, p.window.get());
    QCOMPARE(language.windowTitle(), QStringLiteral("语言设置"));
    QCOMPARE(language.findChild<QLabel *>(QStringLiteral("LabelLanguage"))->text(),
             QStringLiteral("语言选择"));
    QCOMPARE(language.findChild<QPushButton *>(QStringLiteral("CommandOK"))->text(),
             QStringLiteral("确定(&O)"));
    QCOMPARE(language.findChild<QPushButton *>(QStringLiteral("CommandCancel"))->text(),
             QStringLiteral("取消(&C)"));
    auto *combo = language.findChild<QComboBox *>(QStringLiteral("ComboLanguage"));
    QCOMPARE(combo->itemText(0), QStringLiteral("英文"));
    QCOMPARE(combo->itemText(1), QStringLiteral("中文"));
    QCOMPARE(combo->currentIndex(), 1);

    QCOMPARE(dataFileFilters(), QStringList({QStringLiteral("对讲机数据文件(*.rdat)"),
                                             QStringLiteral("所有文件(*.*)")}));

    FormComPort com(p.state, p.window.get());
    QCOMPARE(com.windowTitle(), QStringLiteral("串口设置"));
    QCOMPARE(com.findChild<QLabel *>(QStringLiteral("LabelComPort"))->text(),
             QStringLiteral("串口"));
    QCOMPARE(com.findChild<QPushButton *>(QStringLiteral("CommandOK"))->text(),
             QStringLiteral("确定(&O)"));

    // Qt's own buttons follow too.
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));

    p.chooseLanguage(0);
    FormLanguage english(p.state, p.window.get());
    QCOMPARE(english.windowTitle(), QStringLiteral("Set Language"));
    QCOMPARE(english.findChild<QComboBox *>(QStringLiteral("ComboLanguage"))->itemText(1),
             QStringLiteral("Chinese"));
    QCOMPARE(dataFileFilters(), QStringList({QStringLiteral("Radio data file(*.rdat)"),
                                             QStringLiteral("All file(*.*)")}));
}

void TstUi::aboutWindow()
{
    Program p;
    auto texts = [](frmAbout &about) {
        auto label = [&](const char *name) {
            return about.findChild<QLabel *>(QString::fromLatin1(name))->text();
        };
        return QStringList({about.windowTitle(), label("lblTitle"), label("lblVersion"),
                            label("lblDescription"),
                            about.findChild<QPushButton *>(QStringLiteral("cmdOK"))->text()});
    };
    {
        frmAbout about(p.window.get());
        QCOMPARE(texts(about), QStringList({"About RQ73 Tune", "RQ73 Tune", "Version 1.0.7",
                                            "RQ73 Tune software is used for RQ73", "OK"}));
        QVERIFY(!about.findChild<QLabel *>(QStringLiteral("lblDisclaimer"))->text().isEmpty());
    }
    p.chooseLanguage(1);
    {
        frmAbout about(p.window.get());
        QCOMPARE(texts(about),
                 QStringList(
                     {QStringLiteral("关于 RQ73 Tune"), "RQ73 Tune", QStringLiteral("版本 1.0.7"),
                      QStringLiteral("RQ73 Tune软件用于 RQ73 机型"), QStringLiteral("确定")}));
    }
    // Help > About shows it modally; OK closes it.
    whenModal([](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmAbout"));
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });
    p.action(QStringLiteral("MenuAbout"))->trigger();
}

void TstUi::fileDialog()
{
    AppState state;
    ImageSession session(state);
    QTemporaryDir dir;

    // Save proposes the initial name; a name typed without extension gets ".rdat". The answer
    // only records what it saw, so a wrong dialog fails the test instead of hanging it.
    QString title, proposed, suffix;
    QStringList filters;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        title = modal->windowTitle();
        if (!dialog) {
            modal->close();
            return;
        }
        mode = dialog->acceptMode();
        suffix = dialog->defaultSuffix();
        filters = dialog->nameFilters();
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        proposed = name->text();
        dialog->setDirectory(dir.path());
        name->setText(QStringLiteral("radio7"));
        static_cast<QDialog *>(dialog)->accept();
    });
    const QString saved = ShowFileDialog(&session, nullptr, QStringLiteral("Save"),
                                         QStringLiteral("Save"), QStringLiteral("new.rdat"));
    QCOMPARE(title, QStringLiteral("Save"));
    QCOMPARE(mode, QFileDialog::AcceptSave);
    QCOMPARE(suffix, QStringLiteral("rdat"));
    QCOMPARE(filters, QStringList({"Radio data file(*.rdat)", "All file(*.*)"}));
    QCOMPARE(proposed, QStringLiteral("new.rdat"));
    QCOMPARE(saved, dir.filePath(QStringLiteral("radio7.rdat")));
    QCOMPARE(state.CurrentFileName, QStringLiteral("radio7.rdat"));

    // Cancel returns nothing and leaves the file name.
    whenModal([](QWidget *modal) { modal->close(); });
    QCOMPARE(ShowFileDialog(&session, nullptr, QStringLiteral("open"), QStringLiteral("Open"), {}),
             QString());
    QCOMPARE(state.CurrentFileName, QStringLiteral("radio7.rdat"));

    // Open accepts only existing files.
    QFile existing(dir.filePath(QStringLiteral("kept.rdat")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        mode = dialog->acceptMode();
        fileMode = dialog->fileMode();
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
            ->setText(existing.fileName());
        static_cast<QDialog *>(dialog)->accept();
    });
    QCOMPARE(ShowFileDialog(&session, nullptr, QStringLiteral("OPEN"), QStringLiteral("Open"), {}),
             existing.fileName());
    QCOMPARE(mode, QFileDialog::AcceptOpen);
    QCOMPARE(fileMode, QFileDialog::ExistingFile);
    QCOMPARE(state.CurrentFileName, QStringLiteral("kept.rdat"));
}

void TstUi::helpWindow()
{
    Program p;
    p.action(QStringLiteral("HelpKey"))->trigger();
    auto *browser = p.window->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
    QVERIFY(browser);
    QVERIFY(browser->isVisible());
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Read From Radio")));

    p.chooseLanguage(1);
    // The toolbar's Help button does what F1 does, now in Chinese.
    p.action(QStringLiteral("帮助"))->trigger();
    QVERIFY(browser->toPlainText().contains(QStringLiteral("从对讲机读出数据")));
    QCOMPARE(p.window->findChildren<QTextBrowser *>(QStringLiteral("HelpBrowser")).size(), 1);
}

void TstUi::fullReadFromMenu()
{
    Radio radio;
    QVERIFY(radio.isOpen());
    radio.memory() = patternMemory();
    QVERIFY(radio.registerAsComPort(4));
    SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("4"));
    Program p;
    p.state.image.WriteImageWord(5, 0x55AA55AA); // a gap word, never transferred

    ProcessView seen;
    closeProcessWhen(resultShown, seen);
    p.action(QStringLiteral("MenuRead"))->trigger();

    QCOMPARE(seen.caption, QStringLiteral("Read Data From Radio"));
    QCOMPARE(seen.progress, QStringLiteral("Complete:100%"));
    QCOMPARE(seen.result, QStringLiteral("Read Data OK"));
    QCOMPARE(seen.lines.first(), QStringLiteral("TX:54 55 4E 45 4 0 0 1 "));
    QVERIFY2(seen.lines.size() == 24, qPrintable(seen.lines.join(QLatin1Char('\n'))));
    QCOMPARE(radio.requests().size(), 12);
    QVERIFY(p.state.TransferSucceeded);
    QVERIFY(!p.state.TransferIsRead && !p.state.TuneDataRange && !p.state.SquelchDataRange);
    for (int w = 0; w < 280; ++w) {
        const qint32 expected
            = transferredWord(w) ? radio.memoryWord(w) : (w == 5 ? 0x55AA55AA : 0);
        QCOMPARE(p.state.image.ReadImageWord(w), expected);
    }
}

void TstUi::menuReadRefreshesOpenTuneWindows()
{
    Radio radio;
    radio.setMemoryWord(0, -42);    // frequency adjustment
    radio.setMemoryWord(65, 77);    // mid band squelch
    radio.setMemoryWord(168, 1234); // squelch level 6, on
    radio.setMemoryWord(276, 999);  // AM reference: never transferred
    QVERIFY(radio.registerAsComPort(4));
    SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("4"));
    Program p;
    p.state.image.WriteImageWord(276, 5);
    p.window->openFormTuneSq();
    p.window->openFormTune();
    QVERIFY(p.window->formTune() && p.window->formTuneSq());
    auto text = [](QWidget *window, const QString &name) {
        return window->findChild<QLineEdit *>(name)->text();
    };
    QCOMPARE(text(p.window->formTune(), QStringLiteral("TextFreqAdjust")), QStringLiteral("0"));

    ProcessView seen;
    closeProcessWhen(resultShown, seen);
    p.action(QStringLiteral("MenuRead"))->trigger();
    QCOMPARE(seen.result, QStringLiteral("Read Data OK"));

    // Both windows show the new image at once, without being activated again.
    QCOMPARE(text(p.window->formTune(), QStringLiteral("TextFreqAdjust")), QStringLiteral("-42"));
    QCOMPARE(text(p.window->formTune(), QStringLiteral("TextSq(1)")), QStringLiteral("77"));
    QCOMPARE(text(p.window->formTuneSq(), QStringLiteral("TextSq(40)")), QStringLiteral("1234"));
    QCOMPARE(text(p.window->formTuneSq(), QStringLiteral("TextSq(148)")), QStringLiteral("5"));
    // A refresh moves sliders but sends nothing live.
    QCoreApplication::processEvents();
    QVERIFY(radio.liveFrames().isEmpty());
}

void TstUi::fullWriteFromToolbarInChinese()
{
    Radio radio;
    QVERIFY(radio.registerAsComPort(4));
    SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("4"));
    Program p;
    QByteArray image = patternMemory();
    QVERIFY(p.state.image.assign(image));
    p.chooseLanguage(1);

    // The image came from nowhere, so the write asks first.
    QString title, question;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    ProcessView seen;
    whenModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        title = box->windowTitle();
        question = box->text();
        icon = box->icon();
        closeProcessWhen(resultShown, seen);
        box->button(QMessageBox::Ok)->click();
    });
    p.action(QStringLiteral("写频"))->trigger();

    QCOMPARE(title, QStringLiteral("RQ73 Tune"));
    QCOMPARE(icon, QMessageBox::Warning);
    QVERIFY2(question.startsWith(QStringLiteral("程序中的数据")), qPrintable(question));
    QCOMPARE(seen.caption, QStringLiteral("向对讲机写入数据"));
    QCOMPARE(seen.progress, QStringLiteral("完成进度:100%"));
    QCOMPARE(seen.result, QStringLiteral("写频成功"));
    QCOMPARE(radio.requests().size(), 12);
    for (int w = 0; w < 512; ++w)
        QCOMPARE(radio.memoryWord(w), transferredWord(w) ? p.state.image.ReadImageWord(w) : 0);
}

void TstUi::refreshAfterReadOnly()
{
    Radio radio;
    QVERIFY(radio.registerAsComPort(4));
    AppState state;
    state.ComPortNumber = 4;
    int refreshed = 0;
    for (bool isRead : {false, true}) {
        FormProcess process(
            state.image, isRead ? TransferKind::SquelchRead : TransferKind::SquelchWrite,
            state.ComPortNumber, [&] { ++refreshed; }, nullptr, answeringTimings());
        ProcessView seen;
        closeProcessWhen(resultShown, seen);
        process.exec();
        QCOMPARE(seen.progress, QStringLiteral("Complete:100%"));
        QCOMPARE(refreshed, isRead ? 1 : 0);
    }
    // Squelch transfers move words 128 to 275 in five blocks each.
    QCOMPARE(radio.requests().size(), 10);
    QCOMPARE(radio.requests().first().firstWord, 128);
}

void TstUi::missingPortIsReported()
{
    mapAllPortsNowhere();
    AppState state;
    prepareFullRead(state, 7);
    FormProcess process(state.image, TransferKind::FullRead, state.ComPortNumber, {}, nullptr,
                        fastTimings());
    QString text, reason;
    ProcessView seen;
    // The message comes up over the window as soon as it shows.
    whenModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box) {
            text = box->text();
            reason = box->informativeText();
        }
        whenModal([&](QWidget *process) {
            seen = ProcessView::of(process);
            process->close();
        });
        modal->close();
    });
    process.exec();
    QCOMPARE(text, QStringLiteral("Please reselect COM port!"));
    QVERIFY2(reason.contains(QStringLiteral("/nonexistent/rq73-test-port7"))
                 && reason.contains(QStringLiteral("does not exist")),
             qPrintable(reason));
    QVERIFY(seen.lines.isEmpty());
    QVERIFY(!seen.resultShown);
    QCOMPARE(seen.progress, QStringLiteral("Complete:0%"));
    QVERIFY(!process.succeeded());
}

void TstUi::deadRadioAsksRetryOrCancel()
{
    Radio radio;
    radio.setFaultPlan([](int) { return SimulatedRadio::Fault::Silent; });
    QVERIFY(radio.registerAsComPort(4));
    AppState state;
    prepareFullRead(state, 4);
    FormProcess process(state.image, TransferKind::FullRead, state.ComPortNumber, {}, nullptr,
                        fastTimings());
    QString question;
    ProcessView seen;
    whenModal([&](QWidget *window) {
        whenModal(
            [&, window](QWidget *box) {
                question = qobject_cast<QMessageBox *>(box)->text();
                seen = ProcessView::of(window);
                whenModal([](QWidget *process) { process->close(); });
                qobject_cast<QMessageBox *>(box)->button(QMessageBox::Cancel)->click();
            },
            window);
    });
    process.exec();
    QCOMPARE(question, QStringLiteral("Check connection!Retry or cancel?"));
    QCOMPARE(seen.lines.count(QStringLiteral("No Data")), 11);
    QCOMPARE(seen.lines.size(), 22);
    QCOMPARE(radio.requests().size(), 11);
    QVERIFY(!seen.resultShown);
    QVERIFY(!process.succeeded());
    // A cancelled transfer leaves no transfer settings behind.
}

void TstUi::retryAfterTheQuestionCarriesOn()
{
    Radio radio;
    radio.memory() = patternMemory();
    // The cable is loose for the first eleven tries, then the radio answers.
    radio.setFaultPlan(
        [](int i) { return i < 11 ? SimulatedRadio::Fault::Silent : SimulatedRadio::Fault::None; });
    QVERIFY(radio.registerAsComPort(4));
    AppState state;
    prepareFullRead(state, 4);
    // Once the radio answers, a time-out would be a repeat of its own; a little more room than
    // the shortest keeps a busy machine from adding one.
    TransferTimings timings = fastTimings();
    timings.replyTimeoutMs = 150;
    FormProcess process(state.image, TransferKind::FullRead, state.ComPortNumber, {}, nullptr,
                        timings);
    ProcessView seen;
    whenModal([&](QWidget *window) {
        whenModal(
            [&, window](QWidget *box) {
                closeProcessWhen(resultShown, seen);
                qobject_cast<QMessageBox *>(box)->button(QMessageBox::Retry)->click();
            },
            window);
    });
    process.exec();
    QCOMPARE(seen.result, QStringLiteral("Read Data OK"));
    QCOMPARE(seen.lines.count(QStringLiteral("No Data")), 11);
    QCOMPARE(radio.requests().size(), 11 + 12); // Retry carries on with the same block
    QVERIFY(process.succeeded());
    for (int w = 0; w < 280; ++w)
        QCOMPARE(state.image.ReadImageWord(w), transferredWord(w) ? radio.memoryWord(w) : 0);
}

void TstUi::escapeWaitsForTheTransfer()
{
    Radio radio;
    radio.setFaultPlan([](int) { return SimulatedRadio::Fault::Silent; });
    QVERIFY(radio.registerAsComPort(4));
    AppState state;
    prepareFullRead(state, 4);
    TransferTimings slow = fastTimings();
    slow.replyTimeoutMs = 2000;
    FormProcess process(state.image, TransferKind::FullWrite, state.ComPortNumber, {}, nullptr,
                        slow);
    bool openAfterEscape = false;
    bool closedByButton = false;
    whenModal([&](QWidget *window) {
        (void)QTest::qWaitFor([&] { return !radio.requests().isEmpty(); }, 5000);
        QTest::keyClick(window, Qt::Key_Escape);
        QCoreApplication::processEvents();
        openAfterEscape = window->isVisible();
        // The window's close button still stops it.
        window->close();
        closedByButton = !window->isVisible();
    });
    process.exec();
    QVERIFY(openAfterEscape);
    QVERIFY(closedByButton);
    QVERIFY(!process.succeeded());
    QCOMPARE(radio.requests().size(), 1);

    // Once the transfer is over, Escape closes the window as any dialog's.
    Radio good;
    QVERIFY(good.registerAsComPort(5));
    prepareFullRead(state, 5);
    FormProcess done(state.image, TransferKind::FullRead, state.ComPortNumber, {}, nullptr,
                     answeringTimings());
    whenModal([&](QWidget *window) {
        (void)QTest::qWaitFor([&] { return resultShown(window); }, 10000);
        QTest::keyClick(window, Qt::Key_Escape);
    });
    done.exec();
    QVERIFY(!done.isVisible());
    QVERIFY(done.succeeded());
}

void TstUi::writeAsksWithoutSource_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("hasSource");
    QTest::addColumn<bool>("answerOk");

    QTest::newRow("menu, fresh, cancel") << "MenuWrite" << false << false;
    QTest::newRow("toolbar, fresh, cancel") << "写频" << false << false;
    QTest::newRow("key, fresh, cancel") << "Ctrl+W" << false << false;
    QTest::newRow("menu, fresh, ok") << "MenuWrite" << false << true;
    QTest::newRow("menu, read before") << "MenuWrite" << true << true;
    QTest::newRow("key, read before") << "Ctrl+W" << true << true;
}

void TstUi::writeAsksWithoutSource()
{
    QFETCH(QString, command);
    QFETCH(bool, hasSource);
    QFETCH(bool, answerOk);

    Radio radio;
    radio.memory() = patternMemory();
    QVERIFY(radio.registerAsComPort(4));
    SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("4"));
    Program p;
    ProcessView seen;
    if (hasSource) {
        // A full read from the radio gives the image its source.
        closeProcessWhen(resultShown, seen);
        p.action(QStringLiteral("MenuRead"))->trigger();
        QVERIFY(p.state.ImageHasSource);
        radio.clearRecords();
    } else {
        QVERIFY(!p.state.ImageHasSource);
    }

    QString asked;
    whenModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            // No question: this is the transfer window.
            seen = {};
            (void)QTest::qWaitFor([&] { return resultShown(modal); }, 10000);
            seen = ProcessView::of(modal);
            modal->close();
            return;
        }
        asked = box->text();
        QCOMPARE(box->windowTitle(), QStringLiteral("RQ73 Tune"));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        if (answerOk)
            closeProcessWhen(resultShown, seen);
        box->button(answerOk ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    });
    if (command.startsWith(QStringLiteral("Ctrl"))) {
        p.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.window.get()));
        QTest::keyClick(p.window->formTune(), Qt::Key_W, Qt::ControlModifier);
    } else {
        p.action(command)->trigger();
    }

    QCOMPARE(asked.isEmpty(), hasSource);
    if (!asked.isEmpty())
        QVERIFY(asked.startsWith(QStringLiteral("The data in this program has not been read")));
    if (!answerOk) {
        QVERIFY(radio.receivedBytes().isEmpty());
        QVERIFY(!seen.resultShown);
        return;
    }
    QCOMPARE(seen.result, QStringLiteral("Write Data OK"));
    QCOMPARE(radio.requests().size(), 12);
}

void TstUi::helpKeyOverDialogs_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("about") << "MenuAbout";
    QTest::newRow("set com") << "MenuCom";
    QTest::newRow("set language") << "MenuLanguage";
    QTest::newRow("transfer window") << "MenuRead";
}

void TstUi::helpKeyOverDialogs()
{
    QFETCH(QString, command);
    mapAllPortsNowhere();
    Radio radio;
    radio.setFaultPlan([](int) { return SimulatedRadio::Fault::Silent; });
    QVERIFY(radio.registerAsComPort(1));
    Program p;
    bool helpShown = false;
    whenModal([&](QWidget *dialog) {
        QWidget *focus = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QTest::keyClick(focus, Qt::Key_F1);
        auto *browser = dialog->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
        helpShown = browser && browser->isVisible()
                    && browser->toPlainText().contains(QStringLiteral("Read From Radio"));
        // The help window belongs to the dialog, so the dialog does not hold it back.
        helpShown = helpShown && browser->window()->parentWidget() == dialog;
        qobject_cast<QDialog *>(dialog)->reject();
    });
    p.action(command)->trigger();
    QVERIFY(helpShown);
}

void TstUi::comDialogProbesOnlyExistingDevices()
{
    mapAllPortsNowhere();
    Radio radio;
    QVERIFY(radio.registerAsComPort(2));
    AppState state;
    state.ComPortNumber = 2;
    FormComPort dialog(state);
    auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("ComboComPort"));
    QCOMPARE(combo->count(), 1);
    QCOMPARE(combo->currentText(), QStringLiteral("COM2"));
    // Probing opened and closed the radio's port without a byte.
    QVERIFY(radio.receivedBytes().isEmpty());
    QSerialPort port;
    QVERIFY(openSerialPort(port, 2).ok());
}

void TstUi::malformedSettingsAreReported()
{
    const QString file = SettingsStore::location();
    {
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[General\nComPort=3\n");
    }
    QVERIFY(SettingsStore::isMalformed());
    QStringList messages;
    auto answer = [&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        messages << box->objectName() + QLatin1Char('|') + box->text();
        box->accept();
    };
    whenModal(answer);
    {
        Program p;
        QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 1, 10000);
        QCOMPARE(p.state.ComPortNumber, 1);
        QVERIFY(messages.first().startsWith(QStringLiteral("SettingsMalformed|")));
        QVERIFY(messages.first().contains(file));

        // A choice cannot be saved to such a file, and the user is told so; it still applies.
        whenModal([&](QWidget *dialog) {
            whenModal(answer, dialog);
            dialog->findChild<QComboBox *>(QStringLiteral("ComboLanguage"))->setCurrentIndex(1);
            dialog->findChild<QPushButton *>(QStringLiteral("CommandOK"))->click();
        });
        p.action(QStringLiteral("MenuLanguage"))->trigger();
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages.last().startsWith(QStringLiteral("SettingsSaveFailed|")));
        QVERIFY(messages.last().contains(file));
        QVERIFY(!p.state.LanguageIsEnglish);
    }
    // Said once per run: a second frame does not say it again.
    Program again;
    QTest::qWait(50);
    QCOMPARE(messages.size(), 2);
    QFile::remove(file);
}

void TstUi::closingMidTransferStopsIt()
{
    Radio radio;
    radio.memory() = patternMemory();
    radio.setPaced(true);
    // The sixth block never gets an answer, so the window is closed while a reply is awaited.
    radio.setFaultPlan(
        [](int i) { return i == 5 ? SimulatedRadio::Fault::Silent : SimulatedRadio::Fault::None; });
    QVERIFY(radio.registerAsComPort(4));
    AppState state;
    prepareFullRead(state, 4);
    // The radio answers the first five blocks: a time-out with room for a busy machine, short
    // enough to show that nothing follows the close.
    TransferTimings timings = fastTimings();
    timings.replyTimeoutMs = 300;
    auto process = std::make_unique<FormProcess>(
        state.image, TransferKind::FullRead, state.ComPortNumber, [] {}, nullptr, timings);
    whenModal([&](QWidget *window) {
        (void)QTest::qWaitFor([&] { return radio.requests().size() == 6; }, 10000);
        window->close();
    });
    process->exec();
    QVERIFY(!process->succeeded());
    process.reset();
    // Long enough for the time-outs the closed window would have had.
    QTest::qWait(3 * timings.replyTimeoutMs);
    QCOMPARE(radio.requests().size(), 6);
    // Blocks 0; 16-47; 48-51; 61-63; 64-77 arrived and stay; the rest was never read.
    for (int w : {0, 16, 47, 51, 61, 77})
        QCOMPARE(state.image.ReadImageWord(w), radio.memoryWord(w));
    for (int w : {80, 115, 128, 275})
        QCOMPARE(state.image.ReadImageWord(w), 0);
    // The port is free again.
    QSerialPort port;
    QVERIFY(openSerialPort(port, 4).ok());
}

void TstUi::comPortListAndChoice()
{
    mapAllPortsNowhere();
    Radio low, high;
    QVERIFY(low.registerAsComPort(5));
    QVERIFY(high.registerAsComPort(12));
    SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("12"));
    Program p;
    QCOMPARE(p.panel(2), QStringLiteral("COM12"));

    QStringList entries;
    QString selected, device;
    whenModal([&](QWidget *dialog) {
        auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("ComboComPort"));
        for (int i = 0; i < combo->count(); ++i)
            entries << combo->itemText(i);
        selected = combo->currentText();
        device = dialog->findChild<QLabel *>(QStringLiteral("LabelDevice"))->text();
        combo->setCurrentIndex(0);
        dialog->findChild<QPushButton *>(QStringLiteral("CommandOK"))->click();
    });
    p.action(QStringLiteral("串口"))->trigger();
    QCOMPARE(entries, QStringList({"COM5", "COM12"}));
    QCOMPARE(selected, QStringLiteral("COM12"));
    QCOMPARE(device, high.devicePath());
    QCOMPARE(p.state.ComPortNumber, 5);
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("ComPort")), QStringLiteral("5"));
    QCOMPARE(p.panel(2), QStringLiteral("COM5"));
}

void TstUi::comPortFallsBackToFirst()
{
    mapAllPortsNowhere();
    Radio radio;
    QVERIFY(radio.registerAsComPort(9));
    SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("3"));
    Program p;
    whenModal([](QWidget *dialog) {
        dialog->findChild<QPushButton *>(QStringLiteral("CommandCancel"))->click();
    });
    p.action(QStringLiteral("MenuCom"))->trigger();
    // The port in use is gone: the first one listed is used from now on, but not stored.
    QCOMPARE(p.state.ComPortNumber, 9);
    QCOMPARE(p.panel(2), QStringLiteral("COM9"));
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("ComPort")), QStringLiteral("3"));
}

void TstUi::comPortEmptyList()
{
    mapAllPortsNowhere();
    AppState state;
    state.ComPortNumber = 3;
    FormComPort dialog(state);
    auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("ComboComPort"));
    QCOMPARE(combo->count(), 0);
    QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("LabelDevice"))
                ->text()
                .startsWith(QStringLiteral("No port can be opened now.")));
    dialog.CommandOK_Click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(state.ComPortNumber, 3);
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("ComPort")), QString());
}

void TstUi::keysReachTheirCommands()
{
    mapAllPortsNowhere();
    Program p;
    p.state.ImageHasSource = true;
    // The keys work while the focus is inside the maximised tune data window.
    QWidget *inside = p.window->formTune();
    struct Key
    {
        int key;
        const char *caption;
    } keys[] = {{Qt::Key_W, "Write Data To Radio"}, {Qt::Key_R, "Read Data From Radio"}};
    for (const Key &k : keys) {
        // Shortcuts reach only the active window, which a closed dialog may have left unset.
        p.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.window.get()));
        QString caption;
        answerTransferWithoutPort(caption);
        QTest::keyClick(inside, Qt::Key(k.key), Qt::ControlModifier);
        QCOMPARE(caption, QString::fromLatin1(k.caption));
    }
    QString caption;
    answerTransferWithoutPort(caption);
    p.action(QStringLiteral("读取"))->trigger();
    QCOMPARE(caption, QStringLiteral("Read Data From Radio"));
    answerTransferWithoutPort(caption);
    p.action(QStringLiteral("写频"))->trigger();
    QCOMPARE(caption, QStringLiteral("Write Data To Radio"));

    p.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.window.get()));
    QTest::keyClick(inside, Qt::Key_F1);
    auto *browser = p.window->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
    QVERIFY(browser && browser->isVisible());

    // The help files looked for beside the program.
    const QString folder = QCoreApplication::applicationDirPath();
    QCOMPARE(Help::helpFilePath(true), QDir(folder).filePath(QStringLiteral("Tune_e.chm")));
    QCOMPARE(Help::helpFilePath(false), QDir(folder).filePath(QStringLiteral("RQ73 Tune_c.chm")));
}

QTEST_MAIN(TstUi)
#include "tst_ui.moc"
