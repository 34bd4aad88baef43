// Edits the technician can trust, through the real windows: both windows share one live link,
// the wheel keys nothing, unsaved changes are asked about, and the status bar tells the link.
#include "datafile.h"
#include "focusmark.h"
#include "formtune.h"
#include "formtunesq.h"
#include "imagesession.h"
#include "livestatuspanel.h"
#include "mdiformmain.h"
#include "portopen.h"
#include "simulatedradio.h"
#include "testdata.h"
#include "testprogram.h"
#include "testsettings.h"
#include "tunevaluerow.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSerialPort>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QWheelEvent>

using TestData::hex;

namespace {

constexpr int RadioPort = 6;
constexpr int WaitMs = 20000;

QString liveText(TestProgram &p)
{
    return p.window->statusBar()->findChild<LiveStatusPanel *>()->text();
}

} // namespace

class TstEdits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void bothWindowsSendAtOnce();
    void wheelOverUnfocusedControlsSendsNothing();
    void unsavedChanges_data();
    void unsavedChanges();
    void statusBarTellsTheLink_data();
    void statusBarTellsTheLink();
    void changedValueIsMarkedAndReverts();
    void focusIsFramed();
    void stopTransmitting_data();
    void stopTransmitting();
    void squelchReadFillsOnlyTheSquelchTable();
    void everyWriteAsksForAnEmptyImage_data();
    void everyWriteAsksForAnEmptyImage();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SimulatedRadio> m_radio;
};

void TstEdits::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
}

void TstEdits::init()
{
    // The write as the original program has it; the backed-up, previewed write is tested apart.
    ImageSession::setSafeWriteEnabled(false);
    m_radio = std::make_unique<SimulatedRadio>();
    QVERIFY(m_radio->registerAsComPort(RadioPort));
}

void TstEdits::cleanup()
{
    ModalHelper::verifyAllAnswered();
    m_radio.reset();
}

void TstEdits::bothWindowsSendAtOnce()
{
    TestProgram p(RadioPort);
    p.window->openFormTuneSq();
    FormTuneSq *sq = p.window->formTuneSq();
    FormTune *tune = p.window->formTune();
    p.state.image.WriteImageWord(130, 9);
    p.state.image.WriteImageWord(131, 4);
    // In the same moment: a value of the tune data window and a Test of the squelch window.
    tune->row(QStringLiteral("volume.pa"))->stepUp();
    sq->CommandTest_Click(1);
    QVERIFY(p.window->session().waitForLiveLink(WaitMs));
    QCOMPARE(m_radio->liveFrames().size(), 2);
    QCOMPARE(m_radio->liveFrames().at(0).frame, hex("54554E450245000101000000"));
    QCOMPARE(m_radio->liveFrames().at(1).frame, hex("54554E450682000209000000"
                                                    "04000000"));
    QVERIFY(p.window->session().unsentWords().isEmpty());
}

void TstEdits::wheelOverUnfocusedControlsSendsNothing()
{
    TestProgram p(RadioPort);
    FormTune *tune = p.window->formTune();
    TuneValueRow *row = tune->row(QStringLiteral("am.low.low.power"));
    tune->row(QStringLiteral("freq-adjust"))->text()->setFocus();
    for (QWidget *target :
         {static_cast<QWidget *>(row->slider()), static_cast<QWidget *>(row->text())}) {
        QVERIFY(!target->hasFocus());
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        for (int notch = 0; notch < 5; ++notch) {
            QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(target, &wheel);
        }
    }
    QCoreApplication::processEvents();
    QCOMPARE(row->slider()->value(), 0);
    QCOMPARE(p.state.image.ReadImageWord(row->value().wordAddress), 0);
    QVERIFY(!p.window->session().liveLinkBusy());
    QVERIFY(m_radio->liveFrames().isEmpty());

    // A focused slider keeps its wheel.
    row->slider()->setFocus();
    const QPointF at(row->slider()->width() / 2.0, row->slider()->height() / 2.0);
    QWheelEvent wheel(at, row->slider()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(row->slider(), &wheel);
    QVERIFY(row->slider()->value() != 0);
    QVERIFY(p.window->session().waitForLiveLink(WaitMs));
    QCOMPARE(m_radio->liveFrames().size(), 1);
}

// Command × image state × answer → question, image, file.
void TstEdits::unsavedChanges_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("answer"); // "", "save", "discard", "cancel", "failed save"
    QTest::addColumn<bool>("goesOn");

    for (const char *command : {"new", "open", "exit", "read"}) {
        auto row = [&](const char *name, bool changed, const char *answer, bool goesOn) {
            QTest::addRow("%s, %s", command, name)
                << QString::fromLatin1(command) << changed << QString::fromLatin1(answer) << goesOn;
        };
        row("clean", false, "", true);
        row("save", true, "save", true);
        row("discard", true, "discard", true);
        row("cancel", true, "cancel", false);
        row("failed save", true, "failed save", false);
    }
}

