#include "blockplan.h"
#include "debugtext.h"
#include "portopen.h"
#include "radioimage.h"
#include "replyreceiver.h"
#include "requestframe.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "testsettings.h"
#include "transferengine.h"

#include <QSerialPort>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <numeric>

using Fault = SimulatedRadio::Fault;

namespace {

constexpr int SimCom = 7;
// A transfer that works needs well under a second; a dead block needs eleven time-outs.
constexpr int TransferTimeoutMs = 20000;
constexpr int QuestionTimeoutMs = 30000;
// Words the tool never received keep this value, so a stray write into the image shows.
constexpr qint32 Marker = 0x5AA5C33C;
constexpr qint32 RadioMarker = 0x11111111;

QList<int> transferredWords(const BlockPlan &plan)
{
    QList<int> words;
    for (const BlockPlan::Block &block : plan.blocks()) {
        for (int w = block.firstWord; w < block.firstWord + block.count; ++w)
            words.append(w);
    }
    return words;
}

QString blocksText(const QList<BlockPlan::Block> &blocks)
{
    QStringList parts;
    for (const BlockPlan::Block &b : blocks) {
        parts << (b.count == 1
                      ? QString::number(b.firstWord)
                      : QStringLiteral("%1-%2").arg(b.firstWord).arg(b.firstWord + b.count - 1));
    }
    return parts.join(QLatin1Char(';'));
}

QString requestsText(const QList<SimulatedRadio::Request> &requests)
{
    QList<BlockPlan::Block> blocks;
    for (const SimulatedRadio::Request &r : requests)
        blocks.append({r.firstWord, r.count});
    return blocksText(blocks);
}

QByteArray patternBytes(int multiplier, int offset)
{
    QByteArray bytes(RadioImage::Size, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * multiplier + offset) & 0xFF);
    return bytes;
}

void fillWords(RadioImage &image, qint32 value)
{
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, value);
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
    explicit Watched(RadioImage &image)
        : engine(image)
        , debug(&engine, &TransferEngine::debugLine)
        , progress(&engine, &TransferEngine::progress)
        , question(&engine, &TransferEngine::retryQuestion)
        , finished(&engine, &TransferEngine::finished)
    {}

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

    void requestFrame_data();
    void requestFrame();
    void writeFrameCarriesImageBytes();
    void debugText_data();
    void debugText();

    void replyReception_data();
    void replyReception();
    void newRequestClearsAck();
    void handOverStaysAfterCompletion();
    void bytesBeyondBufferAreIgnored();

    void blockPlan_data();
    void blockPlan();
    void nextBlockCount_data();
    void nextBlockCount();
    void skipGap_data();
    void skipGap();
    void percentText_data();
    void percentText();

    void portDeviceName_data();
    void portDeviceName();

    void transfer_data();
    void transfer();
    void deadRadioAsksAfterElevenTries();
    void failuresCountAcrossSuccesses();
    void bytesBeforeAck();
    void splitReplies();
    void refusedReplyIsRepeated();
    void cutShortReplyIsNeverAccepted();
    void trailingBytesAreHarmless();
    void babblingRadioCannotHoldABlock();
    void portVanishesMidTransfer();
    void missingPort();
    void portInUse();
    void stopMidTransfer();
    void liveFramesAreRecorded();

private:
    QTemporaryDir m_settingsDir;
    std::unique_ptr<SimulatedRadio> m_radio;
};

void TstLink::initTestCase()
{
    QVERIFY(m_settingsDir.isValid());
    isolateSettings(m_settingsDir.path());
}

void TstLink::init()
{
    m_radio = std::make_unique<SimulatedRadio>();
    QVERIFY2(m_radio->isOpen(), qPrintable(m_radio->errorString()));
    m_radio->memory() = patternBytes(37, 11);
    QVERIFY(m_radio->registerAsComPort(SimCom));
}

void TstLink::cleanup()
{
    m_radio.reset();
}

// ---- request frames and debug text ----

void TstLink::requestFrame_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("firstWord");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("replyLength");

    QTest::newRow("read word 0") << 4 << 0 << 1 << QByteArray::fromHex("54554E4504000001") << 5;
    QTest::newRow("read from 246")
        << 4 << 246 << 30 << QByteArray::fromHex("54554E4504F6001E") << 121;
    QTest::newRow("read from 300") << 4 << 300 << 2 << QByteArray::fromHex("54554E45042C0102") << 9;
    QTest::newRow("write word 0") << 5 << 0 << 1 << QByteArray::fromHex("54554E450500000178563412")
                                  << 1;
}

