// The transfer engine against the simulated radio over real pseudo-terminals.

#include "blockplan.h"
#include "blocktext.h"
#include "debugtext.h"
#include "portopen.h"
#include "portprobe.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "testdata.h"
#include "testsettings.h"
#include "transferengine.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <list>
#include <memory>
#include <numeric>

using Fault = SimulatedRadio::Fault;

using TestData::patternBytes;

namespace {

constexpr int SimCom = 7;
// Short, but long enough that a loaded machine does not miss a reply the radio sent at once.
// Tests that count requests exactly use answering or mixed timings: a radio that answers never
// waits for the time-out, so a long one costs nothing and no slow answer turns into a repeat.
TransferTimings timings(int replyTimeoutMs, int quietMs = 10)
{
    TransferTimings t;
    t.replyTimeoutMs = replyTimeoutMs;
    t.quietMs = quietMs;
    return t;
}
TransferTimings testTimings()
{
    return timings(12, 5);
}
TransferTimings answeringTimings()
{
    return timings(1000);
}
TransferTimings mixedTimings()
{
    return timings(60, 5);
}
// Enough for any transfer of these tests, failures included; reached only when a test fails.
constexpr int WaitMs = 20000;
// Returns as soon as the spy has seen count signals (a polling wait would add its step to every
// transfer of the tables).
bool waitForCount(QSignalSpy &spy, int count)
{
    QDeadlineTimer deadline(WaitMs);
    while (spy.count() < count && !deadline.hasExpired())
        spy.wait(int(std::max<qint64>(1, deadline.remainingTime())));
    return spy.count() >= count;
}
// Words the tool never received keep this value, so a stray write into the image shows.
constexpr qint32 Marker = 0x5AA5C33C;
constexpr qint32 RadioMarker = 0x11111111;

// What a transfer of the faulty-radio table ends with; the invariant is checked either way.
enum Outcome { Fails, Succeeds, Either };

QList<int> transferredWords(const QList<BlockPlan::Block> &blocks)
{
    QList<int> words;
    for (const BlockPlan::Block &block : blocks) {
        for (int w = block.firstWord; w < block.firstWord + block.count; ++w)
            words.append(w);
    }
    return words;
}

QList<int> transferredWords(const BlockPlan &plan)
{
    return transferredWords(plan.blocks());
}

QString requestsText(const QList<SimulatedRadio::Request> &requests)
{
    QList<BlockPlan::Block> blocks;
    for (const SimulatedRadio::Request &r : requests)
        blocks.append({r.firstWord, r.count});
    return blocksText(blocks);
}

void fillWords(RadioImage &image, qint32 value)
{
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, value);
}

// Image and radio that differ in every word: a read fills the image with markers to be
// replaced, a write leaves markers in the radio to be overwritten.
RadioImage distinctSides(SimulatedRadio &radio, bool isRead)
{
    RadioImage image;
    if (isRead) {
        fillWords(image, Marker);
    } else {
        image.assign(patternBytes(53, 7));
        for (int w = 0; w < RadioImage::WordCount; ++w)
            radio.setMemoryWord(w, RadioMarker);
    }
    return image;
}

// The header every request starts with, spelled out byte for byte.
QByteArray header(int operation, int firstWord, int count)
{
    return QByteArray::fromHex(QString::asprintf("54554E45%02X%02X%02X%02X", operation,
                                                 firstWord & 0xFF, firstWord >> 8, count)
                                   .toLatin1());
}

QStringList lines(const QSignalSpy &spy)
{
    QStringList result;
    for (const QList<QVariant> &args : spy)
        result << args.at(0).toString();
    return result;
}

int countLines(const QSignalSpy &spy, const QString &prefix)
{
    int n = 0;
    for (const QString &line : lines(spy))
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

QStringList percentTexts(const QSignalSpy &progress)
{
    QStringList texts;
    for (const QList<QVariant> &args : progress)
        texts << progressPercentText(args.at(0).toDouble());
    return texts;
}

} // namespace

// One engine on an image, with a spy on each of its signals.
struct Watched
{
    explicit Watched(RadioImage &image, const TransferTimings &timings = testTimings())
        : engine(image)
        , debug(&engine, &TransferEngine::debugLine)
        , progress(&engine, &TransferEngine::progress)
        , question(&engine, &TransferEngine::retryQuestion)
        , finished(&engine, &TransferEngine::finished)
    {
        engine.setTimings(timings);
    }

    bool succeeded() const { return finished.count() == 1 && finished.at(0).at(0).toBool(); }

    TransferEngine engine;
    QSignalSpy debug;
    QSignalSpy progress;
    QSignalSpy question;
    QSignalSpy finished;
};

class TstLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void transfer_data();
    void transfer();
    void realLines_data();
    void realLines();
    void busyMachineIsNoWire_data();
    void busyMachineIsNoWire();
    void faultyRadio_data();
    void faultyRadio();
    void deadRadioAsksAfterElevenTries();
    void failuresCountAcrossSuccesses();
    void vanishedPortIsNotReopened();
    void radioWithdrawsItsPortWhenItVanishes();
    void missingPort();
    void portInUse();
    void stopMidTransfer();
    void probeListsOpenablePorts();
    void liveFramesAreRecorded();
    void simulatorProgramKeepsUserSettings();
    void simulatorProgramRefusesNonImages_data();
    void simulatorProgramRefusesNonImages();

