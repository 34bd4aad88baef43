#include "appstate.h"
#include "formtune.h"
#include "imagesession.h"
#include "livetuneframe.h"
#include "livetunesender.h"
#include "mdiformmain.h"
#include "modalhelper.h"
#include "settingsstore.h"
#include "testdata.h"
#include "testprogram.h"
#include "testsettings.h"
#include "translations.h"
#include "tunevaluerow.h"
#include "tunevaluetable.h"
#include "tunewindowhost.h"

#ifdef RQ73_WITH_RADIO
#include "demoimage.h"
#include "simulatedradio.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using TuneValues::Group;

using TestData::hex;

namespace {

constexpr int SimCom = 5;
// A COM number that leads to no device at all.
constexpr int DeadCom = 6;
constexpr int WaitMs = 10000;

// The frame's part of a window: the window list, check marks and transfers go nowhere, which is
// all a window needs outside the frame's own tests.
class BareHost : public TuneWindowHost
{
public:
    void childLoaded(TuneChildWindow &) override {}
    void childUnloaded(TuneChildWindow &) override {}
    void childActivated(TuneChildWindow &) override {}
    void recordChildWindowState(int) override {}
    bool runTransfer(TransferKind, bool) override { return false; }
};

struct Window
{
    AppState state;
    ImageSession session{state};
    BareHost host;
    std::unique_ptr<FormTune> form;
    // Lets the window's frames go out before it goes, so no sender outlives the test's radio.
    bool settleOnClose = true;

    explicit Window(int comPort = SimCom)
    {
        state.ComPortNumber = comPort;
        form = std::make_unique<FormTune>(session, host);
        form->resize(1100, 700);
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->AnalyseTuneData();
    }

    ~Window()
    {
        if (!form)
            return;
        if (!settleOnClose) {
            form.reset();
            return;
        }
        session.waitForLiveLink(WaitMs);
        form.reset();
    }

    TuneValueRow *row(const char *name) const { return form->row(QString::fromLatin1(name)); }
    int word(const char *name) const
    {
        return state.image.ReadImageWord(row(name)->value().wordAddress);
    }
};

#ifdef RQ73_WITH_RADIO
// Types text into a value box and presses Enter, as the technician does.
void typeAndEnter(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

QPoint handleCentre(QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.upsideDown = false;
    option.rect = slider->rect();
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center();
}

QList<qint32> frameValues(const SimulatedRadio &radio, int word)
{
    QList<qint32> values;
    for (const SimulatedRadio::LiveFrame &f : radio.liveFrames()) {
        if (f.wordAddress == word)
            values << f.words.value(0);
    }
    return values;
}

// Output stopped on the radio's terminal: what the tool writes stays with it until release(),
// as on a line that cannot drain.
class HeldLine
{
public:
    explicit HeldLine(const QString &device)
        : m_fd(::open(qPrintable(device), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        if (m_fd >= 0)
            ::tcflow(m_fd, TCOOFF);
    }
    ~HeldLine() { release(); }
    bool isHeld() const { return m_fd >= 0; }
    void release()
    {
        if (m_fd < 0)
            return;
        ::tcflow(m_fd, TCOON);
        ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

#endif

} // namespace

class TstTuning : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void valueTable_data();
    void valueTable();
    void valueTableCoversTheWordMap();
    void transmitWordRule_data();
    void transmitWordRule();
    void frameBytes_data();
    void frameBytes();

#ifdef RQ73_WITH_RADIO
    void examplesReachTheRadio_data();
    void examplesReachTheRadio();
    void oneFramePerCommittedChange_data();
    void oneFramePerCommittedChange();
    void dragFollowsInImageAndBox();
    void clamping_data();
    void clamping();
    void unchangedBoxSendsNothing();
#ifdef RQ73_WITH_RADIO
    void untouchedBoxKeepsTheStoredWord();
#endif
    void badTextIsLikeAnEmptyBox_data();
    void badTextIsLikeAnEmptyBox();
#endif
    void keyFilterAndSelectAfterEnter();
#ifdef RQ73_WITH_RADIO
    void upDownLimits();
    void upDownWorksOnTheStoredWord();
    void refreshShowsAndSendsNothing();
    void transmitTime_data();
    void transmitTime();
#endif
    void squelchLevelsAreShownOnly();

#ifdef RQ73_WITH_RADIO
    void overlappingSendsEndWithTheLatestValue();
    void everyByteArrivesPaced();
    void noPortIsSilent();
    void portThatNeverDrainsIsGivenUp();
    void closingTheWindowStillDeliversTheFrame();
    void squelchTestFrameOnTheWire();
#endif

    void layoutAndCaptions_data();
    void layoutAndCaptions();
    void accessibleNamesAndBuddies_data();
    void accessibleNamesAndBuddies();
    void tabsShowTheirFrames();
    void tabRowsAreBuiltWhenFirstNeeded_data();
    void tabRowsAreBuiltWhenFirstNeeded();
#ifdef RQ73_WITH_RADIO
    void readAndWriteButtons();
    void demoImageFillsEveryGroup();
#endif

private:
    QTemporaryDir m_dir;
#ifdef RQ73_WITH_RADIO
    std::unique_ptr<SimulatedRadio> m_radio;
#endif
    Translations *m_translations = nullptr;
};

void TstTuning::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
    QSettings settings = SettingsStore::openSettings();
    // Where no radio registers itself, a change goes nowhere rather than to a real port.
    for (const int com : {SimCom, DeadCom})
        settings.setValue(QStringLiteral("Ports/COM%1").arg(com),
                          QStringLiteral("/nonexistent/rq73-tuning-port"));
    m_translations = new Translations(this);
}

void TstTuning::init()
{
    // The write as the original program has it; the backed-up, previewed write is tested apart.
    ImageSession::setSafeWriteEnabled(false);
    m_translations->apply(true);
#ifdef RQ73_WITH_RADIO
    m_radio = std::make_unique<SimulatedRadio>();
    QVERIFY2(m_radio->isOpen(), qPrintable(m_radio->errorString()));
    QVERIFY(m_radio->registerAsComPort(SimCom));
#endif
}

void TstTuning::cleanup()
{
    ModalHelper::verifyAllAnswered();
#ifdef RQ73_WITH_RADIO
    m_radio.reset();
#endif
    m_translations->apply(true);
}

// ---- the value table, as data ----

void TstTuning::valueTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("shownLow");
    QTest::addColumn<int>("shownHigh");
    QTest::addColumn<int>("editLow");
    QTest::addColumn<int>("editHigh");
    QTest::addColumn<bool>("transmit");
    QTest::addColumn<QString>("control");

    auto row = [](const char *name, int word, int sl, int sh, int el, int eh, bool tx,
                  const char *control) {
        QTest::newRow(name) << QString::fromLatin1(name) << word << sl << sh << el << eh << tx
                            << QString::fromLatin1(control);
    };
    row("freq-adjust", 0, -300, 300, -300, 300, true, "TextFreqAdjust");
    row("fm.low.low.power", 16, 0, 100, 0, 100, true, "TextTxPower(0)");
    row("fm.low.low.deviation", 17, 0, 255, 0, 255, true, "TextTxDeviation(0)");
    row("fm.mid.high.deviation", 27, 0, 255, 0, 255, true, "TextTxDeviation(5)");
    row("fm.high.high.deviation", 33, 0, 255, 0, 255, true, "TextTxDeviation(8)");
    row("am.low.low.power", 34, 0, 100, 0, 100, true, "TextTxPower(9)");
    row("am.low.low.deviation", 35, 0, 100, 0, 100, true, "TextTxDeviation(9)");
    row("am.mid.low.deviation", 41, 0, 100, 0, 100, true, "TextTxDeviation(12)");
    row("am.high.high.deviation", 51, 0, 100, 0, 100, true, "TextTxDeviation(17)");
    row("usb.low.low.power", 80, 0, 100, 0, 100, true, "TextTxPower(18)");
    row("usb.mid.low.power", 86, 0, 100, 0, 100, true, "TextTxPower(21)");
    row("usb.mid.high.power", 90, 0, 100, 0, 100, true, "TextTxPower(23)");
    row("lsb.low.low.power", 98, 0, 100, 0, 100, true, "TextTxPower(27)");
    row("lsb.high.high.deviation", 115, 0, 100, 0, 100, true, "TextTxDeviation(35)");
    row("bps.low", 61, 10, 100, 0, 100, true, "TextTxBPS(0)");
    row("bps.high", 63, 10, 100, 0, 100, true, "TextTxBPS(2)");
    row("sq.low", 64, 0, 100, 0, 100, false, "TextSq(0)");
    row("sq.mid", 65, 0, 100, 0, 100, false, "TextSq(1)");
    row("sq.high", 66, 0, 100, 0, 100, false, "TextSq(2)");
    row("volume.am", 67, 0, 100, 0, 100, false, "TextVolume(0)");
    row("volume.pa", 69, 0, 100, 0, 100, false, "TextVolume(2)");
    row("volume.tb", 70, 0, 100, 0, 100, false, "TextVolume(3)");
    row("volume.usb", 76, 0, 100, 0, 100, false, "TextVolume(4)");
    row("volume.lsb", 77, 0, 100, 0, 100, false, "TextVolume(5)");
    row("mic.fm", 71, 0, 100, 0, 100, true, "TextMic(0)");
    row("mic.lsb", 74, 0, 100, 0, 100, true, "TextMic(3)");
    row("mic.pa", 75, 0, 100, 0, 100, false, "TextMic(4)");
    row("level.asq1-on", 128, 0, 100, 0, 100, false, "TextASq(0)");
    row("level.asq1-off", 129, 0, 100, 0, 100, false, "TextASq(1)");
    row("level.sq1-on", 158, 0, 100, 0, 100, false, "TextFSq(0)");
    row("level.sq1-off", 159, 0, 100, 0, 100, false, "TextFSq(1)");
}

void TstTuning::valueTable()
{
    QFETCH(QString, name);
    const TuneValues::Value *v = TuneValues::byName(name);
    QVERIFY(v);
    QTEST(v->wordAddress, "word");
    QTEST(v->shownLow, "shownLow");
    QTEST(v->shownHigh, "shownHigh");
    QTEST(v->editLow, "editLow");
    QTEST(v->editHigh, "editHigh");
    QTEST(v->transmit, "transmit");
    QTEST(TuneValues::controlName(*v, "Text"), "control");
}

void TstTuning::valueTableCoversTheWordMap()
{
    // The words of the window: 0, the two power and deviation tables, 61 to 77 and the four
    // squelch levels, each exactly once.
    QSet<int> expected{0, 128, 129, 158, 159};
    for (int w = 16; w <= 51; ++w)
        expected << w;
    for (int w = 61; w <= 77; ++w)
        expected << w;
    for (int w = 80; w <= 115; ++w)
        expected << w;

    QSet<int> words;
    QSet<QString> names;
    int editable = 0;
    for (const TuneValues::Value &v : TuneValues::all()) {
        QVERIFY2(!words.contains(v.wordAddress), qPrintable(v.name));
        words << v.wordAddress;
        names << v.name;
        QVERIFY(!v.name.isEmpty());
        QCOMPARE(TuneValues::byName(v.name), &v);
        QCOMPARE(TuneValues::find(v.group, v.index), &v);
        if (v.editable) {
            ++editable;
            QCOMPARE(v.transmit, LiveTune::isTransmitWord(v.wordAddress));
        }
    }
    QCOMPARE(words, expected);
    QCOMPARE(names.size(), TuneValues::all().size());
    QCOMPARE(editable, 1 + 72 + 3 + 3 + 6 + 5);
    QVERIFY(!TuneValues::byName(QStringLiteral("no.such.value")));
}

void TstTuning::transmitWordRule_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<bool>("transmit");
    const QList<std::pair<int, bool>> cases
        = {{0, true},   {15, true},  {51, true},  {63, true},   {64, false},
           {66, false}, {70, false}, {71, true},  {74, true},   {75, false},
           {79, false}, {80, true},  {127, true}, {128, false}, {276, false}};
    for (const auto &[word, transmit] : cases)
        QTest::addRow("word %d", word) << word << transmit;
}