void TstEdits::unsavedChanges()
{
    QFETCH(QString, command);
    QFETCH(bool, changed);
    QFETCH(QString, answer);
    QFETCH(bool, goesOn);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("radio.rdat"));
    RadioImage start;
    start.WriteImageWord(69, 20);
    QVERIFY(WriteToFile(path, start, 5).ok());
    TestProgram p(RadioPort);
    ImageSession &session = p.window->session();
    QVERIFY(session.open(path).ok());
    if (changed) {
        session.setWord(69, 33);
        session.commitEdit({69}, ImageSession::LiveKind::None);
    }
    if (answer == QLatin1String("failed save"))
        QVERIFY(QFile::remove(path) && QDir().mkdir(path)); // a folder where the file was

    QString asked;
    bool fileDialogShown = false;
    // Open's file dialog comes after the question, if the command goes on; it is cancelled.
    auto answerFileDialog = [&](QWidget *ignore) {
        whenModal(
            [&](QWidget *dialog) {
                fileDialogShown = dialog->objectName() == QLatin1String("FileDialog");
                dialog->close();
            },
            ignore);
    };
    auto answerQuestion = [&] {
        whenModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            asked = modal->objectName();
            if (asked != QLatin1String("UnsavedChanges")) {
                modal->close();
                return;
            }
            if (answer == QLatin1String("failed save"))
                whenModal([](QWidget *error) { error->close(); }, modal);
            else if (command == QLatin1String("open") && goesOn)
                answerFileDialog(modal);
            box->button(answer == QLatin1String("cancel")    ? QMessageBox::Cancel
                        : answer == QLatin1String("discard") ? QMessageBox::Discard
                                                             : QMessageBox::Save)
                ->click();
        });
    };
    if (changed)
        answerQuestion();

    bool wentOn = false;
    if (command == QLatin1String("open")) {
        if (!changed)
            answerFileDialog(nullptr);
        p.action(QStringLiteral("MenuOpen"))->trigger();
        wentOn = fileDialogShown;
    } else if (command == QLatin1String("new")) {
        p.action(QStringLiteral("MenuNew"))->trigger();
        wentOn = session.source() == ImageSource::New;
    } else if (command == QLatin1String("exit")) {
        p.window->close();
        wentOn = !p.window->isVisible();
    } else {
        m_radio->setFaultPlan([](int) { return SimulatedRadio::Fault::None; });
        if (goesOn) {
            whenModal(
                [](QWidget *process) {
                    (void)QTest::qWaitFor(
                        [&] {
                            return !process->findChild<QLineEdit *>(QStringLiteral("TextShow"))
                                        ->isHidden();
                        },
                        WaitMs);
                    process->close();
                },
                nullptr, WaitMs);
        }
        p.action(QStringLiteral("MenuRead"))->trigger();
        wentOn = !m_radio->requests().isEmpty();
    }
    QCOMPARE(asked, changed ? QStringLiteral("UnsavedChanges") : QString());
    QCOMPARE(wentOn, goesOn);
    if (answer == QLatin1String("save")) {
        RadioImage saved;
        std::int32_t tx = 0;
        QVERIFY(ReadFromFile(path, saved, tx).ok());
        QCOMPARE(saved.ReadImageWord(69), 33);
    }
    if (!goesOn)
        QCOMPARE(p.state.image.ReadImageWord(69), 33);
    if (command == QLatin1String("exit") && wentOn)
        p.window->show();
}

