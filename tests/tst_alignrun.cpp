// rq73tune-cli align as a script runs it: the real program in a process of its own, talking to a
// simulated radio over a pseudo-terminal and to a simulated instrument over TCP, both in this
// process.

#include "cliprocess.h"
#include "testsplit.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "simulatedmeter.h"
#include "simulatedradio.h"
#include "testdata.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using TestData::hex;

namespace {

constexpr int SimCom = 8;
constexpr int RunLimitMs = 60000;
// The instrument's reply time-out of the runs that meet a faulty instrument: a silent one costs a
// second instead of two, while an answering one has room on a busy machine. The other runs keep
// the product's time-out.
const char ShortInstrumentTimeout[] = "reply=1000";
constexpr int SlowReplyMs = 2500;

using Response = std::function<double(int word, qint32 value)>;

// One step on the frequency adjustment; the readings come from the meter's response.
QByteArray freqProcedure(int maxTries = 12)
{
    return QStringLiteral(R"({"name": "Frequency", "steps": [
        {"value": "freq-adjust", "setup": ["CONF:FERR"], "measure": "MEAS:FERR?", "target": 0,
         "low": -5, "high": 5, "unit": "Hz", "tx": 2, "settle_ms": 5, "max_tries": %1}]})")
        .arg(maxTries)
        .toUtf8();
}

} // namespace

class TstAlignRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void responseShapes_data();
    void responseShapes();
    void instrumentFaultsGive7_data();
    void instrumentFaultsGive7();
    void radioFaultsGive2And4_data();
    void radioFaultsGive2And4();
    void badProceduresGive3_data();
    void badProceduresGive3();
    void reportsAndSavedFile();
    void exampleProcedureRuns();

private:
    Result cli(const QStringList &arguments, const QString &transferTimings = {},
               const QString &instrumentTimings = {});
    QString path(const QString &name) const { return m_files.filePath(name); }
    QString writeProcedure(const QByteArray &content);
    QString meterAddress() const { return QStringLiteral("tcp:127.0.0.1:%1").arg(m_meter->port()); }
    QList<QByteArray> frames() const;

    QTemporaryDir m_dir;
    QTemporaryDir m_files;
    std::unique_ptr<SimulatedRadio> m_radio;
    std::unique_ptr<SimulatedMeter> m_meter;
};

void TstAlignRun::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QSettings settings = SettingsStore::openSettings();
    settings.setValue(QStringLiteral("ComPort"), QString::number(SimCom));
    settings.sync();
    QCOMPARE(settings.status(), QSettings::NoError);
}

void TstAlignRun::init()
{
    RQ73_SKIP_IF_RUN_ELSEWHERE();
    QVERIFY(m_files.isValid());
    m_radio = std::make_unique<SimulatedRadio>();
    QVERIFY2(m_radio->isOpen(), qPrintable(m_radio->errorString()));
    QVERIFY(m_radio->registerAsComPort(SimCom));
    for (int w = 0; w < RadioImage::WordCount; ++w)
        m_radio->setMemoryWord(w, 50);
    m_radio->setMemoryWord(0, 0);
    m_meter = std::make_unique<SimulatedMeter>(*m_radio);
    QVERIFY2(m_meter->listen(), qPrintable(m_meter->errorString()));
}

void TstAlignRun::cleanup()
{
    m_meter.reset();
    m_radio.reset();
    for (const QString &name : QDir(m_files.path()).entryList(QDir::Files))
        QFile::remove(path(name));
}

Result TstAlignRun::cli(const QStringList &arguments, const QString &transferTimings,
                        const QString &instrumentTimings)
{
    const QProcessEnvironment env =
        cliEnvironment(m_dir.path(), m_dir.path(),
                       {{QStringLiteral("RQ73_TRANSFER_TIMINGS"), transferTimings},
                        {QStringLiteral("RQ73_ALIGN_TIMINGS"), instrumentTimings}});
    return runCliProgram(QStringLiteral(RQ73_CLI_PROGRAM), arguments, env, RunLimitMs);
}