void TstTuning::transmitWordRule()
{
    QFETCH(int, word);
    QTEST(LiveTune::isTransmitWord(word), "transmit");
}

void TstTuning::frameBytes_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("txIndex");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("freq -5, 3 s") << 0 << -5 << 2 << hex("54554E4532000001FBFFFFFF");
    QTest::newRow("sq 30 in 65") << 65 << 30 << 4 << hex("54554E45024100011E000000");
    QTest::newRow("power 90, none") << 90 << 55 << -1 << hex("54554E45025A000137000000");
    QTest::newRow("power 90, 10 s") << 90 << 55 << 9 << hex("54554E45A25A000137000000");
    QTest::newRow("word 300") << 300 << 1 << 0 << hex("54554E45022C010101000000");
    QTest::newRow("damaged index") << 16 << 1 << -7 << hex("54554E450210000101000000");
}

void TstTuning::frameBytes()
{
    QFETCH(int, word);
    QFETCH(int, value);
    QFETCH(int, txIndex);
    RadioImage image;
    image.WriteImageWord(word, value);
    QTEST(LiveTune::tuneDataFrame(word, txIndex, image), "frame");
}

// ---- the window on the simulated radio ----

#ifdef RQ73_WITH_RADIO
void TstTuning::examplesReachTheRadio_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("txTime");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("frequency -5 with 3")
        << "freq-adjust" << 2 << "-5" << hex("54554E4532000001FBFFFFFF");
    QTest::newRow("squelch 30 in 65") << "sq.mid" << 5 << "30" << hex("54554E45024100011E000000");
    QTest::newRow("power 90, nothing selected")
        << "usb.mid.high.power" << -1 << "55" << hex("54554E45025A000137000000");
    QTest::newRow("row 3 of USB") << "usb.mid.low.power" << 5 << "40"
                                  << hex("54554E456256000128000000");
    QTest::newRow("PA volume") << "volume.pa" << 5 << "70" << hex("54554E450245000146000000");
    QTest::newRow("PA microphone") << "mic.pa" << 5 << "33" << hex("54554E45024B000121000000");
    QTest::newRow("FM microphone") << "mic.fm" << 0 << "20" << hex("54554E451247000114000000");
    QTest::newRow("data rate 5") << "bps.low" << 9 << "5" << hex("54554E45A23D000105000000");
    QTest::newRow("AM deviation") << "am.mid.low.deviation" << 1 << "99"
                                  << hex("54554E452229000163000000");
}

