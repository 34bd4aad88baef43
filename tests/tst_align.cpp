// Automatic alignment inside the program: the instrument's replies and addresses, the search
// without any port, and the Auto Align window against the simulated radio and its instrument.

#include "alignsearch.h"
#include "formautoalign.h"
#include "formtune.h"
#include "instrument.h"
#include "linkalignradio.h"
#include "mdiformmain.h"
#include "modalhelper.h"
#include "radioimage.h"
#include "simulatedmeter.h"
#include "simulatedradio.h"
#include "testdata.h"
#include "testprogram.h"
#include "testsettings.h"
#include "translations.h"
#include "tunevaluerow.h"

#include <QAction>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <QSocketNotifier>

#include <memory>
#include <optional>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace ModalHelper;

using TestData::hex;

namespace {

constexpr int SimCom = 9;
constexpr int RunLimitMs = 30000;

const QByteArray FreqProcedure = R"({"name": "Frequency", "steps": [
    {"value": "freq-adjust", "measure": "MEAS:FERR?", "target": 0, "low": -5, "high": 5,
     "unit": "Hz", "tx": 2, "settle_ms": 5}]})";

} // namespace

Q_DECLARE_METATYPE(std::optional<double>)

class TstAlign : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void replyNumbers_data();
    void replyNumbers();
    void addresses_data();
    void addresses();
    void serialInstrument_data();
    void serialInstrument();
    void searchDecisions_data();
    void searchDecisions();

    void windowRunsAProcedure();
    void programRunGoesThroughTheSession();
    void stopSendsNothingAfterIt();
    void badInputIsExplained_data();
    void badInputIsExplained();
    void windowSpeaksChinese();

private:
    std::unique_ptr<FormAutoAlign> makeWindow();
    QString writeProcedure(const QByteArray &content);

    QTemporaryDir m_dir;
    RadioImage m_image;
    std::unique_ptr<SimulatedRadio> m_radio;
    std::unique_ptr<SimulatedMeter> m_meter;
};

void TstAlign::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
}

void TstAlign::init()
{
    m_image = RadioImage();
    m_radio = std::make_unique<SimulatedRadio>();
    QVERIFY2(m_radio->isOpen(), qPrintable(m_radio->errorString()));
    QVERIFY(m_radio->registerAsComPort(SimCom));
    m_radio->setMemoryWord(0, 0);
    m_meter = std::make_unique<SimulatedMeter>(*m_radio);
    QVERIFY(m_meter->listen());
    m_meter->setResponse([](int, qint32 v) { return 2.0 * (v - 40); });
}

void TstAlign::cleanup()
{
    verifyAllAnswered();
    closeModals();
    m_meter.reset();
    m_radio.reset();
}

std::unique_ptr<FormAutoAlign> TstAlign::makeWindow()
{
    auto window = std::make_unique<FormAutoAlign>([this]() -> std::unique_ptr<AlignRadio> {
        return std::make_unique<LinkAlignRadio>(m_image, SimCom);
    });
    window->findChild<QLineEdit *>(QStringLiteral("TextInstrument"))
        ->setText(QStringLiteral("tcp:127.0.0.1:%1").arg(m_meter->port()));
    window->findChild<QLineEdit *>(QStringLiteral("TextProcedure"))
        ->setText(writeProcedure(FreqProcedure));
    window->show();
    return window;
}