QString TstAlignRun::writeProcedure(const QByteArray &content)
{
    const QString file = path(QStringLiteral("procedure.json"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        qWarning("cannot write the procedure");
    return file;
}

QList<QByteArray> TstAlignRun::frames() const
{
    QList<QByteArray> out;
    for (const SimulatedRadio::LiveFrame &f : m_radio->liveFrames())
        out.append(f.frame);
    return out;
}

// ---- the search against the radio and the instrument ----

void TstAlignRun::responseShapes_data()
{
    QTest::addColumn<Response>("response");
    QTest::addColumn<QList<qint32>>("tried");
    QTest::addColumn<qint32>("finalValue");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("lastFrame");

    // The value starts at 0 and the first probe is an eighth of the range (600 / 8) away.
    const Response rising = [](int, qint32 v) { return 2.0 * (v - 40); };
    QTest::newRow("rising") << rising << QList<qint32>{0, 75, 40} << 40 << "passed" << 0
                            << hex("54554E45 22 0000 01 28000000");
    const Response falling = [](int, qint32 v) { return -3.0 * (v + 100); };
    QTest::newRow("falling") << falling << QList<qint32>{0, 75, -100} << -100 << "passed" << 0
                             << hex("54554E45 22 0000 01 9CFFFFFF");
    // ±6 Hz of noise against limits of ±5 Hz: the line is refitted through every reading.
    const Response noisy = [](int, qint32 v) { return 2.0 * (v - 40) + ((v * 37) % 7 - 3) * 2.0; };
    QTest::newRow("noisy") << noisy << QList<qint32>{0, 75, 41, 40} << 40 << "passed" << 0
                           << hex("54554E45 22 0000 01 28000000");
    // Nothing follows the value: the radio goes back to where it was.
    const Response flat = [](int, qint32) { return 12.0; };
    QTest::newRow("flat") << flat << QList<qint32>{0, 75} << 0 << "outside" << 6
                          << hex("54554E45 22 0000 01 00000000");
    // The target lies beyond the end of the range.
    const Response outOfReach = [](int, qint32 v) { return 0.1 * v + 100.0; };
    QTest::newRow("out of reach") << outOfReach << QList<qint32>{0, 75, -300} << 0 << "outside" << 6
                                  << hex("54554E45 22 0000 01 00000000");
}

void TstAlignRun::responseShapes()
{
    QFETCH(Response, response);
    QFETCH(QList<qint32>, tried);
    QFETCH(qint32, finalValue);
    QFETCH(QString, result);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, lastFrame);

    m_meter->setResponse(response);
    const Result r
        = cli({QStringLiteral("align"), writeProcedure(freqProcedure()), QStringLiteral("--meter"),
               meterAddress(), QStringLiteral("--report"), path(QStringLiteral("report.json"))});
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out, QStringLiteral("freq-adjust\t0 -> %1\t%2\n").arg(finalValue).arg(result));

    QFile file(path(QStringLiteral("report.json")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject step
        = QJsonDocument::fromJson(file.readAll()).object()[QStringLiteral("steps")][0].toObject();
    QList<qint32> values;
    for (const QJsonValue &t : step[QStringLiteral("tries")].toArray())
        values.append(t[QStringLiteral("value")].toInt());
    QCOMPARE(values, tried);
    QCOMPARE(step[QStringLiteral("new_value")].toInt(), finalValue);
    QCOMPARE(step[QStringLiteral("result")].toString(), result);

    // One frame per try, and one more when the value kept is not the one tried last.
    const QList<QByteArray> sent = frames();
    QCOMPARE(sent.size(), tried.size() + (tried.last() == finalValue ? 0 : 1));
    QCOMPARE(sent.last(), lastFrame);
    QCOMPARE(m_meter->commands(), QStringList{QStringLiteral("CONF:FERR")});
    // The tune data are written only when every step passed.
    const bool passed = exitCode == 0;
    QCOMPARE(m_radio->memoryWord(0), passed ? finalValue : 0);
    // A full read is 12 requests, the tune data window's write 5.
    QCOMPARE(m_radio->requests().size(), passed ? 12 + 5 : 12);
    QCOMPARE(m_radio->requests().last().operation, passed ? 5 : 4);
}

void TstAlignRun::instrumentFaultsGive7_data()
{
    QTest::addColumn<int>("faultyQuery");
    QTest::addColumn<SimulatedMeter::Fault>("fault");
    QTest::addColumn<QList<QByteArray>>("expectedFrames");
    QTest::addColumn<QString>("message");

    // The value starts at -5; the readings 2 × (value - 40) lead to 70 and then 40.
    const QByteArray start = hex("54554E45 22 0000 01 FBFFFFFF");
    const QByteArray probe = hex("54554E45 22 0000 01 46000000");
    const QByteArray third = hex("54554E45 22 0000 01 28000000");
    QTest::newRow("silent at the first reading")
        << 0 << SimulatedMeter::Fault::Silent << QList<QByteArray>{start}
        << "The instrument did not reply.";
    QTest::newRow("garbage at the second")
        << 1 << SimulatedMeter::Fault::Garbage << QList<QByteArray>{start, probe, start}
        << "The instrument's reply is not a reading.";
    QTest::newRow("slow at the second")
        << 1 << SimulatedMeter::Fault::Slow << QList<QByteArray>{start, probe, start}
        << "The instrument did not reply.";
    QTest::newRow("hangs up at the third")
        << 2 << SimulatedMeter::Fault::Hangup << QList<QByteArray>{start, probe, third, start}
        << "The connection to the instrument was lost.";
    // Nothing listens there: not a single frame goes out.
    QTest::newRow("unreachable") << -1 << SimulatedMeter::Fault::None << QList<QByteArray>{}
                                 << "The instrument cannot be reached.";
}

void TstAlignRun::instrumentFaultsGive7()
{
    QFETCH(int, faultyQuery);
    QFETCH(SimulatedMeter::Fault, fault);
    QFETCH(QList<QByteArray>, expectedFrames);
    QFETCH(QString, message);

    m_radio->setMemoryWord(0, -5);
    m_meter->setResponse([](int, qint32 v) { return 2.0 * (v - 40); });
    m_meter->setSlowDelayMs(SlowReplyMs);
    m_meter->setFaultPlan([faultyQuery, fault](int index) {
        return index == faultyQuery ? fault : SimulatedMeter::Fault::None;
    });
    QString address = meterAddress();
    if (faultyQuery < 0) {
        m_meter.reset();
        // The port the meter listened on is free again, and nothing answers there.
    }
    const Result r = cli({QStringLiteral("align"), writeProcedure(freqProcedure()),
                          QStringLiteral("--meter"), address},
                         {}, QString::fromLatin1(ShortInstrumentTimeout));
    QCOMPARE(r.exitCode, 7);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(frames(), expectedFrames);
    // Nothing is written after a fault: only the read went to the radio.
    QCOMPARE(m_radio->requests().size(), faultyQuery < 0 ? 0 : 12);
    QCOMPARE(m_radio->memoryWord(0), -5);
}

void TstAlignRun::radioFaultsGive2And4_data()
{
    QTest::addColumn<bool>("silentRadio"); // false: the COM port leads to no device
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("the radio does not answer the read")
        << true << 2 << "The radio did not answer; the read was given up.";
    QTest::newRow("no such port") << false << 4 << "does not exist";
}

void TstAlignRun::radioFaultsGive2And4()
{
    QFETCH(bool, silentRadio);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QStringList arguments{QStringLiteral("align"), writeProcedure(freqProcedure()),
                          QStringLiteral("--meter"), meterAddress()};
    if (silentRadio) {
        m_radio->setReplyTimeoutMs(50);
        m_radio->setFaultPlan([](int) { return SimulatedRadio::Fault::Silent; });
    } else {
        QSettings settings = SettingsStore::openSettings();
        settings.setValue(QStringLiteral("Ports/COM%1").arg(SimCom + 1),
                          QStringLiteral("/nonexistent/rq73-align-port"));
        settings.sync();
        arguments << QStringLiteral("--com") << QString::number(SimCom + 1);
    }
    const Result r = cli(arguments, QStringLiteral("reply=50,quiet=10"));
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(m_radio->liveFrames().isEmpty());
    QCOMPARE(m_meter->queryCount(), 0);
    QCOMPARE(r.out, QStringLiteral("freq-adjust\t0 -> 0\tskipped\n"));
}

void TstAlignRun::badProceduresGive3_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("message");

    const QByteArray step = R"("measure": "MEAS:FERR?", "target": 0, "low": -5, "high": 5)";
    auto procedure = [&step](const QByteArray &extra) {
        return R"({"name": "P", "steps": [{)" + extra + ", " + step + "}]}";
    };
    QTest::newRow("no file") << QByteArray() << "The file does not exist.";
    QTest::newRow("not JSON") << QByteArray("{\"name\": ") << "It is not valid JSON";
    QTest::newRow("unknown key of the procedure")
        << QByteArray(R"({"name": "P", "steps": [], "author": "x"})") << "Unknown key \"author\"";
    QTest::newRow("no steps") << QByteArray(R"({"name": "P", "steps": []})")
                              << "\"steps\" must be a list of at least one step.";
    QTest::newRow("unknown key of a step")
        << procedure(R"("value": "freq-adjust", "tx": 3, "settle": 10)")
        << "Step 1: unknown key \"settle\"";
    QTest::newRow("misspelt value")
        << procedure(R"("value": "freq-adjst", "tx": 3)") << "Did you mean \"freq-adjust\"?";
    QTest::newRow("a squelch table value")
        << procedure(R"("value": "sq.fm.3.on")") << "no value that can be aligned is called";
    QTest::newRow("transmit value without tx")
        << procedure(R"("value": "fm.low.low.power")")
        << "fm.low.low.power keys the transmitter: \"tx\" must give its transmit time";
    QTest::newRow("tx beyond 10 s")
        << procedure(R"("value": "freq-adjust", "tx": 11)") << "1 to 10 seconds";
    QTest::newRow("receive value with tx")
        << procedure(R"("value": "sq.mid", "tx": 2)") << "sq.mid does not key the transmitter";
    QTest::newRow("target outside the limits")
        << QByteArray(R"({"name": "P", "steps": [{"value": "sq.mid", "measure": "M?",
                          "target": 9, "low": -5, "high": 5}]})")
        << "low <= target <= high";
    QTest::newRow("settle longer than the transmission")
        << procedure(R"("value": "freq-adjust", "tx": 1, "settle_ms": 1000)")
        << "shorter than the transmit time";
    QTest::newRow("max_tries of 0")
        << procedure(R"("value": "freq-adjust", "tx": 1, "max_tries": 0)")
        << "\"max_tries\" must be a whole number from 1 to 100.";
}