void TstTuning::examplesReachTheRadio()
{
    QFETCH(QString, name);
    QFETCH(int, txTime);
    QFETCH(QString, typed);
    Window w;
    w.state.TuneTxTime = txTime;
    w.form->AnalyseTuneData();
    TuneValueRow *row = w.form->row(name);
    QVERIFY(row);

    typeAndEnter(row->text(), typed);
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QTEST(m_radio->liveFrames().first().frame, "frame");
    QCOMPARE(row->text()->text(), typed);
    QCOMPARE(w.state.image.ReadImageWord(row->value().wordAddress), typed.toInt());
    QTRY_VERIFY_WITH_TIMEOUT(!w.form->liveSender().isBusy(), WaitMs);
    QCOMPARE(m_radio->liveFrames().size(), 1);
    QVERIFY(m_radio->requests().isEmpty());
}

void TstTuning::oneFramePerCommittedChange_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("expected");
    // The row starts at 50.
    QTest::newRow("slider drag") << "drag" << -1;
    QTest::newRow("slider click on the track") << "click" << 55;
    QTest::newRow("slider key") << "key" << 51;
    QTest::newRow("slider page key") << "pagekey" << 55;
    QTest::newRow("box, Enter") << "enter" << 77;
    QTest::newRow("box, focus leaves") << "focus" << 78;
    QTest::newRow("up") << "up" << 51;
    QTest::newRow("down") << "down" << 49;
}

void TstTuning::oneFramePerCommittedChange()
{
    QFETCH(QString, how);
    QFETCH(int, expected);
    Window w;
    const char *name = "fm.mid.low.power";
    w.state.image.WriteImageWord(w.row(name)->value().wordAddress, 50);
    w.form->AnalyseTuneData();
    TuneValueRow *row = w.row(name);
    QSlider *slider = row->slider();
    QCOMPARE(slider->value(), 50);
    w.form->findChild<QTabBar *>(QStringLiteral("TabStrip1"))->setCurrentIndex(1);
    QTRY_VERIFY(slider->isVisible());

    if (how == QStringLiteral("drag")) {
        const QPoint from = handleCentre(slider);
        QTest::mousePress(slider, Qt::LeftButton, {}, from);
        QVERIFY(slider->isSliderDown());
        for (int dx = 10; dx <= 60; dx += 10)
            QTest::mouseMove(slider, from + QPoint(dx, 0));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, from + QPoint(60, 0));
        expected = slider->value();
        QVERIFY(expected > 50);
    } else if (how == QStringLiteral("click")) {
        // Right of the handle, well away from it.
        QTest::mouseClick(slider, Qt::LeftButton, {},
                          QPoint(slider->width() - 3, slider->height() / 2));
    } else if (how == QStringLiteral("key")) {
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Right);
    } else if (how == QStringLiteral("pagekey")) {
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_PageUp);
    } else if (how == QStringLiteral("enter")) {
        typeAndEnter(row->text(), QStringLiteral("77"));
    } else if (how == QStringLiteral("focus")) {
        row->text()->setFocus();
        row->text()->selectAll();
        QTest::keyClicks(row->text(), QStringLiteral("78"));
        QVERIFY(m_radio->liveFrames().isEmpty());
        row->text()->clearFocus();
    } else if (how == QStringLiteral("up")) {
        QTest::mouseClick(row->upButton(), Qt::LeftButton);
    } else if (how == QStringLiteral("down")) {
        QTest::mouseClick(row->downButton(), Qt::LeftButton);
    }

    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!w.form->liveSender().isBusy(), WaitMs);
    QCOMPARE(m_radio->liveFrames().size(), 1);
    const SimulatedRadio::LiveFrame &f = m_radio->liveFrames().first();
    QCOMPARE(f.wordAddress, 22);
    QCOMPARE(f.words, QList<qint32>{expected});
    QCOMPARE(f.transmitSeconds, 6);
    QCOMPARE(w.word(name), expected);
    QCOMPARE(row->text()->text(), QString::number(expected));
    QCOMPARE(slider->value(), expected);
}

void TstTuning::dragFollowsInImageAndBox()
{
    Window w;
    TuneValueRow *row = w.row("freq-adjust");
    QSlider *slider = row->slider();
    QVERIFY(slider->isVisible());
    const QPoint from = handleCentre(slider);
    QTest::mousePress(slider, Qt::LeftButton, {}, from);
    QList<int> seen;
    for (int dx = 15; dx <= 90; dx += 15) {
        QTest::mouseMove(slider, from + QPoint(dx, 0));
        // While the handle moves, the word and the box follow it, and nothing is sent yet.
        QCOMPARE(w.word("freq-adjust"), slider->value());
        QCOMPARE(row->text()->text(), QString::number(slider->value()));
        seen << slider->value();
    }
    QVERIFY(seen.last() > seen.first());
    QVERIFY(m_radio->liveFrames().isEmpty());
    QVERIFY(!w.form->liveSender().isBusy());
    QTest::mouseRelease(slider, Qt::LeftButton, {}, from + QPoint(90, 0));
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QCOMPARE(m_radio->liveFrames().first().words, QList<qint32>{slider->value()});
}

void TstTuning::clamping_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("frequency 500") << "freq-adjust"
                                   << "500"
                                   << "300";
    QTest::newRow("frequency -400") << "freq-adjust"
                                    << "-400"
                                    << "-300";
    QTest::newRow("frequency -99999999") << "freq-adjust"
                                         << "-99999999"
                                         << "-300";
    QTest::newRow("FM deviation row 5 takes 200") << "fm.mid.high.deviation"
                                                  << "200"
                                                  << "200";
    QTest::newRow("FM deviation 999") << "fm.mid.high.deviation"
                                      << "999"
                                      << "255";
    QTest::newRow("AM deviation row 12 clamps 200") << "am.mid.low.deviation"
                                                    << "200"
                                                    << "100";
    QTest::newRow("power 101") << "lsb.high.high.power"
                               << "101"
                               << "100";
    QTest::newRow("volume 500") << "volume.tb"
                                << "500"
                                << "100";
}

void TstTuning::clamping()
{
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Window w;
    TuneValueRow *row = w.form->row(name);
    typeAndEnter(row->text(), typed);
    QCOMPARE(row->text()->text(), shown);
    QCOMPARE(w.state.image.ReadImageWord(row->value().wordAddress), shown.toInt());
    QCOMPARE(row->slider()->value(), shown.toInt());
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QCOMPARE(m_radio->liveFrames().first().words, QList<qint32>{shown.toInt()});
}

void TstTuning::unchangedBoxSendsNothing()
{
    Window w;
    TuneValueRow *sq = w.row("sq.low");
    TuneValueRow *vol = w.row("volume.am");
    // Enter on an unchanged box, focus in and out, a cleared box that gets the slider's value
    // back: nothing changed, nothing is sent. Then one real change, the only frame.
    typeAndEnter(sq->text(), QStringLiteral("0"));
    sq->text()->setFocus();
    sq->text()->clearFocus();
    sq->text()->setFocus();
    sq->text()->selectAll();
    QTest::keyClick(sq->text(), Qt::Key_Backspace);
    QCOMPARE(sq->text()->text(), QString());
    sq->text()->clearFocus();
    QCOMPARE(sq->text()->text(), QStringLiteral("0"));
    typeAndEnter(vol->text(), QStringLiteral("9"));
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!w.form->liveSender().isBusy(), WaitMs);
    QCOMPARE(m_radio->liveFrames().size(), 1);
    QCOMPARE(m_radio->liveFrames().first().wordAddress, 67);
}