private:
    std::unique_ptr<SimulatedRadio> newRadio();

    QTemporaryDir m_settingsDir;
    std::unique_ptr<SimulatedRadio> m_radio;
};

void TstLink::initTestCase()
{
    QVERIFY(m_settingsDir.isValid());
    isolateSettings(m_settingsDir.path());
}

std::unique_ptr<SimulatedRadio> TstLink::newRadio()
{
    auto radio = std::make_unique<SimulatedRadio>();
    radio->setReplyTimeoutMs(testTimings().replyTimeoutMs);
    radio->memory() = patternBytes(37, 11);
    return radio;
}

void TstLink::init()
{
    m_radio = newRadio();
    QVERIFY2(m_radio->isOpen(), qPrintable(m_radio->errorString()));
    QVERIFY(m_radio->registerAsComPort(SimCom));
}

void TstLink::cleanup()
{
    m_radio.reset();
}

void TstLink::transfer_data()
{
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<bool>("paced");
    QTest::addColumn<QString>("blocks");
    QTest::addColumn<QStringList>("texts");

    const QString full = QStringLiteral(
        "0;16-47;48-51;61-63;64-77;80-111;112-115;128-157;158-189;190-221;222-245;246-275");
    const QStringList fullTexts{"%",   "17%", "19%", "23%", "28%", "41%",
                                "42%", "57%", "69%", "81%", "89%", "100%"};
    const QString squelch = QStringLiteral("128-157;158-189;190-221;222-245;246-275");
    const QStringList squelchTexts{"20%", "42%", "64%", "80%", "100%"};

    using K = TransferKind;
    QTest::newRow("full read") << K::FullRead << false << full << fullTexts;
    QTest::newRow("full read paced") << K::FullRead << true << full << fullTexts;
    QTest::newRow("full write") << K::FullWrite << false << full << fullTexts;
    QTest::newRow("full write paced") << K::FullWrite << true << full << fullTexts;
    QTest::newRow("tune data write")
        << K::TuneDataWrite << false << QStringLiteral("0;16-47;48-51;61-63;64-77")
        << QStringList{"1%", "68%", "73%", "90%", "100%"};
    QTest::newRow("squelch read") << K::SquelchRead << false << squelch << squelchTexts;
    QTest::newRow("squelch write") << K::SquelchWrite << false << squelch << squelchTexts;
}

void TstLink::transfer()
{
    QFETCH(TransferKind, kind);
    QFETCH(bool, paced);
    const bool isRead = isReadTransfer(kind);
    QFETCH(QString, blocks);
    QFETCH(QStringList, texts);

    m_radio->setPaced(paced);
    RadioImage image = distinctSides(*m_radio, isRead);
    const RadioImage before = image;

    Watched run(image, answeringTimings());
    const PortOpenResult opened = run.engine.start(SimCom, kind);
    QVERIFY2(opened.ok(), qPrintable(opened.systemText));
    QCOMPARE(opened.device, m_radio->devicePath());
    QVERIFY(waitForCount(run.finished, 1));
    QCOMPARE(run.finished.count(), 1);
    QVERIFY(run.succeeded());
    QVERIFY(run.engine.succeeded());
    QCOMPARE(run.engine.end(), TransferEnd::Succeeded);
    QVERIFY(!run.engine.isRunning());
    QVERIFY(!run.engine.isPortOpen());
    QCOMPARE(run.question.count(), 0);

    // The bytes the radio received are the assertion.
    const QList<SimulatedRadio::Request> &requests = m_radio->requests();
    QCOMPARE(requestsText(requests), blocks);
    const QByteArray imageBytes = before.toByteArray();
    for (const SimulatedRadio::Request &r : requests) {
        QByteArray expected = header(isRead ? 4 : 5, r.firstWord, r.count);
        if (!isRead)
            expected += imageBytes.mid(4 * r.firstWord, 4 * r.count);
        QCOMPARE(r.frame, expected);
    }
    QCOMPARE(m_radio->receivedBytes().size(),
             std::accumulate(requests.cbegin(), requests.cend(), qsizetype(0),
                             [](qsizetype n, const auto &r) { return n + r.frame.size(); }));

    const QList<int> moved = transferredWords(BlockPlan(kind));
    for (int w = 0; w < RadioImage::WordCount; ++w) {
        if (isRead) {
            const qint32 expected = moved.contains(w) ? m_radio->memoryWord(w) : Marker;
            QVERIFY2(image.ReadImageWord(w) == expected, qPrintable(QString::number(w)));
        } else {
            const qint32 expected = moved.contains(w) ? image.ReadImageWord(w) : RadioMarker;
            QVERIFY2(m_radio->memoryWord(w) == expected, qPrintable(QString::number(w)));
        }
    }
    if (!isRead)
        QVERIFY(image == before);

    QCOMPARE(percentTexts(run.progress), texts);
    const QStringList shown = lines(run.debug);
    QCOMPARE(shown.size(), 2 * requests.size());
    for (int i = 0; i < shown.size(); ++i)
        QVERIFY(shown.at(i).startsWith(i % 2 ? QStringLiteral("RX:6 ") : QStringLiteral("TX:")));
    QCOMPARE(shown.first(), DebugText::hexLine(DebugText::TxPrefix, requests.first().frame));
}