void TstLink::requestFrame()
{
    QFETCH(int, operation);
    QFETCH(int, firstWord);
    QFETCH(int, count);
    QFETCH(QByteArray, expected);
    QFETCH(int, replyLength);

    RadioImage image;
    image.WriteImageWord(0, 0x12345678);
    const RequestFrame frame
        = buildRequestFrame(static_cast<RequestOperation>(operation), firstWord, count, image);
    QCOMPARE(frame.bytes, expected);
    QCOMPARE(frame.expectedReplyLength, replyLength);
}

void TstLink::writeFrameCarriesImageBytes()
{
    RadioImage image;
    QVERIFY(image.assign(patternBytes(53, 7)));
    const RequestFrame frame = buildRequestFrame(RequestOperation::Write, 61, 3, image);
    QCOMPARE(frame.bytes.size(), 20);
    QCOMPARE(frame.bytes.left(8), QByteArray::fromHex("54554E45053D0003"));
    QCOMPARE(frame.bytes.mid(8), image.toByteArray().mid(244, 12));
    QCOMPARE(frame.expectedReplyLength, 1);
}

void TstLink::debugText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("read word 0") << QByteArray::fromHex("54554E4504000001")
                                 << QStringLiteral("TX:54 55 4E 45 4 0 0 1 ");
    QTest::newRow("no leading zeros")
        << QByteArray::fromHex("001E0AFF") << QStringLiteral("TX:0 1E A FF ");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("TX:");
}

void TstLink::debugText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(DebugText::hexLine(DebugText::TxPrefix, bytes), expected);
}

// ---- reply reception ----

void TstLink::replyReception_data()
{
    QTest::addColumn<int>("expectedLength");
    QTest::addColumn<QList<QByteArray>>("arrivals");
    QTest::addColumn<QList<bool>>("completeAfter");
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<bool>("countedAny");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("debugLine");

    using L = QList<QByteArray>;
    using B = QList<bool>;
    const auto hex = [](const char *h) { return QByteArray::fromHex(h); };

    QTest::newRow("byte before ack") << 5 << L{hex("FF0611223344")} << B{true} << 5 << true << true
                                     << QStringLiteral("RX:FF 6 11 22 33 44 ");
    QTest::newRow("split") << 5 << L{hex("0611"), hex("22"), hex("3344")} << B{false, false, true}
                           << 5 << true << true << QStringLiteral("RX:6 11 22 33 44 ");
    QTest::newRow("cut short") << 5 << L{hex("061122")} << B{false} << 3 << true << false
                               << QStringLiteral("RX:6 11 22 ");
    QTest::newRow("refused") << 5 << L{hex("1511223344")} << B{false} << 0 << false << false
                             << QStringLiteral("RX:15 11 22 33 44 ");
    QTest::newRow("write ack") << 1 << L{hex("06")} << B{true} << 1 << true << true
                               << QStringLiteral("RX:6 ");
    QTest::newRow("refused write")
        << 1 << L{hex("15")} << B{false} << 0 << false << false << QStringLiteral("RX:15 ");
    QTest::newRow("same arrival counts on")
        << 1 << L{hex("060708")} << B{true} << 3 << true << true << QStringLiteral("RX:6 7 8 ");
}

void TstLink::replyReception()
{
    QFETCH(int, expectedLength);
    QFETCH(QList<QByteArray>, arrivals);
    QFETCH(QList<bool>, completeAfter);
    QFETCH(int, replyLength);
    QFETCH(bool, countedAny);
    QFETCH(bool, accepted);
    QFETCH(QString, debugLine);

    ReplyReceiver reply;
    reply.beginRequest(expectedLength);
    QVERIFY(reply.AwaitingReply());
    QVERIFY(!reply.countedAny());
    for (int i = 0; i < arrivals.size(); ++i)
        QCOMPARE(reply.feed(arrivals.at(i)), completeAfter.at(i));
    QVERIFY(!reply.AwaitingReply());
    QCOMPARE(reply.ReplyLength(), replyLength);
    QCOMPARE(reply.countedAny(), countedAny);
    QCOMPARE(reply.isAccepted(), accepted);
    QCOMPARE(reply.DebugLine(), debugLine);
    if (accepted && expectedLength == 5) {
        QCOMPARE(reply.ReplyBuffer()[0], ReplyReceiver::Ack);
        QCOMPARE(reply.replyWord(0), qint32(0x44332211));
    }
}