void TstAlignRun::badProceduresGive3()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString file
        = content.isEmpty() ? path(QStringLiteral("missing.json")) : writeProcedure(content);
    const Result r
        = cli({QStringLiteral("align"), file, QStringLiteral("--meter"), meterAddress()});
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.startsWith(file + QStringLiteral(": ")), qPrintable(r.err));
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(m_radio->liveFrames().isEmpty());
    QVERIFY(m_radio->requests().isEmpty());
    QCOMPARE(m_meter->queryCount(), 0);
}

// ---- what a run leaves behind ----

void TstAlignRun::reportsAndSavedFile()
{
    m_meter->setResponse([](int, qint32 v) { return 2.0 * (v - 40); });
    const QString procedure = writeProcedure(freqProcedure());
    for (const QString &name : {QStringLiteral("r.html"), QStringLiteral("r.pdf")}) {
        const Result r
            = cli({QStringLiteral("align"), procedure, QStringLiteral("--meter"), meterAddress(),
                   QStringLiteral("--no-write"), QStringLiteral("--report"), path(name),
                   QStringLiteral("--save"), path(QStringLiteral("after.rdat"))});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains(QStringLiteral("nothing was written to the radio")),
                 qPrintable(r.err));
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        if (name.endsWith(QLatin1String(".pdf"))) {
            QVERIFY(content.startsWith("%PDF-"));
        } else {
            QVERIFY(content.contains("<h2>Step 1: freq-adjust</h2>"));
            QVERIFY(content.contains("<img src=\"data:image/png;base64,"));
            QVERIFY(content.contains("<td>0</td><td>40</td>"));
        }
    }
    // --no-write: the radio's memory is as it was; the saved file holds the new value.
    QCOMPARE(m_radio->memoryWord(0), 0);
    QFile saved(path(QStringLiteral("after.rdat")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().mid(16, 4), hex("28000000"));
}