// What real cables and radios do around every reply, in both directions, paced and not: each
// full transfer succeeds with exactly the radio's words, at most one extra request per block.
// Noise before the acknowledgement and an echo cost nothing; bytes after a reply in its own
// window put the block in doubt until a second answer agrees (on a 115200 baud line they arrive
// after the next request is out, where they are noise); a 0x06 in the noise makes two readings
// of every window, and the one two windows share is taken.
void TstLink::realLines_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("unaskedAt"); // the request followed by an unasked reply, or -1
    QTest::addColumn<bool>("isRead");
    QTest::addColumn<bool>("paced");
    QTest::addColumn<int>("fewest");
    QTest::addColumn<int>("most");

    using L = SimulatedRadio::Line;
    struct Row
    {
        const char *name;
        L line;
        int unaskedAt;
        // Requests: unpaced read, unpaced write, paced read, paced write; fewest and most.
        int counts[4][2];
    };
    const Row rows[] = {
        {"clean", L::Clean, -1, {{12, 12}, {12, 12}, {12, 12}, {12, 12}}},
        {"junk before the ack", L::Junk, -1, {{12, 12}, {12, 12}, {12, 12}, {12, 12}}},
        {"echo", L::Echo, -1, {{12, 12}, {12, 12}, {12, 12}, {12, 12}}},
        // Unpaced, the carriage return comes with the reply; paced, a read's lands in the next
        // window before its request is heard, but the last block and a write's acknowledgement
        // wait for silence.
        {"trailer", L::Trailer, -1, {{13, 24}, {24, 24}, {12, 24}, {24, 24}}},
        // Paced, the noise can land inside a later reply, and inside the repeat of it.
        {"late noise", L::LateNoise, -1, {{12, 24}, {12, 24}, {12, 36}, {12, 36}}},
        {"junk with 0x06", L::JunkWithAck, -1, {{24, 24}, {24, 24}, {12, 26}, {24, 24}}},
        // A reply nobody asked for, as long as the last block's, 5 ms after the eleventh reply;
        // the real twelfth follows it.
        {"unasked reply before the last", L::Clean, 10, {{13, 15}, {13, 15}, {13, 15}, {13, 15}}},
    };
    for (const Row &row : rows) {
        for (const bool paced : {false, true}) {
            for (const bool isRead : {true, false}) {
                const auto &count = row.counts[(paced ? 2 : 0) + (isRead ? 0 : 1)];
                QTest::addRow("%s, %s%s", row.name, isRead ? "read" : "write",
                              paced ? ", paced" : "")
                    << int(row.line) << row.unaskedAt << isRead << paced << count[0] << count[1];
            }
        }
    }
}