void TstLink::newRequestClearsAck()
{
    ReplyReceiver reply;
    reply.beginRequest(5);
    QVERIFY(!reply.feed(QByteArray::fromHex("0611")));
    QVERIFY(reply.AckSeen());

    // The rest of the broken-off reply arrives after the next request went out.
    reply.beginRequest(5);
    QVERIFY(!reply.AckSeen());
    QVERIFY(!reply.feed(QByteArray::fromHex("223344")));
    QCOMPARE(reply.ReplyLength(), 0);
    QVERIFY(!reply.countedAny());
}

void TstLink::handOverStaysAfterCompletion()
{
    ReplyReceiver reply;
    reply.beginRequest(1);
    QVERIFY(reply.feed(QByteArray::fromHex("06")));
    QVERIFY(!reply.AckSeen());
    QVERIFY(reply.feed(QByteArray::fromHex("AA")));
    QVERIFY(reply.isAccepted());
}

void TstLink::bytesBeyondBufferAreIgnored()
{
    ReplyReceiver reply;
    reply.beginRequest(5);
    QByteArray bytes = QByteArray::fromHex("0611223344");
    bytes.append(QByteArray(700, '\x5A'));
    QVERIFY(reply.feed(bytes));
    QCOMPARE(reply.ReplyLength(), 705);
    QVERIFY(reply.isAccepted());
    QCOMPARE(reply.replyWord(0), qint32(0x44332211));
    QCOMPARE(reply.ReplyBuffer()[ReplyReceiver::BufferSize - 1], quint8(0x5A));
}

// ---- block plan ----

void TstLink::blockPlan_data()
{
    QTest::addColumn<bool>("tuneDataRange");
    QTest::addColumn<bool>("squelchDataRange");
    QTest::addColumn<QString>("blocks");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("full") << true << true
                          << QStringLiteral("0;16-47;48-51;61-63;64-77;80-111;112-115;128-157;"
                                            "158-189;190-221;222-245;246-275")
                          << QStringList{"%",   "17%", "19%", "23%", "28%", "41%",
                                         "42%", "57%", "69%", "81%", "89%", "100%"};
    QTest::newRow("tune data") << true << false << QStringLiteral("0;16-47;48-51;61-63;64-77")
                               << QStringList{"1%", "68%", "73%", "90%", "100%"};
    QTest::newRow("squelch") << false << true
                             << QStringLiteral("128-157;158-189;190-221;222-245;246-275")
                             << QStringList{"20%", "42%", "64%", "80%", "100%"};
}

void TstLink::blockPlan()
{
    QFETCH(bool, tuneDataRange);
    QFETCH(bool, squelchDataRange);
    QFETCH(QString, blocks);
    QFETCH(QStringList, texts);

    const BlockPlan plan(BlockPlan::kindFor(tuneDataRange, squelchDataRange));
    const QList<BlockPlan::Block> sequence = plan.blocks();
    QCOMPARE(blocksText(sequence), blocks);

    QStringList shown;
    for (const BlockPlan::Block &block : sequence)
        shown << progressPercentText(plan.advance(block).fraction);
    QCOMPARE(shown, texts);
    QVERIFY(plan.advance(sequence.last()).finished);
    QCOMPARE(plan.advance(sequence.last()).fraction, 1.0);
}

void TstLink::nextBlockCount_data()
{
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("expected");

    QTest::newRow("1") << 1 << 32;
    QTest::newRow("16") << 16 << 32;
    QTest::newRow("20") << 20 << 32;
    QTest::newRow("48") << 48 << 4;
    QTest::newRow("50") << 50 << 2;
    QTest::newRow("51") << 51 << 3;
    QTest::newRow("60") << 60 << 3;
    QTest::newRow("61") << 61 << 14;
    QTest::newRow("64") << 64 << 14;
    QTest::newRow("65") << 65 << 32;
    QTest::newRow("79") << 79 << 32;
    QTest::newRow("80") << 80 << 32;
    QTest::newRow("112") << 112 << 4;
    QTest::newRow("114") << 114 << 2;
    QTest::newRow("115") << 115 << 30;
    QTest::newRow("157") << 157 << 30;
    QTest::newRow("158") << 158 << 32;
    QTest::newRow("222") << 222 << 24;
    QTest::newRow("245") << 245 << 1;
    QTest::newRow("246") << 246 << 30;
    QTest::newRow("274") << 274 << 30;
    QTest::newRow("275 unchanged") << 275 << 7;
    QTest::newRow("300 unchanged") << 300 << 7;
}