QString TstAlign::writeProcedure(const QByteArray &content)
{
    const QString file = m_dir.filePath(QStringLiteral("procedure.json"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        qWarning("cannot write the procedure");
    return file;
}

// ---- the instrument's side ----

void TstAlign::replyNumbers_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<std::optional<double>>("value");
    QTest::newRow("whole") << QByteArray("5") << std::optional<double>(5.0);
    QTest::newRow("decimal") << QByteArray("4.98") << std::optional<double>(4.98);
    QTest::newRow("scientific") << QByteArray("+4.98000E+00") << std::optional<double>(4.98);
    QTest::newRow("negative with unit")
        << QByteArray("-1.25E+01 Hz") << std::optional<double>(-12.5);
    QTest::newRow("unit without space") << QByteArray("5.0W") << std::optional<double>(5.0);
    QTest::newRow("leading point") << QByteArray(" .5 ") << std::optional<double>(0.5);
    QTest::newRow("empty") << QByteArray("") << std::optional<double>();
    QTest::newRow("error text") << QByteArray("ERR -113") << std::optional<double>();
    QTest::newRow("two values") << QByteArray("1.0,2.0") << std::optional<double>();
    QTest::newRow("not a number") << QByteArray("9.91E37") << std::optional<double>();
    QTest::newRow("control bytes") << QByteArray("5\x01") << std::optional<double>();
}

void TstAlign::replyNumbers()
{
    QFETCH(QByteArray, line);
    QFETCH(std::optional<double>, value);
    QCOMPARE(Instrument::parseNumber(line), value);
}

void TstAlign::addresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<QString>("where"); // host or device
    QTest::addColumn<int>("number");    // port or baud

    QTest::newRow("tcp") << "tcp:192.168.1.20:5025" << true << true << "192.168.1.20" << 5025;
    QTest::newRow("tcp name") << "tcp:meter.lab:5025" << true << true << "meter.lab" << 5025;
    QTest::newRow("tcp IPv6") << "tcp:[::1]:5025" << true << true << "::1" << 5025;
    QTest::newRow("serial, default speed")
        << "serial:/dev/ttyUSB3" << true << false << "/dev/ttyUSB3" << 9600;
    QTest::newRow("serial with speed")
        << "serial:/dev/ttyUSB3:19200" << true << false << "/dev/ttyUSB3" << 19200;
    QTest::newRow("tcp without port") << "tcp:192.168.1.20" << false << true << "" << 0;
    QTest::newRow("port too high") << "tcp:host:70000" << false << true << "" << 0;
    QTest::newRow("serial, bad speed") << "serial:COM3:fast" << false << false << "" << 0;
    QTest::newRow("no transport") << "192.168.1.20:5025" << false << true << "" << 0;
}

void TstAlign::addresses()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(bool, tcp);
    QFETCH(QString, where);
    QFETCH(int, number);
    QString error;
    const std::optional<Instrument::Address> a = Instrument::parseAddress(text, &error);
    QCOMPARE(a.has_value(), valid);
    if (!valid) {
        QVERIFY(error.contains(text));
        return;
    }
    QCOMPARE(a->transport == Instrument::Address::Transport::Tcp, tcp);
    QCOMPARE(tcp ? a->host : a->device, where);
    QCOMPARE(tcp ? a->port : a->baud, number);
}

void TstAlign::serialInstrument_data()
{
    QTest::addColumn<QByteArray>("reply"); // empty: no reply at all
    QTest::addColumn<std::optional<double>>("value");
    QTest::addColumn<Instrument::Fault>("fault");
    QTest::newRow("reading with unit and CR LF")
        << QByteArray("+4.98000E+00 V\r\n") << std::optional<double>(4.98)
        << Instrument::Fault::None;
    QTest::newRow("garbage") << QByteArray("\x01\x02\n") << std::optional<double>()
                             << Instrument::Fault::NotANumber;
    QTest::newRow("silence") << QByteArray() << std::optional<double>()
                             << Instrument::Fault::NoReply;
}

// An instrument on a serial port: the far end of a pseudo-terminal answers each query.
void TstAlign::serialInstrument()
{
    QFETCH(QByteArray, reply);
    QFETCH(std::optional<double>, value);
    QFETCH(Instrument::Fault, fault);

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString device = QString::fromLocal8Bit(::ptsname(master));
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    QByteArray received;
    QSocketNotifier notifier(master, QSocketNotifier::Read);
    connect(&notifier, &QSocketNotifier::activated, this, [&] {
        char buffer[256];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            return;
        received.append(buffer, n);
        if (received.endsWith('\n') && !reply.isEmpty())
            QVERIFY(::write(master, reply.constData(), size_t(reply.size())) == reply.size());
    });

    const std::optional<Instrument::Address> address
        = Instrument::parseAddress(QStringLiteral("serial:%1:19200").arg(device));
    QVERIFY(address);
    const std::unique_ptr<Instrument> instrument = Instrument::create(*address);
    // Room for a busy machine to answer; only the silent row waits for it.
    instrument->setReplyTimeoutMs(1000);
    QSignalSpy opened(instrument.get(), &Instrument::opened);
    instrument->open();
    QVERIFY(opened.wait(RunLimitMs));
    QSignalSpy replied(instrument.get(), &Instrument::replied);
    instrument->send(QStringLiteral("CONF:VOLT"));
    instrument->query(QStringLiteral("MEAS:VOLT?"));
    QVERIFY(replied.wait(RunLimitMs));
    const auto reading = replied.first().first().value<Instrument::Reading>();
    QCOMPARE(reading.value, value);
    QCOMPARE(reading.fault, fault);
    QCOMPARE(received, QByteArray("CONF:VOLT\nMEAS:VOLT?\n"));
    instrument->close();
    ::close(master);
}