void TstLink::realLines()
{
    QFETCH(int, line);
    QFETCH(int, unaskedAt);
    QFETCH(bool, isRead);
    QFETCH(bool, paced);
    QFETCH(int, fewest);
    QFETCH(int, most);

    m_radio->setPaced(paced);
    m_radio->setLine(SimulatedRadio::Line(line));
    m_radio->setFaultPlan(
        [unaskedAt](int i) { return i == unaskedAt ? Fault::Unasked : Fault::None; });
    RadioImage image = distinctSides(*m_radio, isRead);
    const RadioImage before = image;
    const TransferKind kind = isRead ? TransferKind::FullRead : TransferKind::FullWrite;

    // Room for a busy machine: nothing here should time out, and an answer at an odd time
    // costs one reply time-out of silence.
    Watched run(image, timings(200, TransferTimings().quietMs));
    QVERIFY(run.engine.start(SimCom, kind).ok());
    QVERIFY(waitForCount(run.finished, 1));
    if (qEnvironmentVariableIsSet("RQ73_SHOW_DEBUG"))
        qInfo().noquote() << lines(run.debug).join(QLatin1Char('\n'));
    QVERIFY(run.succeeded());
    QCOMPARE(run.question.count(), 0);

    const qsizetype requests = m_radio->requests().size();
    QVERIFY2(requests >= fewest && requests <= most, QByteArray::number(requests));
    for (const int w : transferredWords(BlockPlan(kind))) {
        const QByteArray where = QByteArray::number(w);
        if (isRead)
            QVERIFY2(image.ReadImageWord(w) == m_radio->memoryWord(w), where);
        else
            QVERIFY2(m_radio->memoryWord(w) == before.ReadImageWord(w), where);
    }
    // The debug list holds every byte that arrived, in order, after the requests it followed.
    QByteArray shown;
    for (const QString &l : lines(run.debug)) {
        if (!l.startsWith(QStringLiteral("RX:")))
            continue;
        for (const QString &byte : l.mid(3).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            shown.append(char(byte.toUInt(nullptr, 16)));
    }
    QVERIFY(m_radio->sentBytes().startsWith(shown));
}

// A pseudo-terminal on a machine busy at first: the first answers come later than a real line
// could bring them, the rest at once, each reply whole. Nothing there is evidence of anything;
// the transfer takes one request per block.
void TstLink::busyMachineIsNoWire_data()
{
    QTest::addColumn<bool>("isRead");
    QTest::addColumn<int>("lateUs"); // past the request's time on a 115200 baud line
    QTest::addColumn<int>("lateAnswers");

    QTest::newRow("read") << true << 2000 << 3;
    QTest::newRow("read, late throughout the first blocks") << true << 2000 << 5;
    QTest::newRow("write") << false << 15000 << 3;
}

void TstLink::busyMachineIsNoWire()
{
    QFETCH(bool, isRead);
    QFETCH(int, lateUs);
    QFETCH(int, lateAnswers);

    SimulatedRadio &radio = *m_radio;
    m_radio->setFaultPlan([&radio, lateUs, lateAnswers](int i) {
        radio.setAnswerDelayUs(i < lateAnswers ? lateUs : 0);
        return Fault::None;
    });
    RadioImage image = distinctSides(*m_radio, isRead);
    const RadioImage before = image;
    const TransferKind kind = isRead ? TransferKind::FullRead : TransferKind::FullWrite;

    Watched run(image, timings(200, TransferTimings().quietMs));
    QVERIFY(run.engine.start(SimCom, kind).ok());
    QVERIFY(waitForCount(run.finished, 1));
    QVERIFY(run.succeeded());
    QCOMPARE(m_radio->requests().size(), 12);
    for (const int w : transferredWords(BlockPlan(kind))) {
        const QByteArray where = QByteArray::number(w);
        if (isRead)
            QVERIFY2(image.ReadImageWord(w) == m_radio->memoryWord(w), where);
        else
            QVERIFY2(m_radio->memoryWord(w) == before.ReadImageWord(w), where);
    }
}

// Every way a radio or a line can misbehave, in both directions, paced and not. Whatever happens,
// a transfer that reports success has every word of its range from the radio it finished on, and
// one that does not holds no word that came from anywhere else.
//
// The fault hits the second request: block 158-189 of a squelch transfer, followed by a block of
// the same length, so a reply taken one request late would fit it exactly.
void TstLink::faultyRadio_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("next");     // the fault of the third request
    QTest::addColumn<bool>("always");  // every request, not only the second
    QTest::addColumn<bool>("restart"); // the transfer is closed mid-reply and started again
    QTest::addColumn<int>("answerUs"); // how long the radio takes to answer
    QTest::addColumn<int>("retries");  // Retry answers to the question before Cancel
    QTest::addColumn<bool>("isRead");
    QTest::addColumn<bool>("paced");
    QTest::addColumn<int>("outcome");

    struct Row
    {
        const char *name;
        Fault fault;
        Fault next;
        bool always;
        bool restart;
        int answerUs;
        int retries;
        Outcome outcome;
        bool pacedToo;
    };
    const Row rows[] = {
        {"silent", Fault::Silent, Fault::None, false, false, 0, 0, Succeeds, true},
        {"refuse", Fault::Refuse, Fault::None, false, false, 0, 0, Succeeds, true},
        {"junk before ack", Fault::JunkBeforeAck, Fault::None, false, false, 0, 0, Succeeds, true},
        {"split", Fault::Split, Fault::None, false, false, 0, 0, Succeeds, true},
        {"cut short", Fault::CutShort, Fault::None, false, false, 0, 0, Succeeds, true},
        {"trailing", Fault::Trailing, Fault::None, false, false, 0, 0, Succeeds, true},
        {"babble", Fault::Babble, Fault::None, false, false, 0, 0, Succeeds, true},
        {"late", Fault::Late, Fault::None, false, false, 0, 0, Succeeds, true},
        {"very late", Fault::VeryLate, Fault::None, false, false, 0, 0, Succeeds, true},
        {"duplicate", Fault::Duplicate, Fault::None, false, false, 0, 0, Succeeds, true},
        {"ack storm", Fault::AckStorm, Fault::None, false, false, 0, 0, Succeeds, true},
        // The answer to 158-189 comes after the tool has given up on it, just after the request
        // for 190-221, whose own answer follows 10 ms later.
        {"stale", Fault::Stale, Fault::None, false, false, 0, 0, Succeeds, true},
        // A reply nobody asked for, as long as the next block's, 5 ms after a real one: a slow
        // radio's real answer comes after it, a quick radio's before it.
        {"unasked, slow radio", Fault::Unasked, Fault::None, false, false, 12000, 0, Succeeds,
         true},
        {"unasked, quick radio", Fault::Unasked, Fault::None, false, false, 100, 0, Succeeds, true},
        // The radio goes in the middle of a reply and another takes its device; the user says
        // Retry.
        {"replaced", Fault::Replaced, Fault::None, false, false, 0, 1, Succeeds, true},
        // The unasked reply's real counterpart never comes: the radio babbles instead.
        {"unasked then babble, slow radio", Fault::Unasked, Fault::Babble, false, false, 12000, 0,
         Succeeds, true},
        // Every answer comes after the time-out: slow progress, never a wrong word. Whether the
        // failures add up to the question before the end depends on how the late answers fall.
        {"very late always", Fault::VeryLate, Fault::None, true, false, 0, 0, Either, false},
        {"ack storm always", Fault::AckStorm, Fault::None, true, false, 0, 0, Fails, false},
        // Two copies in every window: two windows that offer the same reply settle it.
        {"duplicate always", Fault::Duplicate, Fault::None, true, false, 0, 0, Succeeds, false},
        {"stale always", Fault::Stale, Fault::None, true, false, 0, 0, Fails, false},
        {"unasked always, slow radio", Fault::Unasked, Fault::None, true, false, 12000, 0, Either,
         false},
        {"closed mid-reply and restarted", Fault::Split, Fault::None, true, true, 0, 0, Succeeds,
         true},
    };
    // CTest runs the two directions, paced and not, as tests of their own, in parallel.
    const QByteArray direction = qgetenv("RQ73_FAULT_DIRECTION");
    const QByteArray pacing = qgetenv("RQ73_FAULT_PACING");
    for (const Row &row : rows) {
        for (const bool isRead : {true, false}) {
            if (!direction.isEmpty() && direction != (isRead ? "read" : "write"))
                continue;
            for (const bool paced : {false, true}) {
                if ((paced && !row.pacedToo)
                    || (!pacing.isEmpty() && pacing != (paced ? "paced" : "unpaced")))
                    continue;
                QTest::addRow("%s, %s%s", row.name, isRead ? "read" : "write",
                              paced ? ", paced" : "")
                    << int(row.fault) << int(row.next) << row.always << row.restart << row.answerUs
                    << row.retries << isRead << paced << int(row.outcome);
            }
        }
    }
}