void TstEdits::statusBarTellsTheLink_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("text");
    QTest::newRow("sent, English")
        << true << false << QStringLiteral("TX 6 s  Sent: Frequency Adjust = \u22125");
    QTest::newRow("in use, English")
        << true << true
        << QStringLiteral("Not sent: Frequency Adjust = \u22125 — the port is in use by another "
                          "program");
    QTest::newRow("sent, Chinese")
        << false << false << QStringLiteral("发射 6 秒  已发送：频率校准 = \u22125");
    QTest::newRow("in use, Chinese")
        << false << true << QStringLiteral("未发送：频率校准 = \u22125 — 串口被其他程序占用");
}

void TstEdits::statusBarTellsTheLink()
{
    QFETCH(bool, english);
    QFETCH(bool, held);
    QFETCH(QString, text);
    TestProgram p(RadioPort, english);
    QSerialPort holder;
    if (held)
        QVERIFY(openSerialPort(holder, RadioPort).ok());
    TuneValueRow *row = p.window->formTune()->row(QStringLiteral("freq-adjust"));
    row->text()->setFocus();
    row->text()->selectAll();
    QTest::keyClicks(row->text(), QStringLiteral("-5"));
    QTest::keyClick(row->text(), Qt::Key_Return);
    QVERIFY(p.window->session().waitForLiveLink(WaitMs));
    QCOMPARE(liveText(p), text);
    QCOMPARE(row->isMarkedUnsent(), held);
    // RQ73_SHOT_DIR=folder keeps a picture of the status bar for a look by eye.
    if (const QString shots = qEnvironmentVariable("RQ73_SHOT_DIR"); !shots.isEmpty())
        p.window->grab().save(QDir(shots).filePath(
            QStringLiteral("status-%1.png").arg(QString::fromLatin1(QTest::currentDataTag()))));
    QCOMPARE(row->text()->accessibleDescription().contains(
                 held ? (english ? QStringLiteral("Not sent") : QStringLiteral("未发送"))
                      : QStringLiteral("@")),
             held);
    // The four panels stay in view.
    QVERIFY(
        p.window->statusBar()->findChild<QLabel *>(QStringLiteral("StatusPanel2"))->isVisible());
    if (held) {
        holder.close();
        p.action(QStringLiteral("MenuResend"))->trigger();
        QVERIFY(p.window->session().waitForLiveLink(WaitMs));
        QVERIFY(!row->isMarkedUnsent());
        QCOMPARE(m_radio->liveFrames().size(), 1);
    }
}

// An arrow key on a focused slider keys the transmitter: whichever control has the focus is
// framed plainly, whatever the style.
void TstEdits::focusIsFramed()
{
    TestProgram p(RadioPort);
    p.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.window.get()));
    FormTune *form = p.window->formTune();
    auto *mark = form->findChild<FocusMark *>(QStringLiteral("FocusMark"));
    QVERIFY(mark);
    TuneValueRow *row = form->row(QStringLiteral("freq-adjust"));
    for (QWidget *control : {static_cast<QWidget *>(row->slider()),
                             static_cast<QWidget *>(row->text())}) {
        control->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(mark->target(), control);
        QVERIFY(mark->isVisible());
        QCOMPARE(mark->parentWidget(), control->parentWidget());
        QVERIFY(mark->geometry().contains(control->geometry()));
        QVERIFY(mark->geometry() != control->geometry());
    }
    // RQ73_SHOT_DIR=folder keeps a picture of the framed slider for a look by eye.
    row->slider()->setFocus(Qt::TabFocusReason);
    if (const QString shots = qEnvironmentVariable("RQ73_SHOT_DIR"); !shots.isEmpty())
        form->grab().save(QDir(shots).filePath(QStringLiteral("focus.png")));
    // Out of the window, nothing is framed.
    p.window->findChild<QTreeWidget *>()->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(!mark->isVisible());
    QVERIFY(!mark->target());
}

// The countdown is what the radio was told: a keyed frame's own seconds, until the frame that
// unkeys goes out. Esc in the tune window, the status bar's button and the Program menu send
// the keyed word again with command 2; Revert never keys.
void TstEdits::stopTransmitting_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc in the tune window") << "esc";
    QTest::newRow("status bar") << "button";
    QTest::newRow("Program menu") << "menu";
    QTest::newRow("Revert") << "revert";
    QTest::newRow("closing the tune window") << "close";
}