void TstLink::nextBlockCount()
{
    QFETCH(int, c);
    QFETCH(int, expected);
    QCOMPARE(BlockPlan::nextBlockCount(c, 7), expected);
}

void TstLink::skipGap_data()
{
    QTest::addColumn<int>("nextWord");
    QTest::addColumn<int>("expected");

    const int rows[][2] = {{0, 0},     {1, 16},    {15, 16},   {16, 16},   {51, 51},  {52, 61},
                           {60, 61},   {61, 61},   {77, 77},   {78, 80},   {79, 80},  {80, 80},
                           {115, 115}, {116, 128}, {127, 128}, {128, 128}, {276, 276}};
    for (const auto &row : rows)
        QTest::addRow("%d", row[0]) << row[0] << row[1];
}

void TstLink::skipGap()
{
    QFETCH(int, nextWord);
    QFETCH(int, expected);
    QCOMPARE(BlockPlan::skipGap(nextWord), expected);
}

void TstLink::percentText_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0") << 0.0 << QStringLiteral("%");
    QTest::newRow("1 of 275") << 1.0 / 275 << QStringLiteral("%");
    QTest::newRow("0.0049") << 0.0049 << QStringLiteral("%");
    QTest::newRow("0.005") << 0.005 << QStringLiteral("1%");
    QTest::newRow("48 of 275") << 48.0 / 275 << QStringLiteral("17%");
    QTest::newRow("0.999") << 0.999 << QStringLiteral("100%");
    QTest::newRow("1") << 1.0 << QStringLiteral("100%");
}

void TstLink::percentText()
{
    QFETCH(double, fraction);
    QFETCH(QString, expected);
    QCOMPARE(progressPercentText(fraction), expected);
}

// ---- port names ----

void TstLink::portDeviceName_data()
{
    QTest::addColumn<int>("comPort");
    QTest::addColumn<QString>("mapped");
    QTest::addColumn<QString>("expected");

    QTest::newRow("mapped COM3") << 3 << QStringLiteral("/tmp/radio-cable")
                                 << QStringLiteral("/tmp/radio-cable");
#ifdef Q_OS_WIN
    QTest::newRow("COM1") << 1 << QString() << QStringLiteral("COM1");
    QTest::newRow("COM12") << 12 << QString() << QStringLiteral("COM12");
    QTest::newRow("COM99") << 99 << QString() << QStringLiteral("COM99");
#else
    QTest::newRow("COM1") << 1 << QString() << QStringLiteral("/dev/ttyS0");
    QTest::newRow("COM32") << 32 << QString() << QStringLiteral("/dev/ttyS31");
    QTest::newRow("COM33") << 33 << QString() << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("COM64") << 64 << QString() << QStringLiteral("/dev/ttyUSB31");
    QTest::newRow("COM65") << 65 << QString() << QStringLiteral("/dev/ttyACM0");
    QTest::newRow("COM96") << 96 << QString() << QStringLiteral("/dev/ttyACM31");
    QTest::newRow("COM97") << 97 << QString() << QString();
    QTest::newRow("COM99") << 99 << QString() << QString();
#endif
    QTest::newRow("COM0") << 0 << QString() << QString();
}

void TstLink::portDeviceName()
{
    QFETCH(int, comPort);
    QFETCH(QString, mapped);
    QFETCH(QString, expected);

    const QString key = QStringLiteral("Ports/COM%1").arg(comPort);
    {
        QSettings settings = SettingsStore::openSettings();
        if (mapped.isEmpty())
            settings.remove(key);
        else
            settings.setValue(key, mapped);
    }
    QCOMPARE(::portDeviceName(comPort), expected);
    SettingsStore::openSettings().remove(key);
}

// ---- transfers against the simulated radio ----