void TstLink::faultyRadio()
{
    // CTest runs the table as a test of its own, beside the rest.
    if (qEnvironmentVariableIsSet("RQ73_SKIP_FAULT_TABLE"))
        QSKIP("run on its own");
    QFETCH(int, fault);
    QFETCH(int, next);
    QFETCH(bool, always);
    QFETCH(bool, restart);
    QFETCH(int, answerUs);
    QFETCH(int, retries);
    QFETCH(bool, isRead);
    QFETCH(bool, paced);
    QFETCH(int, outcome);

    m_radio->setPaced(paced);
    m_radio->setAnswerDelayUs(answerUs);
    const Fault injected = Fault(fault);
    m_radio->setFaultPlan([=](int i) {
        return (always || i == 1) ? injected : i == 2 ? Fault(next) : Fault::None;
    });

    RadioImage image = distinctSides(*m_radio, isRead);
    const RadioImage imageBefore = image;
    const TransferKind squelchKind
        = isRead ? TransferKind::SquelchRead : TransferKind::SquelchWrite;
    // The memory of every radio the transfer met, each as it appeared.
    QList<QByteArray> memories{m_radio->memory()};
    int firstRequestOfLastRadio = 0;
    connect(m_radio.get(), &SimulatedRadio::reappeared, this, [&] {
        memories.append(m_radio->memory());
        firstRequestOfLastRadio = int(m_radio->requests().size());
    });

    if (restart) {
        // The window is closed while the second reply is still coming in, and the user starts
        // the same transfer again at once.
        Watched first(image);
        connect(m_radio.get(), &SimulatedRadio::requestReceived, &first.engine, [&](int i) {
            if (i == 1)
                QTimer::singleShot(testTimings().replyTimeoutMs / 10, &first.engine,
                                   [&] { first.engine.stop(); });
        });
        QVERIFY(first.engine.start(SimCom, squelchKind).ok());
        QTRY_VERIFY_WITH_TIMEOUT(!first.engine.isRunning(), WaitMs);
        m_radio->setFaultPlan({});
    }

    // A slow radio's answer must come well within the reply time-out.
    Watched run(image, timings(std::max(testTimings().replyTimeoutMs, 4 * answerUs / 1000), 5));
    int retried = 0;
    connect(&run.engine, &TransferEngine::retryQuestion, &run.engine, [&] {
        QTimer::singleShot(0, &run.engine, [&] {
            if (retried++ < retries)
                run.engine.retry();
            else
                run.engine.cancel();
        });
    });
    QVERIFY(run.engine.start(SimCom, squelchKind).ok());
    QVERIFY(waitForCount(run.finished, 1));
    QCOMPARE(run.finished.count(), 1);
    const bool success = run.succeeded();
    if (qEnvironmentVariableIsSet("RQ73_SHOW_DEBUG"))
        qInfo().noquote() << lines(run.debug).join(QLatin1Char('\n'));
    if (outcome != Either)
        QCOMPARE(success, outcome == Succeeds);
    if (injected == Fault::Replaced && success) {
        QCOMPARE(memories.size(), 2);
        // Nothing went to the second radio before the transfer started again.
        const SimulatedRadio::Request &r = m_radio->requests().at(firstRequestOfLastRadio);
        QCOMPARE(r.frame.left(8), header(isRead ? 4 : 5, 128, 30));
    }

    const QList<int> moved = transferredWords(BlockPlan(BlockPlan::Range::Squelch));
    const QByteArray &lastMemory = memories.last();
    for (int w = 0; w < RadioImage::WordCount; ++w) {
        const QByteArray where = QByteArray::number(w);
        const qint32 radioNow = m_radio->memoryWord(w);
        if (isRead) {
            const qint32 now = image.ReadImageWord(w);
            if (!moved.contains(w)) {
                QVERIFY2(now == Marker, where);
            } else if (success) {
                QVERIFY2(now == radioNow, where);
            } else {
                // Not taken, or taken from a radio the transfer met.
                bool fromARadio = false;
                for (const QByteArray &memory : std::as_const(memories))
                    fromARadio = fromARadio || now == RadioImage::WordFromBytes(memory, 4 * w);
                // On a line that hands bytes over at once, a stream of acknowledgements that
                // stops the moment each request is heard is a radio whose memory reads 06 06 06
                // 06: nothing on the wire tells the two apart.
                const bool stormWord
                    = always && !paced && injected == Fault::AckStorm && now == 0x06060606;
                QVERIFY2(now == Marker || fromARadio || stormWord, where);
            }
        } else {
            const qint32 then = RadioImage::WordFromBytes(lastMemory, 4 * w);
            if (!moved.contains(w))
                QVERIFY2(radioNow == then, where);
            else if (success)
                QVERIFY2(radioNow == image.ReadImageWord(w), where);
            else
                QVERIFY2(radioNow == then || radioNow == image.ReadImageWord(w), where);
        }
    }
    if (!isRead)
        QVERIFY(image == imageBefore);

    // The debug list shows what happened: every request, and every reply or stray bytes with
    // their bytes, or "No Data".
    for (const QString &line : lines(run.debug)) {
        QVERIFY2(line == QStringLiteral("No Data")
                     || (line.size() > 3
                         && (line.startsWith(QStringLiteral("TX:"))
                             || line.startsWith(QStringLiteral("RX:")))),
                 qPrintable(line));
    }
}