// ---- the search, without any port ----

void TstAlign::searchDecisions_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("maxTries");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QList<double>>("readings");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<int>("next");

    // freq-adjust: range -300..300, target 0, limits -5..5.
    QTest::newRow("first try: where the radio is")
        << 12 << 12 << QList<int>{} << QList<double>{} << false << 12;
    QTest::newRow("a start outside the range is clamped")
        << 900 << 12 << QList<int>{} << QList<double>{} << false << 300;
    QTest::newRow("within the limits at once")
        << 12 << 12 << QList<int>{12} << QList<double>{4.0} << true << 0;
    QTest::newRow("probe towards the middle, from below")
        << -10 << 12 << QList<int>{-10} << QList<double>{-80.0} << false << 65;
    QTest::newRow("probe towards the middle, from above")
        << 250 << 12 << QList<int>{250} << QList<double>{80.0} << false << 175;
    QTest::newRow("the line's crossing, rounded")
        << 0 << 12 << QList<int>{0, 75} << QList<double>{-81.0, 70.0} << false << 40;
    QTest::newRow("clamped to the range")
        << 0 << 12 << QList<int>{0, 75} << QList<double>{100.0, 107.5} << false << -300;
    QTest::newRow("prediction already tried")
        << 0 << 12 << QList<int>{0, 75, 40} << QList<double>{-80.0, 70.0, 0.0} << true << 0;
    QTest::newRow("flat") << 0 << 12 << QList<int>{0, 75} << QList<double>{12.0, 12.0} << true << 0;
    QTest::newRow("within, but a nearer value predicted")
        << 0 << 12 << QList<int>{0, 75, 38} << QList<double>{-80.0, 70.0, -4.0} << false << 40;
    QTest::newRow("out of tries") << 0 << 2 << QList<int>{0, 75} << QList<double>{-80.0, 70.0}
                                  << true << 0;
}

void TstAlign::searchDecisions()
{
    QFETCH(int, start);
    QFETCH(int, maxTries);
    QFETCH(QList<int>, values);
    QFETCH(QList<double>, readings);
    QFETCH(bool, stop);
    QFETCH(int, next);

    AlignSearch::Range range;
    range.low = -300;
    range.high = 300;
    range.start = start;
    range.target = 0;
    range.limitLow = -5;
    range.limitHigh = 5;
    range.maxTries = maxTries;
    QList<AlignSearch::Try> tries;
    for (int i = 0; i < values.size(); ++i)
        tries.append({values.at(i), readings.at(i)});
    const AlignSearch::Decision d = AlignSearch::next(range, tries);
    QCOMPARE(d.stop, stop);
    if (!stop)
        QCOMPARE(d.next, next);
}

// ---- the window ----