void TstLink::transfer_data()
{
    QTest::addColumn<bool>("isRead");
    QTest::addColumn<bool>("tuneDataRange");
    QTest::addColumn<bool>("squelchDataRange");
    QTest::addColumn<QString>("blocks");
    QTest::addColumn<QStringList>("texts");

    const QString full = QStringLiteral(
        "0;16-47;48-51;61-63;64-77;80-111;112-115;128-157;158-189;190-221;222-245;246-275");
    const QStringList fullTexts{"%",   "17%", "19%", "23%", "28%", "41%",
                                "42%", "57%", "69%", "81%", "89%", "100%"};
    const QString squelch = QStringLiteral("128-157;158-189;190-221;222-245;246-275");
    const QStringList squelchTexts{"20%", "42%", "64%", "80%", "100%"};

    QTest::newRow("full read") << true << true << true << full << fullTexts;
    QTest::newRow("full write") << false << true << true << full << fullTexts;
    QTest::newRow("tune data write")
        << false << true << false << QStringLiteral("0;16-47;48-51;61-63;64-77")
        << QStringList{"1%", "68%", "73%", "90%", "100%"};
    QTest::newRow("squelch read") << true << false << true << squelch << squelchTexts;
    QTest::newRow("squelch write") << false << false << true << squelch << squelchTexts;
}

void TstLink::transfer()
{
    QFETCH(bool, isRead);
    QFETCH(bool, tuneDataRange);
    QFETCH(bool, squelchDataRange);
    QFETCH(QString, blocks);
    QFETCH(QStringList, texts);

    RadioImage image;
    if (isRead) {
        fillWords(image, Marker);
    } else {
        QVERIFY(image.assign(patternBytes(53, 7)));
        for (int w = 0; w < RadioImage::WordCount; ++w)
            m_radio->setMemoryWord(w, RadioMarker);
    }
    const RadioImage before = image;

    Watched run(image);

    const PortOpenResult opened = run.engine.start(SimCom, isRead, tuneDataRange, squelchDataRange);
    QVERIFY2(opened.ok(), qPrintable(opened.systemText));
    QCOMPARE(opened.device, m_radio->devicePath());
    QTRY_COMPARE_WITH_TIMEOUT(run.finished.count(), 1, TransferTimeoutMs);
    QCOMPARE(run.finished.at(0).at(0).toBool(), true);
    QVERIFY(run.engine.succeeded());
    QVERIFY(!run.engine.isRunning());
    QVERIFY(!run.engine.isPortOpen());
    QCOMPARE(run.question.count(), 0);

    // The bytes the radio received are the assertion.
    const QList<SimulatedRadio::Request> &requests = m_radio->requests();
    QCOMPARE(requestsText(requests), blocks);
    for (const SimulatedRadio::Request &r : requests) {
        QCOMPARE(r.operation, isRead ? 4 : 5);
        const RequestFrame expected
            = buildRequestFrame(isRead ? RequestOperation::Read : RequestOperation::Write,
                                r.firstWord, r.count, before);
        QCOMPARE(r.frame, expected.bytes);
    }
    QCOMPARE(m_radio->receivedBytes().size(),
             std::accumulate(requests.cbegin(), requests.cend(), qsizetype(0),
                             [](qsizetype n, const auto &r) { return n + r.frame.size(); }));

    const BlockPlan plan(BlockPlan::kindFor(tuneDataRange, squelchDataRange));
    const QList<int> moved = transferredWords(plan);
    for (int w = 0; w < RadioImage::WordCount; ++w) {
        if (isRead) {
            const qint32 expected = moved.contains(w) ? m_radio->memoryWord(w) : Marker;
            QVERIFY2(image.ReadImageWord(w) == expected, qPrintable(QString::number(w)));
        } else {
            const qint32 expected = moved.contains(w) ? image.ReadImageWord(w) : RadioMarker;
            QVERIFY2(m_radio->memoryWord(w) == expected, qPrintable(QString::number(w)));
            QVERIFY(image == before);
        }
    }

    QCOMPARE(percentTexts(run.progress), texts);
    const QStringList shown = lines(run.debug);
    QCOMPARE(shown.size(), 2 * requests.size());
    for (int i = 0; i < shown.size(); ++i)
        QVERIFY(shown.at(i).startsWith(i % 2 ? QStringLiteral("RX:6 ") : QStringLiteral("TX:")));
    QCOMPARE(shown.first(), DebugText::hexLine(DebugText::TxPrefix, requests.first().frame));
}