void TstLink::deadRadioAsksAfterElevenTries()
{
    m_radio->setFaultPlan([](int) { return Fault::Silent; });
    RadioImage image;
    const TransferTimings quick = timings(12, 5);
    Watched run(image, quick);

    QVERIFY(run.engine.start(SimCom, TransferKind::FullRead).ok());
    QVERIFY(waitForCount(run.question, 1));
    QCOMPARE(run.question.count(), 1);
    QCOMPARE(countLines(run.debug, QStringLiteral("No Data")), 11);
    QCOMPARE(countLines(run.debug, QStringLiteral("TX:")), 11);
    QCOMPARE(requestsText(m_radio->requests()), QStringList(11, QStringLiteral("0")).join(';'));

    run.engine.retry();
    QVERIFY(waitForCount(run.question, 2));
    QCOMPARE(run.question.count(), 2);
    QCOMPARE(countLines(run.debug, QStringLiteral("No Data")), 22);
    QCOMPARE(m_radio->requests().size(), 22);
    QCOMPARE(run.finished.count(), 0);

    run.engine.cancel();
    QVERIFY(!run.engine.isPortOpen());
    QVERIFY(waitForCount(run.finished, 1));
    QCOMPARE(run.finished.count(), 1);
    QVERIFY(!run.succeeded());
    QVERIFY(!run.engine.succeeded());
    QCOMPARE(run.engine.end(), TransferEnd::Cancelled);
    // Nothing more goes out after the cancel.
    QTest::qWait(3 * quick.replyTimeoutMs);
    QCOMPARE(m_radio->requests().size(), 22);
}

void TstLink::failuresCountAcrossSuccesses()
{
    // Two failures of the first block, then four good blocks, then nothing more.
    m_radio->setFaultPlan([](int i) { return (i >= 2 && i <= 5) ? Fault::None : Fault::Silent; });
    RadioImage image;
    fillWords(image, Marker);
    Watched run(image, mixedTimings());

    QVERIFY(run.engine.start(SimCom, TransferKind::FullRead).ok());
    QVERIFY(waitForCount(run.question, 1));
    QCOMPARE(run.question.count(), 1);
    // The eleventh failure asks: 2 + 4 good blocks + 9 more tries of the fifth block.
    QCOMPARE(requestsText(m_radio->requests()),
             QStringLiteral("0;0;0;16-47;48-51;61-63;64-77;64-77;64-77;64-77;64-77;64-77;64-77;"
                            "64-77;64-77"));
    QCOMPARE(countLines(run.debug, QStringLiteral("No Data")), 11);
    QCOMPARE(run.progress.count(), 4);

    run.engine.cancel();
    QVERIFY(waitForCount(run.finished, 1));
    QCOMPARE(run.finished.count(), 1);
    QVERIFY(!run.succeeded());
    // A transfer that ends early keeps every block read so far.
    for (int w = 0; w < 80; ++w) {
        const bool read = w == 0 || (w >= 16 && w <= 51) || (w >= 61 && w <= 63);
        QCOMPARE(image.ReadImageWord(w), read ? m_radio->memoryWord(w) : Marker);
    }
}

void TstLink::vanishedPortIsNotReopened()
{
    // The cable is pulled in the middle of the fourth reply. Its device number is handed out
    // again at once, here to a second radio, which the COM number now names as well.
    m_radio->setFaultPlan([](int i) { return i == 3 ? Fault::Vanish : Fault::None; });
    RadioImage image;
    fillWords(image, Marker);
    Watched run(image, mixedTimings());
    const QString freed = m_radio->devicePath();

    QSignalSpy vanished(m_radio.get(), &SimulatedRadio::vanished);

    QVERIFY(run.engine.start(SimCom, TransferKind::FullRead).ok());
    QVERIFY(waitForCount(vanished, 1));
    QCOMPARE(vanished.count(), 1);
    // The device number is free once the tool has let go of it too.
    QTRY_VERIFY_WITH_TIMEOUT(!run.engine.isPortOpen(), WaitMs);
    // Pseudo-terminal numbers are reused lowest first; a few tries take the freed one unless
    // another process is quicker.
    std::list<std::unique_ptr<SimulatedRadio>> others;
    for (int i = 0; i < 8; ++i) {
        others.push_back(newRadio());
        if (others.back()->devicePath() == freed)
            break;
    }
    std::unique_ptr<SimulatedRadio> second = std::move(others.back());
    others.clear();
    second->memory() = patternBytes(91, 3);
    QVERIFY(second->registerAsComPort(SimCom));
    if (second->devicePath() != freed)
        qInfo("the freed device %s went elsewhere; the second radio is %s", qPrintable(freed),
              qPrintable(second->devicePath()));

    QVERIFY(waitForCount(run.question, 1));
    QCOMPARE(run.question.count(), 1);
    // The repeats went nowhere: the block failed at its time-outs.
    QVERIFY2(second->receivedBytes().isEmpty(), second->receivedBytes().toHex(' ').constData());
    QVERIFY(!run.engine.isPortOpen());
    QCOMPARE(run.finished.count(), 0);
    QCOMPARE(m_radio->requests().size(), 4);
    QCOMPARE(countLines(run.debug, QStringLiteral("TX:")), 4 + 10);

    // Retry: the user has put a cable back, so the COM number is looked up and opened again,
    // and the transfer starts again from its first block: this may be another radio.
    run.engine.retry();
    QVERIFY(waitForCount(run.finished, 1));
    QCOMPARE(run.finished.count(), 1);
    QVERIFY(run.succeeded());
    QCOMPARE(requestsText(second->requests()),
             QStringLiteral("0;16-47;48-51;61-63;64-77;80-111;112-115;128-157;158-189;190-221;"
                            "222-245;246-275"));
    for (const int w : transferredWords(BlockPlan(BlockPlan::Range::Full)))
        QCOMPARE(image.ReadImageWord(w), second->memoryWord(w));
}