#ifdef RQ73_WITH_RADIO
void TstTuning::untouchedBoxKeepsTheStoredWord()
{
    Window w;
    w.state.image.WriteImageWord(80, 150);
    w.form->AnalyseTuneData();
    QLineEdit *box = w.row("usb.low.low.power")->text();
    QCOMPARE(box->text(), QStringLiteral("0"));
    // Passing through the box that shows 0 for the stored 150 leaves the word alone.
    box->setFocus();
    box->clearFocus();
    QCOMPARE(w.word("usb.low.low.power"), 150);
    // The same box edited and left: the typed value is the change.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, QStringLiteral("7"));
    box->clearFocus();
    QCOMPARE(w.word("usb.low.low.power"), 7);
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QCOMPARE(m_radio->liveFrames().first().words, QList<qint32>{7});
}
#endif

void TstTuning::badTextIsLikeAnEmptyBox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("lone minus") << "freq-adjust"
                                << "-";
    QTest::newRow("pasted letters") << "freq-adjust"
                                    << "abc";
    QTest::newRow("pasted letters, three-digit box") << "mic.am"
                                                     << "x1";
    QTest::newRow("too long for a number") << "freq-adjust"
                                           << "99999999999999";
    QTest::newRow("empty") << "volume.fm"
                           << "";
}

void TstTuning::badTextIsLikeAnEmptyBox()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    Window w;
    TuneValueRow *row = w.form->row(name);
    // The slider stands at 40 while the word holds 41: the commit puts the slider's 40 back.
    w.state.image.WriteImageWord(row->value().wordAddress, 40);
    w.form->AnalyseTuneData();
    w.state.image.WriteImageWord(row->value().wordAddress, 41);
    row->text()->setText(text); // as a paste leaves it: the key filter never saw it
    row->commitText();
    QCOMPARE(row->text()->text(), QStringLiteral("40"));
    QCOMPARE(w.state.image.ReadImageWord(row->value().wordAddress), 40);
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QCOMPARE(m_radio->liveFrames().first().words, QList<qint32>{40});
}
#endif

void TstTuning::keyFilterAndSelectAfterEnter()
{
    Window w;
    QLineEdit *freq = w.row("freq-adjust")->text();
    freq->setFocus();
    freq->clear();
    QTest::keyClicks(freq, QStringLiteral("a-"));
    QCOMPARE(freq->text(), QStringLiteral("-"));
    QTest::keyClicks(freq, QStringLiteral("12-x.3"));
    QCOMPARE(freq->text(), QStringLiteral("-123"));
    QTest::keyClick(freq, Qt::Key_Return);
    QCOMPARE(freq->text(), QStringLiteral("-123"));
    QCOMPARE(freq->selectedText(), QStringLiteral("-123"));
    // The selection lets the next typed value replace the old one.
    QTest::keyClicks(freq, QStringLiteral("7"));
    QCOMPARE(freq->text(), QStringLiteral("7"));

    QLineEdit *power = w.row("am.low.low.power")->text();
    power->setFocus();
    power->clear();
    QTest::keyClicks(power, QStringLiteral("-1234"));
    QCOMPARE(power->text(), QStringLiteral("123"));
    QTest::keyClick(power, Qt::Key_Backspace);
    QCOMPARE(power->text(), QStringLiteral("12"));
    // Leaving the box commits without selecting.
    power->clearFocus();
    QCOMPARE(power->selectedText(), QString());
    QCOMPARE(w.word("am.low.low.power"), 12);
}

#ifdef RQ73_WITH_RADIO
void TstTuning::upDownLimits()
{
    Window w;
    TuneValueRow *freq = w.row("freq-adjust");
    w.state.image.WriteImageWord(0, 300);
    w.form->AnalyseTuneData();
    freq->stepUp();
    QCOMPARE(w.word("freq-adjust"), 300);
    w.state.image.WriteImageWord(0, -300);
    w.form->AnalyseTuneData();
    freq->stepDown();
    QCOMPARE(w.word("freq-adjust"), -300);
    freq->stepUp();
    QCOMPARE(w.word("freq-adjust"), -299);
    QCOMPARE(freq->text()->text(), QStringLiteral("-299"));
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!w.form->liveSender().isBusy(), WaitMs);
    QCOMPARE(m_radio->liveFrames().size(), 1);
    QCOMPARE(m_radio->liveFrames().first().words, QList<qint32>{-299});
}

void TstTuning::upDownWorksOnTheStoredWord()
{
    Window w;
    TuneValueRow *power = w.row("usb.low.low.power");
    w.state.image.WriteImageWord(80, 150);
    w.form->AnalyseTuneData();
    // Shown as 0, the word itself untouched.
    QCOMPARE(power->text()->text(), QStringLiteral("0"));
    QCOMPARE(power->slider()->value(), 0);
    QCOMPARE(w.word("usb.low.low.power"), 150);
    // Up has no room above 100; down steps from the stored 150, and the slider stands at the
    // end of its range nearest to the word.
    power->stepUp();
    QCOMPARE(w.word("usb.low.low.power"), 150);
    power->stepDown();
    QCOMPARE(w.word("usb.low.low.power"), 149);
    QCOMPARE(power->text()->text(), QStringLiteral("149"));
    QCOMPARE(power->slider()->value(), 100);
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QCOMPARE(m_radio->liveFrames().first().words, QList<qint32>{149});

    // A rate of 5 may be stored, but a refresh shows 0 for it.
    typeAndEnter(w.row("bps.mid")->text(), QStringLiteral("5"));
    QCOMPARE(w.word("bps.mid"), 5);
    w.form->AnalyseTuneData();
    QCOMPARE(w.row("bps.mid")->text()->text(), QStringLiteral("0"));
    QCOMPARE(w.word("bps.mid"), 5);
}

void TstTuning::refreshShowsAndSendsNothing()
{
    Window w;
    RadioImage &image = w.state.image;
    for (const TuneValues::Value &v : TuneValues::all())
        image.WriteImageWord(v.wordAddress, v.shownHigh - 1);
    image.WriteImageWord(0, -120);
    image.WriteImageWord(17, 300); // beyond every range
    const RadioImage before = image;
    w.form->AnalyseTuneData();
    QCOMPARE(image, before);
    QCOMPARE(w.row("freq-adjust")->slider()->value(), -120);
    QCOMPARE(w.row("fm.low.low.deviation")->text()->text(), QStringLiteral("0"));
    QCOMPARE(w.row("fm.mid.low.deviation")->slider()->value(), 254);
    QCOMPARE(w.row("level.sq1-on")->text()->text(), QStringLiteral("99"));
    QVERIFY(!w.form->liveSender().isBusy());

    // A change after the refresh is the one and only frame the radio sees.
    w.row("volume.lsb")->stepDown();
    QTRY_VERIFY_WITH_TIMEOUT(!w.form->liveSender().isBusy(), WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QCOMPARE(m_radio->liveFrames().first().wordAddress, 77);
}

void TstTuning::transmitTime_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("storedAfter");
    QTest::addColumn<int>("command");
    QTest::newRow("start-up 5 selects 6") << 5 << 5 << 5 << 0x62;
    QTest::newRow("12 from a file") << 12 << 0 << 0 << 0x12;
    QTest::newRow("10") << 10 << 0 << 0 << 0x12;
    QTest::newRow("9") << 9 << 9 << 9 << 0xA2;
    QTest::newRow("-1 selects nothing") << -1 << -1 << -1 << 0x02;
    QTest::newRow("damaged -7") << -7 << -1 << -7 << 0x02;
}