void TstEdits::stopTransmitting()
{
    QFETCH(QString, how);
    TestProgram p(RadioPort);
    auto *button = p.window->statusBar()->findChild<QToolButton *>(
        QStringLiteral("StopTransmitting"));
    QAction *menu = p.action(QStringLiteral("MenuStopTx"));
    QVERIFY(button && menu);
    QVERIFY(!button->isVisible());
    QVERIFY(!menu->isEnabled());
    QCOMPARE(button->accessibleName(), QStringLiteral("Stop Transmitting"));

    // Another transmit time than the window's: a frame of 3 s shows 3 s.
    TuneValueRow *row = p.window->formTune()->row(QStringLiteral("freq-adjust"));
    p.window->session().sendTuneValue(0, 2);
    QVERIFY(p.window->session().waitForLiveLink(WaitMs));
    QCOMPARE(liveText(p), QStringLiteral("TX 3 s  Sent: Frequency Adjust = 0"));
    QVERIFY(button->isVisible());
    QVERIFY(menu->isEnabled());

    row->text()->setFocus();
    row->text()->selectAll();
    QTest::keyClicks(row->text(), QStringLiteral("-5"));
    QTest::keyClick(row->text(), Qt::Key_Return);
    QVERIFY(p.window->session().waitForLiveLink(WaitMs));
    QCOMPARE(liveText(p), QStringLiteral("TX 6 s  Sent: Frequency Adjust = \u22125"));
    m_radio->clearRecords();

    if (how == QLatin1String("esc"))
        QTest::keyClick(row->text(), Qt::Key_Escape);
    else if (how == QLatin1String("button"))
        button->click();
    else if (how == QLatin1String("menu"))
        menu->trigger();
    else if (how == QLatin1String("close"))
        p.window->formTune()->parentWidget()->close();
    else
        row->revertTo(0);
    QVERIFY(p.window->session().waitForLiveLink(WaitMs));
    QCOMPARE(m_radio->liveFrames().size(), 1);
    QCOMPARE(m_radio->liveFrames().first().frame,
             how == QLatin1String("revert") ? hex("54554E450200000100000000")
                                            : hex("54554E4502000001FBFFFFFF"));
    QCOMPARE(liveText(p), how == QLatin1String("revert")
                              ? QStringLiteral("Sent: Frequency Adjust = 0")
                              : QStringLiteral("Sent: Frequency Adjust = \u22125"));
    QVERIFY(!button->isVisible());
    QVERIFY(!menu->isEnabled());

    // Undo of the revert puts −5 back, and does not key either.
    if (how == QLatin1String("revert")) {
        m_radio->clearRecords();
        p.action(QStringLiteral("MenuUndo"))->trigger();
        QVERIFY(p.window->session().waitForLiveLink(WaitMs));
        QCOMPARE(m_radio->liveFrames().first().frame, hex("54554E4502000001FBFFFFFF"));
        QVERIFY(!button->isVisible());
    }
}

void TstEdits::changedValueIsMarkedAndReverts()
{
    TestProgram p(RadioPort);
    TuneValueRow *row = p.window->formTune()->row(QStringLiteral("volume.pa"));
    row->stepUp();
    row->stepUp();
    QVERIFY(row->isMarkedChanged());
    QCOMPARE(row->text()->toolTip(), QStringLiteral("was 0"));
    QCOMPARE(p.window->statusBar()->findChild<QLabel *>(QStringLiteral("ModifiedPanel"))->text(),
             QStringLiteral("Modified"));
    row->revertTo(0);
    QVERIFY(!row->isMarkedChanged());
    QCOMPARE(p.window->session().undoStack()->count(), 3);
    // Undo from the Edit menu puts the step back, with its frame.
    QVERIFY(p.window->session().waitForLiveLink(WaitMs));
    m_radio->clearRecords();
    p.action(QStringLiteral("MenuUndo"))->trigger();
    QCOMPARE(row->text()->text(), QStringLiteral("2"));
    QVERIFY(p.window->session().waitForLiveLink(WaitMs));
    QCOMPARE(m_radio->liveFrames().size(), 1);
    QCOMPARE(m_radio->liveFrames().first().frame, hex("54554E450245000102000000"));
}