void TstLink::radioWithdrawsItsPortWhenItVanishes()
{
    const QString key = PortMap::settingsKey(SimCom);
    QCOMPARE(SettingsStore::openSettings().value(key).toString(), m_radio->devicePath());
    m_radio->vanish();
    QVERIFY(!SettingsStore::openSettings().contains(key));
    QVERIFY(m_radio->reappear());
    QCOMPARE(SettingsStore::openSettings().value(key).toString(), m_radio->devicePath());

    // A radio that goes leaves the entry of another radio on the same number alone.
    auto other = newRadio();
    QVERIFY(other->registerAsComPort(SimCom));
    m_radio.reset();
    QCOMPARE(SettingsStore::openSettings().value(key).toString(), other->devicePath());
    other.reset();
    QVERIFY(!SettingsStore::openSettings().contains(key));
}

void TstLink::missingPort()
{
    const int missingCom = 9;
    {
        QSettings settings = SettingsStore::openSettings();
        settings.setValue(PortMap::settingsKey(missingCom),
                          m_settingsDir.filePath(QStringLiteral("no-such-tty")));
    }
    RadioImage image;
    fillWords(image, Marker);
    Watched run(image);

    const PortOpenResult result = run.engine.start(missingCom, TransferKind::FullRead);
    QCOMPARE(result.error, PortOpenError::NoSuchDevice);
    QVERIFY(!result.ok());
    QVERIFY(waitForCount(run.finished, 1));
    QCOMPARE(run.finished.count(), 1);
    QVERIFY(!run.succeeded());
    QCOMPARE(run.engine.end(), TransferEnd::PortFailed);
    QCOMPARE(run.debug.count(), 0);
    QVERIFY(!run.engine.isPortOpen());
    QVERIFY(m_radio->receivedBytes().isEmpty());

#ifndef Q_OS_WIN
    // A COM number without any conventional device.
    SettingsStore::openSettings().remove(PortMap::settingsKey(97));
    QSerialPort port;
    QCOMPARE(openSerialPort(port, 97).error, PortOpenError::NoDeviceForNumber);
    QVERIFY(!port.isOpen());
#endif
}

void TstLink::portInUse()
{
    QSerialPort holder;
    QVERIFY(openSerialPort(holder, SimCom).ok());

    RadioImage image;
    Watched run(image);
    const PortOpenResult result = run.engine.start(SimCom, TransferKind::FullRead);
    QCOMPARE(result.error, PortOpenError::InUse);
    QCOMPARE(result.device, m_radio->devicePath());
    QVERIFY(waitForCount(run.finished, 1));
    QCOMPARE(run.finished.count(), 1);
    QVERIFY(!run.succeeded());
    QVERIFY(m_radio->receivedBytes().isEmpty());

    holder.close();
    QSerialPort again;
    QVERIFY(openSerialPort(again, SimCom).ok());
}

void TstLink::stopMidTransfer()
{
    m_radio->setFaultPlan([](int) { return Fault::Split; });
    RadioImage image;
    fillWords(image, Marker);
    auto run = std::make_unique<Watched>(image, mixedTimings());

    // The window closes as soon as the first block is in.
    connect(&run->engine, &TransferEngine::progress, this, [&] { run->engine.stop(); });
    QVERIFY(run->engine.start(SimCom, TransferKind::FullRead).ok());
    QVERIFY(waitForCount(run->progress, 1));
    QCOMPARE(run->progress.count(), 1);
    QVERIFY(!run->engine.isPortOpen());
    QVERIFY(!run->engine.isRunning());
    const int shown = run->debug.count();

    // Give any leftover timer or reply every chance to show itself.
    QTest::qWait(3 * mixedTimings().replyTimeoutMs);
    QCOMPARE(run->debug.count(), shown);
    QCOMPARE(run->progress.count(), 1);
    QCOMPARE(run->finished.count(), 0);
    QCOMPARE(m_radio->requests().size(), 1);
    QCOMPARE(image.ReadImageWord(0), m_radio->memoryWord(0));
    for (int w = 1; w < RadioImage::WordCount; ++w)
        QCOMPARE(image.ReadImageWord(w), Marker);
    run.reset();
}