void TstAlign::windowRunsAProcedure()
{
    const std::unique_ptr<FormAutoAlign> window = makeWindow();
    QSignalSpy finished(window.get(), &FormAutoAlign::runFinished);
    auto *save = window->findChild<QPushButton *>(QStringLiteral("CommandSaveReport"));
    QVERIFY(!save->isEnabled());
    window->findChild<QPushButton *>(QStringLiteral("CommandStart"))->click();
    QVERIFY(finished.wait(RunLimitMs));
    QCOMPARE(finished.first().first().value<AlignRunResult::Outcome>(),
             AlignRunResult::Outcome::Passed);

    auto *table = window->findChild<QTableWidget *>(QStringLiteral("TableSteps"));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("freq-adjust"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("0 (-5 .. 5) Hz"));
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("3"));
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("0 -> 40"));
    QCOMPARE(table->item(0, 4)->text(), QStringLiteral("0 Hz"));
    QCOMPARE(table->item(0, 5)->text(), QStringLiteral("passed"));

    // Every value went through the image, and the tune data were written.
    QCOMPARE(m_image.ReadImageWord(0), 40);
    QCOMPARE(m_radio->memoryWord(0), 40);
    QCOMPARE(m_radio->liveFrames().last().frame, hex("54554E45 22 0000 01 28000000"));

    QVERIFY(save->isEnabled());
    const QString report = m_dir.filePath(QStringLiteral("window.json"));
    QVERIFY(window->saveReportTo(report));
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(root[QStringLiteral("result")].toString(), QStringLiteral("passed"));
    QCOMPARE(root[QStringLiteral("written")].toBool(), true);
}

void TstAlign::programRunGoesThroughTheSession()
{
    // The whole program: Program > Auto Align... on the session's live link.
    TestProgram fixture(SimCom);
    MDIFormMain &program = *fixture.window;
    AppState &state = fixture.state;
    program.findChild<QAction *>(QStringLiteral("MenuAutoAlign"))->trigger();
    auto *window = program.findChild<FormAutoAlign *>();
    QVERIFY(window);
    window->findChild<QLineEdit *>(QStringLiteral("TextInstrument"))
        ->setText(QStringLiteral("tcp:127.0.0.1:%1").arg(m_meter->port()));
    window->findChild<QLineEdit *>(QStringLiteral("TextProcedure"))
        ->setText(writeProcedure(FreqProcedure));
    QSignalSpy finished(window, &FormAutoAlign::runFinished);
    window->findChild<QPushButton *>(QStringLiteral("CommandStart"))->click();
    QVERIFY(finished.wait(RunLimitMs));
    QCOMPARE(finished.first().first().value<AlignRunResult::Outcome>(),
             AlignRunResult::Outcome::Passed);

    // The run ends the transmission it keyed: the last frame is the value again, unkeyed.
    QVERIFY(program.session().waitForLiveLink(RunLimitMs));
    m_radio->takeWaitingInput();
    QCOMPARE(m_radio->liveFrames().last().frame, hex("54554E45 02 0000 01 28000000"));
    QCOMPARE(program.session().keyedWord(), -1);

    // The tune data window followed the value, it is marked, and the run is one undo step.
    TuneValueRow *row = program.formTune()->row(QStringLiteral("freq-adjust"));
    QCOMPARE(row->text()->text(), QStringLiteral("40"));
    QVERIFY(row->isMarkedChanged());
    QCOMPARE(program.session().undoStack()->count(), 1);
    QCOMPARE(m_radio->memoryWord(0), 40);
    program.session().undoStack()->undo();
    QCOMPARE(state.image.ReadImageWord(0), 0);
    QCOMPARE(row->text()->text(), QStringLiteral("0"));
    QVERIFY(program.session().waitForLiveLink(RunLimitMs));
}

void TstAlign::stopSendsNothingAfterIt()
{
    const std::unique_ptr<FormAutoAlign> window = makeWindow();
    QSignalSpy finished(window.get(), &FormAutoAlign::runFinished);
    auto *stop = window->findChild<QPushButton *>(QStringLiteral("CommandStop"));
    // The second try is on the line: the technician stops.
    connect(m_radio.get(), &SimulatedRadio::liveFrameReceived, stop, [stop](int index) {
        if (index == 1)
            stop->click();
    });
    window->findChild<QPushButton *>(QStringLiteral("CommandStart"))->click();
    QVERIFY(finished.wait(RunLimitMs));
    QCOMPARE(finished.first().first().value<AlignRunResult::Outcome>(),
             AlignRunResult::Outcome::Stopped);
    // Several settle times later, nothing more has gone out and nothing was written.
    QTest::qWait(100);
    m_radio->takeWaitingInput();
    QCOMPARE(m_radio->liveFrames().size(), 2);
    QCOMPARE(m_radio->requests().size(), 12);
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("TableSteps"));
    QVERIFY2(table->item(0, 5)->text().startsWith(QStringLiteral("stopped")),
             qPrintable(table->item(0, 5)->text()));
    QVERIFY(window->findChild<QPushButton *>(QStringLiteral("CommandStart"))->isEnabled());
    QVERIFY(!stop->isEnabled());
}