void TstTuning::transmitTime()
{
    QFETCH(int, stored);
    Window w;
    auto *combo = w.form->findChild<QComboBox *>(QStringLiteral("ComboTxTime"));
    QCOMPARE(combo->count(), 10);
    QCOMPARE(combo->itemText(0), QStringLiteral("1"));
    QCOMPARE(combo->itemText(9), QStringLiteral("10"));
    w.state.TuneTxTime = stored;
    w.form->AnalyseTuneData();
    QTEST(combo->currentIndex(), "selected");
    QTEST(static_cast<int>(w.state.TuneTxTime), "storedAfter");
    w.row("fm.low.low.power")->stepUp();
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QTEST(m_radio->liveFrames().first().command, "command");

    // Choosing a time stores it and sends nothing; the next transmit frame carries it.
    QTRY_VERIFY_WITH_TIMEOUT(!w.form->liveSender().isBusy(), WaitMs);
    combo->setCurrentIndex(2);
    QCOMPARE(w.state.TuneTxTime, 2);
    w.row("fm.low.low.power")->stepUp();
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 2, WaitMs);
    QCOMPARE(m_radio->liveFrames().at(1).command, 0x32);
}
#endif

void TstTuning::squelchLevelsAreShownOnly()
{
    Window w;
    w.state.image.WriteImageWord(158, 45);
    w.state.image.WriteImageWord(129, 101);
    w.form->AnalyseTuneData();
    TuneValueRow *on = w.row("level.sq1-on");
    QCOMPARE(on->text()->text(), QStringLiteral("45"));
    QVERIFY(on->text()->isReadOnly());
    QVERIFY(!on->slider());
    QCOMPARE(w.row("level.asq1-off")->text()->text(), QStringLiteral("0"));
    QCOMPARE(on->text()->objectName(), QStringLiteral("TextFSq(0)"));
    QCOMPARE(on->label()->text(), QStringLiteral("SQ1 On:"));
}

// ---- the live link ----

#ifdef RQ73_WITH_RADIO
void TstTuning::overlappingSendsEndWithTheLatestValue()
{
    Window w;
    LiveTuneSender &sender = w.form->liveSender();
    QSignalSpy finished(&sender, &LiveTuneSender::frameFinished);
    TuneValueRow *freq = w.row("freq-adjust");
    TuneValueRow *vol = w.row("volume.usb");
    // Forty changes of two words without the event loop running in between: every one arrives
    // while a frame is still going out.
    for (int i = 0; i < 20; ++i) {
        freq->stepUp();
        vol->stepUp();
        QVERIFY(sender.isBusy());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!sender.isBusy(), WaitMs);
    const QList<qint32> freqFrames = frameValues(*m_radio, 0);
    const QList<qint32> volFrames = frameValues(*m_radio, 76);
    QVERIFY(!freqFrames.isEmpty());
    QVERIFY(!volFrames.isEmpty());
    QCOMPARE(freqFrames.last(), 20);
    QCOMPARE(volFrames.last(), 20);
    // No frame is older than the one before it.
    QVERIFY(std::is_sorted(freqFrames.begin(), freqFrames.end()));
    QVERIFY(std::is_sorted(volFrames.begin(), volFrames.end()));
    QCOMPARE(m_radio->liveFrames().size(), finished.count());
    for (const QList<QVariant> &args : finished)
        QCOMPARE(args.at(1).value<LiveFrameOutcome>(), LiveFrameOutcome::Sent);

    // The port is free again: the next change goes out alone.
    freq->stepDown();
    QTRY_COMPARE_WITH_TIMEOUT(frameValues(*m_radio, 0).last(), 19, WaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!sender.isBusy(), WaitMs);

    // A frame that cannot leave yet, and changes piling up behind it while the event loop runs:
    // the frame in the line keeps its value, the waiting ones end with the latest.
    m_radio->clearRecords();
    HeldLine line(m_radio->devicePath());
    QVERIFY(line.isHeld());
    freq->stepUp(); // 20, held in the line
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        freq->stepUp();
        vol->stepDown();
        QVERIFY(sender.isBusy());
    }
    QVERIFY(m_radio->liveFrames().isEmpty());
    line.release();
    QTRY_VERIFY_WITH_TIMEOUT(!sender.isBusy(), WaitMs);
    QCOMPARE(frameValues(*m_radio, 0), (QList<qint32>{20, 25}));
    QCOMPARE(frameValues(*m_radio, 76), QList<qint32>{15});
    QCOMPARE(w.word("freq-adjust"), 25);
}

void TstTuning::everyByteArrivesPaced()
{
    m_radio->setPaced(true);
    Window w;
    const char *names[] = {"freq-adjust", "lsb.high.high.deviation", "mic.usb", "sq.high"};
    int sent = 0;
    for (int round = 0; round < 25; ++round) {
        for (const char *name : names) {
            w.row(name)->stepUp();
            ++sent;
            // One change at a time, each waiting for the last to reach the radio.
            QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), sent, WaitMs);
            QCOMPARE(m_radio->liveFrames().last().words, QList<qint32>{w.word(name)});
        }
    }
    QTRY_VERIFY_WITH_TIMEOUT(!w.form->liveSender().isBusy(), WaitMs);
    QCOMPARE(m_radio->receivedBytes().size(), qsizetype(12) * sent);
}

void TstTuning::noPortIsSilent()
{
    Window w(DeadCom);
    QSignalSpy finished(&w.form->liveSender(), &LiveTuneSender::frameFinished);
    typeAndEnter(w.row("freq-adjust")->text(), QStringLiteral("12"));
    w.row("sq.low")->stepUp();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, WaitMs);
    QCOMPARE(finished.at(0).at(1).value<LiveFrameOutcome>(), LiveFrameOutcome::PortMissing);
    QVERIFY(!w.form->liveSender().isBusy());
    QCOMPARE(w.word("freq-adjust"), 12);
    QCOMPARE(w.row("freq-adjust")->text()->text(), QStringLiteral("12"));
    QCOMPARE(w.word("sq.low"), 1);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(m_radio->liveFrames().isEmpty());

    // A radio registered later is reached by the next change.
    w.state.ComPortNumber = SimCom;
    w.row("sq.low")->stepUp();
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QCOMPARE(m_radio->liveFrames().first().words, QList<qint32>{2});
}