void TstLink::probeListsOpenablePorts()
{
    QHash<int, QString> mapped;
    for (int n = 1; n <= PortMap::HighestPort; ++n)
        mapped.insert(n, m_settingsDir.filePath(QStringLiteral("none%1").arg(n)));
    auto low = newRadio();
    auto high = newRadio();
    mapped.insert(5, low->devicePath());
    mapped.insert(12, high->devicePath());
    mapped.insert(SimCom, m_radio->devicePath());

    QSerialPort holder;
    QVERIFY(openSerialDevice(holder, m_radio->devicePath()).ok());
    const PortProbe probe = PortProbe::run(PortMap(mapped));
    // The port held by another program is not listed; the probe leaves every port closed.
    QCOMPARE(probe.ports, QList<int>({5, 12}));
    QVERIFY(!probe.someRefused);
    QSerialPort again;
    QVERIFY(openSerialDevice(again, low->devicePath()).ok());
    QVERIFY(low->receivedBytes().isEmpty());
}

void TstLink::liveFramesAreRecorded()
{
    QSerialPort port;
    QVERIFY(openSerialPort(port, SimCom).ok());
    QSignalSpy live(m_radio.get(), &SimulatedRadio::liveFrameReceived);
    // Noise, then a transmit frame of 3 s for word 0 = -5, then a squelch pair.
    port.write(QByteArray::fromHex("0102"));
    port.write(QByteArray::fromHex("54554E4532000001FBFFFFFF"));
    port.write(QByteArray::fromHex("54554E4506F60002F401000090010000"));
    QVERIFY(waitForCount(live, 2));
    QCOMPARE(live.count(), 2);

    const SimulatedRadio::LiveFrame &tx = m_radio->liveFrames().at(0);
    QCOMPARE(tx.command, 0x32);
    QCOMPARE(tx.wordAddress, 0);
    QCOMPARE(tx.words, QList<qint32>{-5});
    QCOMPARE(tx.transmitSeconds, 3);
    const SimulatedRadio::LiveFrame &sq = m_radio->liveFrames().at(1);
    QCOMPARE(sq.command, 6);
    QCOMPARE(sq.wordAddress, 246);
    QCOMPARE(sq.words, (QList<qint32>{500, 400}));
    QCOMPARE(sq.transmitSeconds, 0);
    QVERIFY(m_radio->requests().isEmpty());
    QCOMPARE(m_radio->sentByteCount(), 0);
}

void TstLink::simulatorProgramKeepsUserSettings()
{
    // The user's own settings, in the file the tool keeps on Linux.
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString file = home.filePath(QStringLiteral("Norvane/RQ73 Tune.conf"));
    QVERIFY(QDir().mkpath(QFileInfo(file).path()));
    const QByteArray own = "[General]\nComPort=5\n\n[Ports]\nCOM1=/dev/my-cable\n";
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(own);
    }
    auto read = [&] {
        QSettings settings(file, QSettings::IniFormat);
        return QStringList{settings.value(QStringLiteral("ComPort")).toString(),
                           settings.value(QStringLiteral("Ports/COM1")).toString()};
    };

    QProcess sim;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    sim.setProcessEnvironment(env);
    sim.start(QStringLiteral(RQ73_RADIO_SIM_PROGRAM),
              {QStringLiteral("--com"), QStringLiteral("1")});
    QVERIFY(sim.waitForStarted());
    QByteArray shown;
    QTRY_VERIFY2_WITH_TIMEOUT((shown += sim.readAllStandardOutput()).contains("/dev/"),
                              sim.readAllStandardError().constData(), WaitMs);
    // While it runs, COM1 reaches the simulated radio.
    QCOMPARE(read().at(0), QStringLiteral("1"));
    QVERIFY(read().at(1).startsWith(QStringLiteral("/dev/")));
    QVERIFY(read().at(1) != QStringLiteral("/dev/my-cable"));

    sim.terminate();
    QVERIFY(sim.waitForFinished(WaitMs));
    QCOMPARE(read(), QStringList({QStringLiteral("5"), QStringLiteral("/dev/my-cable")}));
}

void TstLink::simulatorProgramRefusesNonImages_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("device") << QStringLiteral("/dev/zero") << QStringLiteral("not a regular file");
    QTest::newRow("folder") << QStringLiteral("/") << QStringLiteral("not a regular file");
    QTest::newRow("wrong size") << QStringLiteral("short") << QStringLiteral("neither");
    QTest::newRow("missing") << QStringLiteral("missing") << QStringLiteral("no such file");
}

void TstLink::simulatorProgramRefusesNonImages()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    if (!path.startsWith(QLatin1Char('/'))) {
        path = home.filePath(path);
        if (reason != QStringLiteral("no such file")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("RQ73");
        }
    }
    QProcess sim;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    sim.setProcessEnvironment(env);
    sim.start(QStringLiteral(RQ73_RADIO_SIM_PROGRAM), {QStringLiteral("--load"), path});
    QVERIFY(sim.waitForFinished(WaitMs));
    QCOMPARE(sim.exitCode(), 1);
    QVERIFY(QString::fromLocal8Bit(sim.readAllStandardError()).contains(reason));
    // Nothing was registered.
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Norvane/RQ73 Tune.conf"))));
}

QTEST_GUILESS_MAIN(TstLink)
#include "tst_link.moc"