// Every command that writes the radio asks the same question while the image was never filled
// from a file or a radio; a Cancel sends nothing.
void TstEdits::everyWriteAsksForAnEmptyImage_data()
{
    QTest::addColumn<QString>("entry");
    for (const char *entry : {"menu", "toolbar", "Ctrl+W", "Write TuneData", "Write Tune"})
        QTest::newRow(entry) << QString::fromLatin1(entry);
}

void TstEdits::everyWriteAsksForAnEmptyImage()
{
    QFETCH(QString, entry);
    TestProgram p(RadioPort);
    p.window->openFormTuneSq();
    QStringList asked;
    // The tune windows ask their own question first; the empty image's question follows.
    const bool ownQuestion = entry.startsWith(QLatin1String("Write "));
    auto answer = [&asked](QWidget *modal) {
        asked << modal->objectName();
        auto *box = qobject_cast<QMessageBox *>(modal);
        box->button(modal->objectName() == QLatin1String("WriteWithoutSource") ? QMessageBox::Cancel
                                                                               : QMessageBox::Ok)
            ->click();
    };
    whenModal([&](QWidget *first) {
        if (ownQuestion)
            whenModal(answer, first);
        answer(first);
    });
    if (entry == QLatin1String("menu")) {
        p.action(QStringLiteral("MenuWrite"))->trigger();
    } else if (entry == QLatin1String("toolbar")) {
        p.action(QStringLiteral("写频"))->trigger();
    } else if (entry == QLatin1String("Ctrl+W")) {
        p.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.window.get()));
        QTest::keyClick(p.window->formTune(), Qt::Key_W, Qt::ControlModifier);
    } else if (entry == QLatin1String("Write TuneData")) {
        p.window->formTune()->CommandWrite_Click();
    } else {
        p.window->formTuneSq()->CommandWrite_Click();
    }
    QCOMPARE(asked.last(), QStringLiteral("WriteWithoutSource"));
    QCOMPARE(asked.size(), ownQuestion ? 2 : 1);
    QVERIFY(m_radio->requests().isEmpty());
}

// After a squelch read, and nothing else since start-up, the squelch table is the radio's: its
// own write asks nothing more, and a write of everything says what is true.
void TstEdits::squelchReadFillsOnlyTheSquelchTable()
{
    TestProgram p(RadioPort);
    p.window->openFormTuneSq();
    auto closeWhenDone = [](QWidget *process) {
        (void)QTest::qWaitFor(
            [&] {
                return process->findChild<QLineEdit *>(QStringLiteral("TextShow"))
                    ->isVisibleTo(process);
            },
            10000);
        process->close();
    };
    {
        ModalScript script({press(QMessageBox::Ok), closeWhenDone, press(QMessageBox::Ok)});
        p.window->formTuneSq()->CommandRead_Click();
        QVERIFY(script.allAnswered());
        QCOMPARE(script.unexpected(), QStringList());
    }
    QVERIFY(p.window->session().onlySquelchFromRadio());

    Seen asked;
    {
        ModalScript script({press(QMessageBox::Cancel, &asked)});
        p.action(QStringLiteral("MenuWrite"))->trigger();
        QVERIFY(script.allAnswered());
    }
    QCOMPARE(asked.objectName, QStringLiteral("WriteWithoutSource"));
    QCOMPARE(asked.text,
             QStringLiteral("Only the squelch table of this data has been read from a radio since "
                            "the program started or since New; the rest was never read or loaded. "
                            "Writing it replaces the radio's calibration with these values.\n\n"
                            "Write to the radio anyway?"));

    m_radio->clearRecords();
    {
        ModalScript script({press(QMessageBox::Ok), closeWhenDone, press(QMessageBox::Ok)});
        p.window->formTuneSq()->CommandWrite_Click();
        QVERIFY(script.allAnswered());
        QCOMPARE(script.unexpected(), QStringList());
    }
    QCOMPARE(m_radio->requests().size(), 5);
}

QTEST_MAIN(TstEdits)
#include "tst_edits.moc"