void TstTuning::portThatNeverDrainsIsGivenUp()
{
    HeldLine line(m_radio->devicePath());
    QVERIFY(line.isHeld());

    LiveTuneSender sender;
    sender.setDrainLimitMs(150);
    QSignalSpy finished(&sender, &LiveTuneSender::frameFinished);
    QSignalSpy idle(&sender, &LiveTuneSender::idle);
    RadioImage image;
    image.WriteImageWord(64, 7);
    sender.send(SimCom, 64, [&image] { return LiveTune::tuneDataFrame(64, 0, image); });
    QVERIFY(sender.isBusy());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, WaitMs);
    QCOMPARE(finished.first().at(1).value<LiveFrameOutcome>(), LiveFrameOutcome::NeverDrained);
    QTRY_VERIFY_WITH_TIMEOUT(idle.count() >= 1, WaitMs);
    QVERIFY(!sender.isBusy());

    // The line runs again: the next frame goes out whole, and the given-up one never does.
    line.release();
    image.WriteImageWord(64, 8);
    sender.send(SimCom, 64, [&image] { return LiveTune::tuneDataFrame(64, 0, image); });
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 1, WaitMs);
    QCOMPARE(m_radio->liveFrames().first().frame, hex("54554E450240000108000000"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, WaitMs);
    QCOMPARE(finished.at(1).at(1).value<LiveFrameOutcome>(), LiveFrameOutcome::Sent);
}

void TstTuning::closingTheWindowStillDeliversTheFrame()
{
    auto w = std::make_unique<Window>();
    w->settleOnClose = false;
    HeldLine line(m_radio->devicePath());
    QVERIFY(line.isHeld());
    // Two changes of one word and one of another, then the window goes at once, with the first
    // frame still in the line.
    w->row("volume.fm")->stepUp();
    w->row("mic.am")->stepUp();
    w->row("mic.am")->stepUp();
    QVERIFY(w->form->liveSender().isBusy());
    // The link is the session's: the window going takes nothing with it.
    w->form.reset();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    QVERIFY(m_radio->liveFrames().isEmpty());
    line.release();
    QTRY_VERIFY_WITH_TIMEOUT(!frameValues(*m_radio, 72).isEmpty(), WaitMs);
    w.reset();
    QCOMPARE(frameValues(*m_radio, 68), QList<qint32>{1});
    QCOMPARE(frameValues(*m_radio, 72).last(), 2);
}

void TstTuning::squelchTestFrameOnTheWire()
{
    RadioImage image;
    image.WriteImageWord(276, 500);
    image.WriteImageWord(277, 400);
    image.WriteImageWord(130, 9);
    image.WriteImageWord(131, -2);
    LiveTuneSender sender;
    sender.send(SimCom, 276, [&image] { return LiveTune::squelchTestFrame(276, image); });
    sender.send(SimCom, 130, [&image] { return LiveTune::squelchTestFrame(130, image); });
    QTRY_COMPARE_WITH_TIMEOUT(m_radio->liveFrames().size(), 2, WaitMs);
    QCOMPARE(m_radio->liveFrames().at(0).frame, hex("54554E4506F60002F401000090010000"));
    QCOMPARE(m_radio->liveFrames().at(1).frame, hex("54554E450682000209000000FEFFFFFF"));
    QCOMPARE(LiveTune::squelchFrameAddress(278), 128);
}
#endif

// ---- captions, names, layout ----

void TstTuning::layoutAndCaptions_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("expected"); // object name, text
    QTest::newRow("English") << true
                             << QStringList{"FormTune",
                                            "Tune Data",
                                            "CommandWrite",
                                            "Write TuneData",
                                            "CommandRead",
                                            "Read TuneData",
                                            "LabelFreqAdjust",
                                            "Frequency Adjust",
                                            "LabelTxTime",
                                            "Tx Time(S)",
                                            "FrameFM",
                                            "FM Setting",
                                            "FrameAM",
                                            "AM Setting",
                                            "FrameUsb",
                                            "USB Setting",
                                            "FrameLsb",
                                            "LSB Setting",
                                            "LabelTxPower(0)",
                                            "Low BandLow Power",
                                            "LabelTxPower(5)",
                                            "Mid BandHigh　Power",
                                            "LabelTxPower(35)",
                                            "High BandHigh　Power",
                                            "LabelTxDeviation(20)",
                                            "Tx Deviation",
                                            "FrameRx",
                                            "RX Setting",
                                            "LabelSq(0)",
                                            "Low Band SQ",
                                            "LabelSq(2)",
                                            "High Band SQ",
                                            "FrameTxBPS",
                                            "TX Setting",
                                            "LabelTxBPS(1)",
                                            "Mid Band BPS",
                                            "FrameVolume",
                                            "Other",
                                            "LabelVolume(0)",
                                            "AM Volume",
                                            "LabelVolume(3)",
                                            "TB Volume",
                                            "LabelVolume(5)",
                                            "LSB Volume",
                                            "LabelMic(0)",
                                            "FM Mic Deviation",
                                            "LabelMic(4)",
                                            "PA Mic Deviation",
                                            "LabelSqLevel(0)",
                                            "SQ1 On:",
                                            "LabelSqLevel(3)",
                                            "ASQ1 Off:"};
    QTest::newRow("Chinese") << false
                             << QStringList{
                                    "FormTune",         "调谐数据",         "CommandWrite",
                                    "写调谐数据",       "CommandRead",      "读调谐数据",
                                    "LabelFreqAdjust",  "频率校准",         "LabelTxTime",
                                    "发射时长(秒)",     "FrameFM",          "调频设置",
                                    "FrameAM",          "调幅设置",         "FrameUsb",
                                    "USB设置",          "FrameLsb",         "LSB设置",
                                    "LabelTxPower(0)",  "低频段低功率",     "LabelTxPower(5)",
                                    "中频段高功率",     "LabelTxPower(14)", "中频段高功率",
                                    "LabelTxPower(35)", "高频段高功率",     "LabelTxDeviation(20)",
                                    "发射频偏",         "FrameRx",          "接收选项",
                                    "LabelSq(0)",       "低频段接收灵敏度", "LabelSq(2)",
                                    "高频段接收灵敏度", "FrameTxBPS",       "发射选项",
                                    "LabelTxBPS(1)",    "中频段发射BPS",    "FrameVolume",
                                    "其他选项",         "LabelVolume(0)",   "AM喇叭音量",
                                    "LabelVolume(3)",   "TB喇叭音量",       "LabelVolume(5)",
                                    "LSB喇叭音量",      "LabelMic(0)",      "FM Mic灵敏度",
                                    "LabelMic(4)",      "PA Mic灵敏度",     "LabelSqLevel(0)",
                                    "SQ1 On:",          "LabelSqLevel(3)",  "ASQ1 Off:"};
}