void TstLink::deadRadioAsksAfterElevenTries()
{
    m_radio->setFaultPlan([](int) { return Fault::Silent; });
    RadioImage image;
    Watched run(image);

    QVERIFY(run.engine.start(SimCom, true, true, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(run.question.count(), 1, QuestionTimeoutMs);
    QCOMPARE(countLines(run.debug, QStringLiteral("No Data")), 11);
    QCOMPARE(countLines(run.debug, QStringLiteral("TX:")), 11);
    QCOMPARE(m_radio->requests().size(), 11);
    QCOMPARE(requestsText(m_radio->requests()), QStringList(11, QStringLiteral("0")).join(';'));

    run.engine.retry();
    QTRY_COMPARE_WITH_TIMEOUT(run.question.count(), 2, QuestionTimeoutMs);
    QCOMPARE(countLines(run.debug, QStringLiteral("No Data")), 22);
    QCOMPARE(m_radio->requests().size(), 22);
    QCOMPARE(run.finished.count(), 0);

    run.engine.cancel();
    QVERIFY(!run.engine.isPortOpen());
    QTRY_COMPARE(run.finished.count(), 1);
    QCOMPARE(run.finished.at(0).at(0).toBool(), false);
    QVERIFY(!run.engine.succeeded());
    QCOMPARE(m_radio->requests().size(), 22);
}

void TstLink::failuresCountAcrossSuccesses()
{
    // Two failures of the first block, then two good blocks, then nothing more.
    m_radio->setFaultPlan([](int i) { return (i == 2 || i == 3) ? Fault::None : Fault::Silent; });
    RadioImage image;
    fillWords(image, Marker);
    Watched run(image);

    QVERIFY(run.engine.start(SimCom, true, true, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(run.question.count(), 1, QuestionTimeoutMs);
    // The eleventh failure asks: 2 + 2 successes + 9 more requests.
    QCOMPARE(m_radio->requests().size(), 13);
    QCOMPARE(countLines(run.debug, QStringLiteral("No Data")), 11);
    QCOMPARE(run.progress.count(), 2);

    run.engine.cancel();
    QTRY_COMPARE(run.finished.count(), 1);
    QCOMPARE(run.finished.at(0).at(0).toBool(), false);
    // A transfer that ends early keeps every block read so far.
    for (int w = 0; w < 64; ++w) {
        const bool read = w == 0 || (w >= 16 && w <= 47);
        QCOMPARE(image.ReadImageWord(w), read ? m_radio->memoryWord(w) : Marker);
    }
}

void TstLink::bytesBeforeAck()
{
    m_radio->setFaultPlan([](int) { return Fault::JunkBeforeAck; });
    RadioImage image;
    Watched run(image);

    QVERIFY(run.engine.start(SimCom, true, true, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(run.finished.count(), 1, TransferTimeoutMs);
    QCOMPARE(run.finished.at(0).at(0).toBool(), true);
    QCOMPARE(m_radio->requests().size(), 12);
    QCOMPARE(countLines(run.debug, QStringLiteral("RX:FF 0 6 ")), 12);
    for (const int w : transferredWords(BlockPlan(BlockPlan::Kind::Full)))
        QCOMPARE(image.ReadImageWord(w), m_radio->memoryWord(w));
}

void TstLink::splitReplies()
{
    m_radio->setFaultPlan([](int) { return Fault::Split; });
    RadioImage image;
    Watched run(image);

    QVERIFY(run.engine.start(SimCom, true, false, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(run.finished.count(), 1, TransferTimeoutMs);
    QCOMPARE(run.finished.at(0).at(0).toBool(), true);
    QCOMPARE(m_radio->requests().size(), 5);
    QCOMPARE(countLines(run.debug, QStringLiteral("No Data")), 0);
    // Each reply is one run.debug line however many arrivals it took.
    for (const QString &line : lines(run.debug)) {
        if (line.startsWith(QStringLiteral("RX:")))
            QVERIFY(line.count(QLatin1Char(' ')) >= 4 * 24 + 1);
    }
    for (const int w : transferredWords(BlockPlan(BlockPlan::Kind::Squelch)))
        QCOMPARE(image.ReadImageWord(w), m_radio->memoryWord(w));
}

void TstLink::refusedReplyIsRepeated()
{
    m_radio->setFaultPlan([](int i) { return i == 0 ? Fault::Refuse : Fault::None; });
    RadioImage image;
    fillWords(image, Marker);
    Watched run(image);

    QVERIFY(run.engine.start(SimCom, true, true, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(run.finished.count(), 1, TransferTimeoutMs);
    QCOMPARE(run.finished.at(0).at(0).toBool(), true);
    QCOMPARE(requestsText(m_radio->requests()), QStringLiteral("0;0;16-47;48-51;61-63;64-77;80-111;"
                                                               "112-115;128-157;158-189;190-221;"
                                                               "222-245;246-275"));
    // The refusal carries no acknowledgement, so nothing of it is counted.
    QCOMPARE(lines(run.debug).at(1), QStringLiteral("No Data"));
    for (const int w : transferredWords(BlockPlan(BlockPlan::Kind::Full)))
        QCOMPARE(image.ReadImageWord(w), m_radio->memoryWord(w));
}

void TstLink::cutShortReplyIsNeverAccepted()
{
    m_radio->setFaultPlan([](int i) { return i == 1 ? Fault::CutShort : Fault::None; });
    RadioImage image;
    fillWords(image, Marker);
    Watched run(image);

    bool untouchedAtRepeat = false;
    connect(m_radio.get(), &SimulatedRadio::requestReceived, this, [&](int index) {
        if (index != 2)
            return;
        untouchedAtRepeat = true;
        for (int w = 16; w <= 47; ++w)
            untouchedAtRepeat = untouchedAtRepeat && image.ReadImageWord(w) == Marker;
    });

    QVERIFY(run.engine.start(SimCom, true, true, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(run.finished.count(), 1, TransferTimeoutMs);
    QCOMPARE(run.finished.at(0).at(0).toBool(), true);
    QVERIFY(untouchedAtRepeat);
    QCOMPARE(m_radio->requests().size(), 13);
    QCOMPARE(m_radio->requests().at(2).firstWord, 16);
    QCOMPARE(m_radio->requests().at(2).count, 32);

    // The broken-off reply is shown, then the same block goes out again.
    const QStringList shown = lines(run.debug);
    QCOMPARE(shown.at(3).count(QLatin1Char(' ')), 1 + 64);
    QVERIFY(shown.at(3).startsWith(QStringLiteral("RX:6 ")));
    QCOMPARE(shown.at(4), shown.at(2));
    for (const int w : transferredWords(BlockPlan(BlockPlan::Kind::Full)))
        QCOMPARE(image.ReadImageWord(w), m_radio->memoryWord(w));
}

void TstLink::trailingBytesAreHarmless()
{
    m_radio->setFaultPlan([](int) { return Fault::Trailing; });
    RadioImage image;
    fillWords(image, Marker);
    Watched run(image);

    QVERIFY(run.engine.start(SimCom, true, true, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(run.finished.count(), 1, TransferTimeoutMs);
    QCOMPARE(run.finished.at(0).at(0).toBool(), true);
    QCOMPARE(m_radio->requests().size(), 12);
    const QList<int> moved = transferredWords(BlockPlan(BlockPlan::Kind::Full));
    for (int w = 0; w < RadioImage::WordCount; ++w)
        QCOMPARE(image.ReadImageWord(w), moved.contains(w) ? m_radio->memoryWord(w) : Marker);
}

void TstLink::babblingRadioCannotHoldABlock()
{
    // Junk every 100 ms keeps restarting the time-out, and no acknowledgement ever comes.
    m_radio->setFaultPlan([](int i) { return i == 0 ? Fault::Babble : Fault::None; });
    RadioImage image;
    Watched run(image);

    QVERIFY(run.engine.start(SimCom, true, false, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(run.finished.count(), 1, TransferTimeoutMs);
    QCOMPARE(run.finished.at(0).at(0).toBool(), true);
    QCOMPARE(requestsText(m_radio->requests()),
             QStringLiteral("128-157;128-157;158-189;190-221;222-245;246-275"));
    QCOMPARE(lines(run.debug).at(1), QStringLiteral("No Data"));
    for (const int w : transferredWords(BlockPlan(BlockPlan::Kind::Squelch)))
        QCOMPARE(image.ReadImageWord(w), m_radio->memoryWord(w));
}

void TstLink::portVanishesMidTransfer()
{
    m_radio->setFaultPlan([](int i) { return i == 3 ? Fault::Vanish : Fault::None; });
    RadioImage image;
    fillWords(image, Marker);
    Watched run(image);
    QSignalSpy vanished(m_radio.get(), &SimulatedRadio::vanished);

    QVERIFY(run.engine.start(SimCom, true, true, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(vanished.count(), 1, TransferTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(run.question.count(), 1, QuestionTimeoutMs);
    QVERIFY(!run.engine.isPortOpen());
    QCOMPARE(run.finished.count(), 0);
    QCOMPARE(m_radio->requests().size(), 4);
    QCOMPARE(countLines(run.debug, QStringLiteral("TX:")), 4 + 10);

    // The cable goes back in, possibly as another device under the same COM number.
    QVERIFY(m_radio->reappear());
    run.engine.retry();
    QTRY_COMPARE_WITH_TIMEOUT(run.finished.count(), 1, TransferTimeoutMs);
    QCOMPARE(run.finished.at(0).at(0).toBool(), true);
    QCOMPARE(requestsText(m_radio->requests()),
             QStringLiteral("0;16-47;48-51;61-63;61-63;64-77;80-111;112-115;128-157;158-189;"
                            "190-221;222-245;246-275"));
    const QList<int> moved = transferredWords(BlockPlan(BlockPlan::Kind::Full));
    for (int w = 0; w < RadioImage::WordCount; ++w)
        QCOMPARE(image.ReadImageWord(w), moved.contains(w) ? m_radio->memoryWord(w) : Marker);
}

void TstLink::missingPort()
{
    const int missingCom = 9;
    {
        QSettings settings = SettingsStore::openSettings();
        settings.setValue(QStringLiteral("Ports/COM%1").arg(missingCom),
                          m_settingsDir.filePath(QStringLiteral("no-such-tty")));
    }
    RadioImage image;
    fillWords(image, Marker);
    Watched run(image);

    const PortOpenResult result = run.engine.start(missingCom, true, true, true);
    QCOMPARE(result.error, PortOpenError::NoSuchDevice);
    QVERIFY(!result.ok());
    QTRY_COMPARE(run.finished.count(), 1);
    QCOMPARE(run.finished.at(0).at(0).toBool(), false);
    QCOMPARE(run.debug.count(), 0);
    QVERIFY(!run.engine.isPortOpen());
    QVERIFY(m_radio->receivedBytes().isEmpty());

#ifndef Q_OS_WIN
    // A COM number without any conventional device.
    SettingsStore::openSettings().remove(QStringLiteral("Ports/COM97"));
    QSerialPort port;
    QCOMPARE(openSerialPort(port, 97).error, PortOpenError::NoSuchDevice);
    QVERIFY(!port.isOpen());
#endif
}

void TstLink::portInUse()
{
    QSerialPort holder;
    QVERIFY(openSerialPort(holder, SimCom).ok());

    RadioImage image;
    Watched run(image);
    const PortOpenResult result = run.engine.start(SimCom, true, true, true);
    QCOMPARE(result.error, PortOpenError::InUse);
    QCOMPARE(result.device, m_radio->devicePath());
    QTRY_COMPARE(run.finished.count(), 1);
    QCOMPARE(run.finished.at(0).at(0).toBool(), false);
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
    auto engine = std::make_unique<TransferEngine>(image);
    QSignalSpy debug(engine.get(), &TransferEngine::debugLine);
    QSignalSpy progress(engine.get(), &TransferEngine::progress);
    QSignalSpy finished(engine.get(), &TransferEngine::finished);

    // The window closes as soon as the first block is in.
    connect(engine.get(), &TransferEngine::progress, this, [&] { engine->stop(); });
    QVERIFY(engine->start(SimCom, true, true, true).ok());
    QTRY_COMPARE_WITH_TIMEOUT(progress.count(), 1, TransferTimeoutMs);
    QVERIFY(!engine->isPortOpen());
    QVERIFY(!engine->isRunning());
    const int shown = debug.count();

    // Give any leftover timer or reply every chance to show itself.
    QTest::qWait(1500);
    QCOMPARE(debug.count(), shown);
    QCOMPARE(progress.count(), 1);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(m_radio->requests().size(), 1);
    QCOMPARE(image.ReadImageWord(0), m_radio->memoryWord(0));
    for (int w = 1; w < RadioImage::WordCount; ++w)
        QCOMPARE(image.ReadImageWord(w), Marker);
    engine.reset();
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
    QTRY_COMPARE_WITH_TIMEOUT(live.count(), 2, TransferTimeoutMs);

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

QTEST_GUILESS_MAIN(TstLink)
#include "tst_link.moc"