void TstAlign::badInputIsExplained_data()
{
    QTest::addColumn<QString>("instrument"); // empty: the simulated one
    QTest::addColumn<QByteArray>("procedure");
    QTest::addColumn<QString>("message");
    QTest::newRow("no address") << "x" << FreqProcedure << "is not an instrument address";
    QTest::newRow("bad procedure")
        << "" << QByteArray(R"({"name": "P"})") << "\"steps\" must be a list of at least one step.";
    QTest::newRow("misspelt value")
        << "" << QByteArray(R"({"name": "P", "steps": [{"value": "usb.mid.hihg.power", "tx": 2,
                              "measure": "M?", "target": 0, "low": -1, "high": 1}]})")
        << "Did you mean \"usb.mid.high.power\"?";
    QTest::newRow("nothing listens")
        << "tcp:127.0.0.1:1" << FreqProcedure << "The instrument cannot be reached.";
}

void TstAlign::badInputIsExplained()
{
    QFETCH(QString, instrument);
    QFETCH(QByteArray, procedure);
    QFETCH(QString, message);
    const std::unique_ptr<FormAutoAlign> window = makeWindow();
    if (!instrument.isEmpty())
        window->findChild<QLineEdit *>(QStringLiteral("TextInstrument"))->setText(instrument);
    writeProcedure(procedure);
    QString shown;
    whenModal([&shown](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        shown = box ? box->text() + box->informativeText() : QString();
        dialog->close();
    });
    window->findChild<QPushButton *>(QStringLiteral("CommandStart"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), RunLimitMs);
    QVERIFY2(shown.contains(message), qPrintable(shown));
    QTRY_VERIFY(window->findChild<QPushButton *>(QStringLiteral("CommandStart"))->isEnabled());
    QVERIFY(m_radio->liveFrames().isEmpty());
    QVERIFY(m_radio->requests().isEmpty());
}

void TstAlign::windowSpeaksChinese()
{
    Translations translations;
    QVERIFY(translations.apply(false));
    const std::unique_ptr<FormAutoAlign> window = makeWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("自动校准"));
    QCOMPARE(window->findChild<QPushButton *>(QStringLiteral("CommandStart"))->accessibleName(),
             QStringLiteral("开始"));
    // Every control says what it is, and every label leads to its box.
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QPushButton *>(w)
            || qobject_cast<QCheckBox *>(w) || qobject_cast<QTableWidget *>(w))
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("LabelInstrument"))->buddy(),
             window->findChild<QLineEdit *>(QStringLiteral("TextInstrument")));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("LabelProcedure"))->buddy(),
             window->findChild<QLineEdit *>(QStringLiteral("TextProcedure")));

    // The run and its report speak Chinese too.
    QSignalSpy finished(window.get(), &FormAutoAlign::runFinished);
    window->findChild<QPushButton *>(QStringLiteral("CommandStart"))->click();
    QVERIFY(finished.wait(RunLimitMs));
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("TableSteps"));
    QCOMPARE(table->item(0, 5)->text(), QStringLiteral("合格"));
    // RQ73_SHOT_DIR=folder keeps a picture of the window for a look by eye.
    if (const QString shots = qEnvironmentVariable("RQ73_SHOT_DIR"); !shots.isEmpty())
        window->grab().save(QDir(shots).filePath(QStringLiteral("autoalign-zh.png")));
    const QString report = m_dir.filePath(QStringLiteral("chinese.html"));
    QVERIFY(window->saveReportTo(report));
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains(QStringLiteral("<h2>步骤 1: freq-adjust</h2>")));
    QVERIFY(html.contains(QStringLiteral("所有步骤均合格")));
    translations.apply(true);
}

QTEST_MAIN(TstAlign)
#include "tst_align.moc"