void TstTuning::layoutAndCaptions()
{
    QFETCH(bool, english);
    QFETCH(QStringList, expected);
    QVERIFY(m_translations->apply(english));
    Window w;
    w.state.LanguageIsEnglish = english;
    // The rows of the tabs not in view, too.
    w.form->rows();
    for (int i = 0; i < expected.size(); i += 2) {
        const QString name = expected.at(i);
        QObject *o = name == QStringLiteral("FormTune") ? w.form.get()
                                                        : w.form->findChild<QObject *>(name);
        QVERIFY2(o, qPrintable(name));
        QString text;
        if (auto *label = qobject_cast<QLabel *>(o))
            text = label->text();
        else if (auto *button = qobject_cast<QPushButton *>(o))
            text = button->text();
        else if (auto *frame = qobject_cast<QGroupBox *>(o))
            text = frame->title();
        else
            text = static_cast<QWidget *>(o)->windowTitle();
        QCOMPARE(text, expected.at(i + 1));
    }
    auto *tabs = w.form->findChild<QTabBar *>(QStringLiteral("TabStrip1"));
    QCOMPARE(tabs->count(), 4);
    const QStringList captions{"AM选项", "FM选项", "USB选项", "LSB选项"};
    for (int t = 0; t < 4; ++t)
        QCOMPARE(tabs->tabText(t), captions.at(t));
    QCOMPARE(tabs->currentIndex(), 0);

    // All 36 transmit rows, every group, each value once, rows of a frame on one grid.
    QCOMPARE(w.form->rows().size(), TuneValues::all().size());
    QCOMPARE(w.form->findChildren<QSlider *>().size(), 90);
    const QFontMetrics metrics(w.row("freq-adjust")->text()->font());
    for (TuneValueRow *r : w.form->rows()) {
        QLineEdit *box = r->text();
        QCOMPARE(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QVERIFY(box->width() > metrics.horizontalAdvance(QStringLiteral("-300")) + 4);
        QCOMPARE(box->font().pointSize(), 9);
    }
}

void TstTuning::accessibleNamesAndBuddies_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("expected"); // object name, accessible name
    QTest::newRow("English") << true
                             << QStringList{
                                    "SliderFreqAdjust",   "Frequency Adjust",
                                    "TextFreqAdjust",     "Frequency Adjust",
                                    "UpDownFreqAdjustUp", "Frequency Adjust Up",
                                    "SliderTxPower(9)",   "AM Low Band Low Power",
                                    "TextTxPower(23)",    "USB Mid Band High Power",
                                    "TextTxDeviation(0)", "FM Low Band Low Power Tx Deviation",
                                    "SliderSq(0)",        "Low Band SQ",
                                    "TextMic(4)",         "PA Mic Deviation",
                                    "TextFSq(0)",         "SQ1 On",
                                    "ComboTxTime",        "Tx Time(S)",
                                    "CommandRead",        "Read TuneData",
                                    "TabStrip1",          "Mode"};
    QTest::newRow("Chinese") << false
                             << QStringList{"SliderFreqAdjust",     "频率校准",
                                            "TextTxPower(23)",      "USB 中频段高功率",
                                            "TextTxDeviation(0)",   "FM 低频段低功率 发射频偏",
                                            "SliderSq(0)",          "低频段接收灵敏度",
                                            "UpDownFreqAdjustDown", "频率校准 减少",
                                            "CommandWrite",         "写调谐数据"};
}

void TstTuning::accessibleNamesAndBuddies()
{
    QFETCH(bool, english);
    QFETCH(QStringList, expected);
    QVERIFY(m_translations->apply(english));
    Window w;
    w.form->rows();
    for (int i = 0; i < expected.size(); i += 2) {
        auto *widget = w.form->findChild<QWidget *>(expected.at(i));
        QVERIFY2(widget, qPrintable(expected.at(i)));
        QCOMPARE(widget->accessibleName(), expected.at(i + 1));
    }
    // Every control a user can reach has a name; every label names its box.
    const QList<QWidget *> all = w.form->findChildren<QWidget *>();
    for (QWidget *c : all) {
        // The tab bar's own scroll buttons are part of the tab bar, which has its name.
        if (qobject_cast<QTabBar *>(c->parentWidget()))
            continue;
        if (qobject_cast<QSlider *>(c) || qobject_cast<QLineEdit *>(c)
            || qobject_cast<QAbstractButton *>(c) || qobject_cast<QComboBox *>(c)) {
            if (qobject_cast<QLineEdit *>(c) && qobject_cast<QComboBox *>(c->parentWidget()))
                continue;
            QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));
        }
        if (auto *label = qobject_cast<QLabel *>(c)) {
            if (label->objectName().startsWith(QStringLiteral("Label")))
                QVERIFY2(label->buddy(), qPrintable(label->objectName()));
        }
    }
    QCOMPARE(w.form->findChild<QLabel *>(QStringLiteral("LabelTxPower(4)"))->buddy(),
             w.form->findChild<QWidget *>(QStringLiteral("TextTxPower(4)")));
}

void TstTuning::tabsShowTheirFrames()
{
    Window w;
    auto *tabs = w.form->findChild<QTabBar *>(QStringLiteral("TabStrip1"));
    const char *frames[] = {"FrameAM", "FrameFM", "FrameUsb", "FrameLsb"};
    for (int t = 0; t < 4; ++t) {
        tabs->setCurrentIndex(t);
        for (int f = 0; f < 4; ++f) {
            QCOMPARE(w.form->findChild<QWidget *>(QString::fromLatin1(frames[f]))->isVisible(),
                     f == t);
        }
    }
}

void TstTuning::tabRowsAreBuiltWhenFirstNeeded_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("tab shown") << "tab" << true << "Low BandLow Power" << "LSB Low Band Low Power";
    QTest::newRow("row asked for") << "row" << false << "低频段低功率" << "LSB 低频段低功率";
    QTest::newRow("all rows asked for")
        << "rows" << true << "Low BandLow Power" << "LSB Low Band Low Power";
}