void TstAlignRun::exampleProcedureRuns()
{
    // The procedure that ships with the project against the simulated instrument's own response.
    // Its settle times wait for a real transmitter; the simulated one has settled at once.
    QFile example(QStringLiteral(RQ73_EXAMPLE_PROCEDURE));
    QVERIFY(example.open(QIODevice::ReadOnly));
    QJsonObject procedure = QJsonDocument::fromJson(example.readAll()).object();
    QJsonArray steps = procedure[QStringLiteral("steps")].toArray();
    QCOMPARE(steps.size(), 3);
    for (QJsonValueRef step : steps) {
        QJsonObject object = step.toObject();
        object[QStringLiteral("settle_ms")] = 1;
        step = object;
    }
    procedure[QStringLiteral("steps")] = steps;
    const Result r = cli({QStringLiteral("align"),
                          writeProcedure(QJsonDocument(procedure).toJson()),
                          QStringLiteral("--meter"), meterAddress()});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.count(QStringLiteral("\tpassed\n")), 3);
    QCOMPARE(m_meter->commands(),
             (QStringList{QStringLiteral("CONF:FERR"), QStringLiteral("CONF:POW"),
                          QStringLiteral("CONF:FM:DEV")}));
}

QTEST_GUILESS_MAIN(TstAlignRun)
#include "tst_alignrun.moc"