void TstTuning::tabRowsAreBuiltWhenFirstNeeded()
{
    QFETCH(QString, how);
    QFETCH(bool, english);
    QFETCH(QString, caption);
    QFETCH(QString, spoken);
    QVERIFY(m_translations->apply(english));
    Window w(DeadCom);
    w.settleOnClose = false;
    // The tab in view has its rows; the LSB tab has none yet.
    QVERIFY(w.form->findChild<QLineEdit *>(QStringLiteral("TextTxPower(9)")));
    QVERIFY(!w.form->findChild<QLineEdit *>(QStringLiteral("TextTxPower(27)")));

    // While the LSB rows do not exist, one word is changed and its frame fails, another is only
    // changed.
    const int power = TuneValues::byName(QStringLiteral("lsb.low.low.power"))->wordAddress;
    const int deviation = TuneValues::byName(QStringLiteral("lsb.low.low.deviation"))->wordAddress;
    w.session.setWord(power, 77);
    w.session.commitEdit({power}, ImageSession::LiveKind::TuneValue);
    QTRY_VERIFY_WITH_TIMEOUT(w.session.unsentWords().contains(power), WaitMs);
    w.session.setWord(deviation, 42);
    QVERIFY(!w.form->findChild<QLineEdit *>(QStringLiteral("TextTxPower(27)")));

    auto *tabs = w.form->findChild<QTabBar *>(QStringLiteral("TabStrip1"));
    if (how == QStringLiteral("tab")) {
        tabs->setCurrentIndex(3);
        auto *box = w.form->findChild<QLineEdit *>(QStringLiteral("TextTxPower(27)"));
        QVERIFY(box);
        QVERIFY(box->isVisible());
    } else if (how == QStringLiteral("row")) {
        QVERIFY(w.row("lsb.low.low.power"));
    } else {
        QCOMPARE(w.form->rows().size(), 94);
    }
    TuneValueRow *r = w.row("lsb.low.low.power");
    QCOMPARE(r->text()->text(), QStringLiteral("77"));
    QCOMPARE(r->slider()->value(), 77);
    QVERIFY(r->isMarkedChanged());
    QVERIFY(r->isMarkedUnsent());
    QCOMPARE(r->label()->text(), caption);
    QCOMPARE(r->text()->accessibleName(), spoken);
    QCOMPARE(r->label()->buddy(), static_cast<QWidget *>(r->text()));
    QCOMPARE(w.row("lsb.low.low.deviation")->text()->text(), QStringLiteral("42"));
    QVERIFY(w.row("lsb.low.low.deviation")->isMarkedChanged());
    QVERIFY(!w.row("lsb.low.low.deviation")->isMarkedUnsent());
    // A word that changes once the rows exist still shows.
    w.session.setWord(deviation, 43);
    QCOMPARE(w.row("lsb.low.low.deviation")->text()->text(), QStringLiteral("43"));

    // Whichever tab was built first, the rows run tab by tab and Tab runs from the tab bar
    // through the AM, FM, USB and LSB rows to the frequency adjustment.
    const QList<TuneValueRow *> &all = w.form->rows();
    QCOMPARE(all.size(), 94);
    QCOMPARE(w.form->findChildren<QSlider *>().size(), 90);
    const QStringList firsts{"am.low.low.power", "fm.low.low.power", "usb.low.low.power",
                             "lsb.low.low.power", "freq-adjust"};
    for (int k = 0; k < firsts.size(); ++k)
        QCOMPARE(all.at(18 * k)->value().name, firsts.at(k));
    QStringList stops;
    QWidget *c = tabs;
    do {
        // The tab bar's own scroll buttons belong to it.
        if ((c->focusPolicy() & Qt::TabFocus) && !qobject_cast<QTabBar *>(c->parentWidget()))
            stops << c->objectName();
        c = c->nextInFocusChain();
    } while (c != tabs && stops.size() < 200);
    QCOMPARE(stops.at(0), QStringLiteral("TabStrip1"));
    const QList<std::pair<int, const char *>> expected{
        {1, "SliderTxPower(9)"},      {2, "TextTxPower(9)"},       {3, "SliderTxDeviation(9)"},
        {4, "TextTxDeviation(9)"},    {36, "TextTxDeviation(17)"}, {37, "SliderTxPower(0)"},
        {72, "TextTxDeviation(8)"},   {73, "SliderTxPower(18)"},   {108, "TextTxDeviation(26)"},
        {109, "SliderTxPower(27)"},   {144, "TextTxDeviation(35)"}, {145, "SliderFreqAdjust"},
        {146, "TextFreqAdjust"}};
    for (const auto &[at, name] : expected)
        QCOMPARE(stops.at(at), QString::fromLatin1(name));
}

#ifdef RQ73_WITH_RADIO
void TstTuning::readAndWriteButtons()
{
    // The whole program, as the technician has it, on the simulated radio.
    SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QString::number(SimCom));
    for (int w = 0; w < 276; ++w)
        m_radio->setMemoryWord(w, w % 90);
    m_radio->setMemoryWord(0, -42);
    TestProgram program(0);
    const std::unique_ptr<MDIFormMain> &frame = program.window;
    FormTune *form = frame->formTune();
    QVERIFY(form);

    QString question, success;
    // The question, then the transfer window until it reports, then the success message.
    std::function<void()> afterOk;
    auto answerAll = [&](bool ok) {
        whenModal([&, ok](QWidget *ask) {
            question = static_cast<QMessageBox *>(ask)->text();
            QTimer::singleShot(0, ask, [ask, ok, &afterOk] {
                static_cast<QMessageBox *>(ask)
                    ->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)
                    ->click();
                if (ok && afterOk)
                    afterOk();
            });
            if (!ok)
                return;
            whenModal(
                [&](QWidget *process) {
                    (void)QTest::qWaitFor(
                        [process] {
                            auto *t = process->findChild<QLineEdit *>(QStringLiteral("TextShow"));
                            return t && t->isVisibleTo(process);
                        },
                        WaitMs);
                    process->close();
                    whenModal(
                        [&](QWidget *done) {
                            success = static_cast<QMessageBox *>(done)->text();
                            static_cast<QMessageBox *>(done)->button(QMessageBox::Ok)->click();
                        },
                        process);
                },
                ask);
        });
    };

    answerAll(false);
    form->findChild<QPushButton *>(QStringLiteral("CommandRead"))->click();
    QCOMPARE(question, QStringLiteral("Read tune data from radio.Do you wish continue?"));
    QVERIFY(m_radio->requests().isEmpty());

    answerAll(true);
    form->findChild<QPushButton *>(QStringLiteral("CommandRead"))->click();
    QCOMPARE(success, QStringLiteral("Read data successful"));
    QCOMPARE(m_radio->requests().size(), 12);
    QCOMPARE(form->row(QStringLiteral("freq-adjust"))->text()->text(), QStringLiteral("-42"));
    QCOMPARE(form->row(QStringLiteral("volume.pa"))->slider()->value(), 69);
    QCOMPARE(form->row(QStringLiteral("level.asq1-on"))->text()->text(), QStringLiteral("38"));
    // The refresh after the read sent nothing.
    QVERIFY(m_radio->liveFrames().isEmpty());

    // A live frame still in the line when Write is confirmed goes out first; the transfer then
    // finds the cable free.
    HeldLine line(m_radio->devicePath());
    QVERIFY(line.isHeld());
    form->row(QStringLiteral("volume.pa"))->stepUp();
    QVERIFY(form->liveSender().isBusy());
    m_radio->clearRecords();
    afterOk = [&line] { line.release(); };
    answerAll(true);
    form->findChild<QPushButton *>(QStringLiteral("CommandWrite"))->click();
    QCOMPARE(question, QStringLiteral("Write tune data into radio.Do you wish continue?"));
    QCOMPARE(success, QStringLiteral("Write data successful"));
    QCOMPARE(m_radio->liveFrames().size(), 1);
    QCOMPARE(m_radio->receivedBytes().left(12), hex("54554E450245000146000000"));
    QCOMPARE(m_radio->requests().size(), 5);
    QCOMPARE(m_radio->memoryWord(69), 70);

}

void TstTuning::demoImageFillsEveryGroup()
{
    RadioImage image;
    QVERIFY(image.assign(demoImage()));
    // Every value of the window shows something other than the 0 of an empty radio.
    for (const TuneValues::Value &v : TuneValues::all()) {
        const qint32 word = image.ReadImageWord(v.wordAddress);
        QVERIFY2(v.shows(word) && word != 0, qPrintable(v.name));
    }
    // A squelch table of 76 pairs, each opening above its closing, none outside the window's
    // 0 to 100 view.
    for (int w = 128; w < 280; w += 2) {
        const qint32 on = image.ReadImageWord(w);
        const qint32 off = image.ReadImageWord(w + 1);
        QVERIFY2(on > off && off > 0 && on <= 100, qPrintable(QString::number(w)));
    }
    // Nothing outside the alignment data.
    for (int w = 280; w < RadioImage::WordCount; ++w)
        QCOMPARE(image.ReadImageWord(w), 0);
}
#endif

QTEST_MAIN(TstTuning)
#include "tst_tuning.moc"
