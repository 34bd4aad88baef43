// The link's pure logic: frames, debug text, reply reception, the block plan, port names and the
// port choice. No serial port and no pseudo-terminal, so it runs on every system.

#include "blockplan.h"
#include "blocktext.h"
#include "debugtext.h"
#include "portopen.h"
#include "portprobe.h"
#include "radioimage.h"
#include "replywindow.h"
#include "requestframe.h"
#include "settingsstore.h"
#include "testdata.h"
#include "testsettings.h"
#include "transfertimings.h"
#include "translations.h"

#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using TestData::patternBytes;

namespace {

} // namespace

class TstLinkLogic : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void timingDefaults();

    void requestFrame_data();
    void requestFrame();
    void writeFrameCarriesImageBytes();
    void debugText_data();
    void debugText();

    void replyWindow_data();
    void replyWindow();
    void readingsOfAWindow_data();
    void readingsOfAWindow();
    void aRadioThatKeepsTalkingIsCut();

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
    void portMapReadsEveryEntryOnce();
    void portWithoutDeviceNamesTheNumber_data();
    void portWithoutDeviceNamesTheNumber();
    void portChoice_data();
    void portChoice();

private:
    QTemporaryDir m_settingsDir;
};

void TstLinkLogic::initTestCase()
{
    QVERIFY(m_settingsDir.isValid());
    isolateSettings(m_settingsDir.path());
}

void TstLinkLogic::timingDefaults()
{
    const TransferTimings defaults;
    QCOMPARE(defaults.replyTimeoutMs, 1000);
    QCOMPARE(defaults.handOverUs, 350);
    QCOMPARE(defaults.quietMs, 50);
}

// ---- request frames and debug text ----

void TstLinkLogic::requestFrame_data()
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

void TstLinkLogic::requestFrame()
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

void TstLinkLogic::writeFrameCarriesImageBytes()
{
    RadioImage image;
    QVERIFY(image.assign(patternBytes(53, 7)));
    const RequestFrame frame = buildRequestFrame(RequestOperation::Write, 61, 3, image);
    QCOMPARE(frame.bytes.size(), 20);
    QCOMPARE(frame.bytes.left(8), QByteArray::fromHex("54554E45053D0003"));
    QCOMPARE(frame.bytes.mid(8), patternBytes(53, 7).mid(244, 12));
    QCOMPARE(frame.expectedReplyLength, 1);
}

void TstLinkLogic::debugText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("read word 0") << QByteArray::fromHex("54554E4504000001")
                                 << QStringLiteral("TX:54 55 4E 45 4 0 0 1 ");
    QTest::newRow("no leading zeros")
        << QByteArray::fromHex("001E0AFF") << QStringLiteral("TX:0 1E A FF ");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("TX:");
}

void TstLinkLogic::debugText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(DebugText::hexLine(DebugText::TxPrefix, bytes), expected);
}

// ---- reply reception ----

// How one request's window of bytes is read: echo and noise before the acknowledgement, the
// counted reply, and what came after it, however the arrivals cut the bytes.
void TstLinkLogic::replyWindow_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("expectedLength");
    QTest::addColumn<QList<QByteArray>>("arrivals");
    QTest::addColumn<QList<bool>>("completeAfter");
    QTest::addColumn<QByteArray>("counted"); // empty: no complete reply
    QTest::addColumn<QByteArray>("tail");    // the second reading, if any
    QTest::addColumn<int>("extra");
    QTest::addColumn<bool>("secondReply");
    QTest::addColumn<bool>("echoed");
    QTest::addColumn<QString>("debugLine");

    using L = QList<QByteArray>;
    using B = QList<bool>;
    const auto hex = [](const char *h) { return QByteArray::fromHex(h); };
    const QByteArray read = hex("54554E4504000001");
    // A write of one word whose data holds the acknowledgement byte.
    const QByteArray write = hex("54554E450500000106000600");

    QTest::newRow("clean") << read << 5 << L{hex("0611223344")} << B{true} << hex("0611223344")
                           << QByteArray() << 0 << false << false
                           << QStringLiteral("RX:6 11 22 33 44 ");
    QTest::newRow("byte before ack") << read << 5 << L{hex("FF0611223344")} << B{true}
                                     << hex("0611223344") << QByteArray() << 0 << false << false
                                     << QStringLiteral("RX:FF 6 11 22 33 44 ");
    QTest::newRow("split") << read << 5 << L{hex("0611"), hex("22"), hex("3344")}
                           << B{false, false, true} << hex("0611223344") << QByteArray() << 0
                           << false << false << QStringLiteral("RX:6 11 22 33 44 ");
    QTest::newRow("cut short") << read << 5 << L{hex("061122")} << B{false} << QByteArray()
                               << QByteArray() << 0 << false << false
                               << QStringLiteral("RX:6 11 22 ");
    QTest::newRow("refused") << read << 5 << L{hex("1511223344")} << B{false} << QByteArray()
                             << QByteArray() << 0 << false << false
                             << QStringLiteral("RX:15 11 22 33 44 ");
    QTest::newRow("echo, then the reply") << read << 5 << L{read + hex("0611223344")} << B{true}
                                          << hex("0611223344") << QByteArray() << 0 << false
                                          << true
                                          << QStringLiteral("RX:54 55 4E 45 4 0 0 1 6 11 22 33 44 ");
    QTest::newRow("write echo holding 0x06, byte by byte")
        << write << 1
        << L{hex("54"), hex("554E4505"), hex("000001"), hex("06"), hex("0006"), hex("00"),
             hex("06")}
        << B{false, false, false, false, false, false, true} << hex("06") << QByteArray() << 0
        << false << true << QStringLiteral("RX:54 55 4E 45 5 0 0 1 6 0 6 0 6 ");
    QTest::newRow("noise, then the echo")
        << read << 5 << L{hex("00FF") + read, hex("0611223344")} << B{false, true}
        << hex("0611223344") << QByteArray() << 0 << false << true
        << QStringLiteral("RX:0 FF 54 55 4E 45 4 0 0 1 6 11 22 33 44 ");
    QTest::newRow("an echo cut short is noise")
        << read << 5 << L{hex("54554E"), hex("0611223344")} << B{false, true}
        << hex("0611223344") << QByteArray() << 0 << false << false
        << QStringLiteral("RX:54 55 4E 6 11 22 33 44 ");
    QTest::newRow("trailer") << read << 5 << L{hex("06112233440D")} << B{true}
                             << hex("0611223344") << QByteArray() << 1 << false << false
                             << QStringLiteral("RX:6 11 22 33 44 D ");
    QTest::newRow("0x06 in the noise before the reply")
        << read << 5 << L{hex("FF0600"), hex("0611223344")} << B{false, true} << hex("0600061122")
        << hex("0611223344") << 2 << false << false
        << QStringLiteral("RX:FF 6 0 6 11 22 33 44 ");
    QTest::newRow("write ack") << write << 1 << L{hex("06")} << B{true} << hex("06") << QByteArray()
                               << 0 << false << false << QStringLiteral("RX:6 ");
    QTest::newRow("refused write") << write << 1 << L{hex("15")} << B{false} << QByteArray()
                                   << QByteArray() << 0 << false << false
                                   << QStringLiteral("RX:15 ");
    QTest::newRow("two write acks") << write << 1 << L{hex("06"), hex("06")} << B{true, true}
                                    << hex("06") << hex("06") << 1 << true << false
                                    << QStringLiteral("RX:6 6 ");
    QTest::newRow("doubled read reply")
        << read << 5 << L{hex("06112233440611223344")} << B{true} << hex("0611223344")
        << hex("0611223344") << 5 << true << false
        << QStringLiteral("RX:6 11 22 33 44 6 11 22 33 44 ");
    QTest::newRow("half a second reply") << read << 5 << L{hex("061122334406112233")} << B{true}
                                         << hex("0611223344") << QByteArray() << 4 << false
                                         << false << QStringLiteral("RX:6 11 22 33 44 6 11 22 33 ");
    QTest::newRow("a stale reply, then the answer")
        << read << 5 << L{hex("06AABBCCDD"), hex("FF0611223344")} << B{true, true}
        << hex("06AABBCCDD") << hex("0611223344") << 6 << true << false
        << QStringLiteral("RX:6 AA BB CC DD FF 6 11 22 33 44 ");
    QTest::newRow("acknowledgement storm")
        << read << 5 << L{hex("060606"), hex("06060606060606")} << B{false, true}
        << hex("0606060606") << hex("0606060606") << 5 << true << false
        << QStringLiteral("RX:6 6 6 6 6 6 6 6 6 6 ");
}

void TstLinkLogic::replyWindow()
{
    QFETCH(QByteArray, request);
    QFETCH(int, expectedLength);
    QFETCH(QList<QByteArray>, arrivals);
    QFETCH(QList<bool>, completeAfter);
    QFETCH(QByteArray, counted);
    QFETCH(QByteArray, tail);
    QFETCH(int, extra);
    QFETCH(bool, secondReply);
    QFETCH(bool, echoed);
    QFETCH(QString, debugLine);

    ReplyWindow window;
    // Whatever the last request left behind is forgotten.
    window.begin(QByteArray::fromHex("54554E4504100020"), 129);
    window.feed(QByteArray::fromHex("0601020304"));
    window.begin(request, expectedLength);
    QVERIFY(!window.receivedAny());
    for (int i = 0; i < arrivals.size(); ++i) {
        window.feed(arrivals.at(i));
        QCOMPARE(window.isComplete(), completeAfter.at(i));
    }
    QCOMPARE(window.counted().toByteArray(), counted);
    QCOMPARE(window.tail().toByteArray(), tail);
    QCOMPARE(window.hasTailReply(), !tail.isEmpty());
    QCOMPARE(window.extraCount(), extra);
    QCOMPARE(window.hasSecondReply(), secondReply);
    QCOMPARE(window.echoed(), echoed);
    QCOMPARE(window.DebugLine(), debugLine);
    if (counted == QByteArray::fromHex("0611223344"))
        QCOMPARE(ReplyWindow::replyWord(window.counted(), 0), qint32(0x44332211));
}

// Every way to read a window as one reply, for the engine to find the one two windows share.
void TstLinkLogic::readingsOfAWindow_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("readings");
    using L = QList<QByteArray>;
    const auto hex = [](const char *h) { return QByteArray::fromHex(h); };
    QTest::newRow("one reply") << hex("0611223344") << L{hex("0611223344")};
    QTest::newRow("cut short") << hex("06112233") << L{};
    QTest::newRow("trailer") << hex("06112233440D") << L{hex("0611223344")};
    QTest::newRow("0x06 in the noise")
        << hex("FF06000611223344") << L{hex("0600061122"), hex("0611223344")};
    QTest::newRow("acknowledgements left over, then the reply, then noise")
        << hex("0606061122334455AAAA")
        << L{hex("0606061122"), hex("0606112233"), hex("0611223344")};
    QTest::newRow("a reply holding 0x06, twice")
        << hex("06110633440611063344")
        << L{hex("0611063344"), hex("0633440611"), hex("0611063344")};
}

void TstLinkLogic::readingsOfAWindow()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, readings);
    ReplyWindow window;
    window.begin(QByteArray::fromHex("54554E4504000001"), 5);
    window.feed(bytes);
    QList<QByteArray> seen;
    for (const QByteArrayView reading : window.readings(8))
        seen.append(reading.toByteArray());
    QCOMPARE(seen, readings);
    QCOMPARE(window.readings(1).size(), std::min<qsizetype>(1, readings.size()));
}

void TstLinkLogic::aRadioThatKeepsTalkingIsCut()
{
    ReplyWindow window;
    window.begin(QByteArray::fromHex("54554E4504000001"), 5);
    QByteArray bytes = QByteArray::fromHex("0611223344");
    bytes.append(QByteArray(ReplyWindow::MaxBytes, '\x5A'));
    window.feed(bytes);
    window.feed(QByteArray(100, '\x5A'));
    QVERIFY(window.overflowed());
    QCOMPARE(window.bytes().size(), ReplyWindow::MaxBytes);
    QCOMPARE(window.counted().toByteArray(), QByteArray::fromHex("0611223344"));
}

// ---- block plan ----

void TstLinkLogic::blockPlan_data()
{
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<QString>("blocks");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("full") << TransferKind::FullRead
                          << QStringLiteral("0;16-47;48-51;61-63;64-77;80-111;112-115;128-157;"
                                            "158-189;190-221;222-245;246-275")
                          << QStringList{"%",   "17%", "19%", "23%", "28%", "41%",
                                         "42%", "57%", "69%", "81%", "89%", "100%"};
    QTest::newRow("tune data") << TransferKind::TuneDataWrite << QStringLiteral("0;16-47;48-51;61-63;64-77")
                               << QStringList{"1%", "68%", "73%", "90%", "100%"};
    QTest::newRow("squelch") << TransferKind::SquelchWrite
                             << QStringLiteral("128-157;158-189;190-221;222-245;246-275")
                             << QStringList{"20%", "42%", "64%", "80%", "100%"};
}

void TstLinkLogic::blockPlan()
{
    QFETCH(TransferKind, kind);
    QFETCH(QString, blocks);
    QFETCH(QStringList, texts);

    const BlockPlan plan(kind);
    const QList<BlockPlan::Block> sequence = plan.blocks();
    QCOMPARE(blocksText(sequence), blocks);

    QStringList shown;
    for (const BlockPlan::Block &block : sequence)
        shown << progressPercentText(plan.advance(block).fraction);
    QCOMPARE(shown, texts);
    QVERIFY(plan.advance(sequence.last()).finished);
    QCOMPARE(plan.advance(sequence.last()).fraction, 1.0);
}

void TstLinkLogic::nextBlockCount_data()
{
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("expected");

    const int rows[][2]
        = {{1, 32},   {16, 32},  {20, 32}, {48, 4},   {50, 2},   {51, 3},  {60, 3},   {61, 14},
           {64, 14},  {65, 32},  {79, 32}, {80, 32},  {112, 4},  {114, 2}, {115, 30}, {157, 30},
           {158, 32}, {222, 24}, {245, 1}, {246, 30}, {274, 30}, {275, 7}, {300, 7}};
    for (const auto &row : rows)
        QTest::addRow("%d", row[0]) << row[0] << row[1];
}

void TstLinkLogic::nextBlockCount()
{
    QFETCH(int, c);
    QFETCH(int, expected);
    // 7 stands for the current count, which 275 and above keep.
    QCOMPARE(BlockPlan::nextBlockCount(c, 7), expected);
}

void TstLinkLogic::skipGap_data()
{
    QTest::addColumn<int>("nextWord");
    QTest::addColumn<int>("expected");

    const int rows[][2] = {{0, 0},     {1, 16},    {15, 16},   {16, 16},   {51, 51},  {52, 61},
                           {60, 61},   {61, 61},   {77, 77},   {78, 80},   {79, 80},  {80, 80},
                           {115, 115}, {116, 128}, {127, 128}, {128, 128}, {276, 276}};
    for (const auto &row : rows)
        QTest::addRow("%d", row[0]) << row[0] << row[1];
}

void TstLinkLogic::skipGap()
{
    QFETCH(int, nextWord);
    QFETCH(int, expected);
    QCOMPARE(BlockPlan::skipGap(nextWord), expected);
}

void TstLinkLogic::percentText_data()
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

void TstLinkLogic::percentText()
{
    QFETCH(double, fraction);
    QFETCH(QString, expected);
    QCOMPARE(progressPercentText(fraction), expected);
}

// ---- port names ----

void TstLinkLogic::portDeviceName_data()
{
    QTest::addColumn<int>("comPort");
    QTest::addColumn<QString>("mapped");
    QTest::addColumn<QString>("expected");

    QTest::newRow("mapped COM3") << 3 << QStringLiteral("/tmp/radio-cable")
                                 << QStringLiteral("/tmp/radio-cable");
    QTest::newRow("blank entry") << 4 << QStringLiteral("  ")
#ifdef Q_OS_WIN
                                 << QStringLiteral("COM4");
    QTest::newRow("COM1") << 1 << QString() << QStringLiteral("COM1");
    QTest::newRow("COM12") << 12 << QString() << QStringLiteral("COM12");
    QTest::newRow("COM99") << 99 << QString() << QStringLiteral("COM99");
#else
                                 << QStringLiteral("/dev/ttyS3");
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
    QTest::newRow("COM100") << 100 << QStringLiteral("/tmp/never") << QString();
}

void TstLinkLogic::portDeviceName()
{
    QFETCH(int, comPort);
    QFETCH(QString, mapped);
    QFETCH(QString, expected);

    const QString key = QStringLiteral("Ports/COM%1").arg(comPort);
    {
        QSettings settings = SettingsStore::openSettings();
        settings.clear();
        if (!mapped.isEmpty())
            settings.setValue(key, mapped);
    }
    QCOMPARE(::portDeviceName(comPort), expected);
    QCOMPARE(PortMap::load().deviceName(comPort), expected);
    QCOMPARE(PortMap::settingsKey(comPort), key);
    SettingsStore::openSettings().clear();
}

void TstLinkLogic::portMapReadsEveryEntryOnce()
{
    {
        QSettings settings = SettingsStore::openSettings();
        settings.clear();
        settings.setValue(QStringLiteral("Ports/COM5"), QStringLiteral("/tmp/five"));
        settings.setValue(QStringLiteral("Ports/COM12"), QStringLiteral("/tmp/twelve"));
        settings.setValue(QStringLiteral("Ports/Other"), QStringLiteral("/tmp/other"));
    }
    const PortMap map = PortMap::load();
    // Later changes of the settings do not reach a map already read.
    SettingsStore::openSettings().clear();
    QCOMPARE(map.deviceName(5), QStringLiteral("/tmp/five"));
    QCOMPARE(map.deviceName(12), QStringLiteral("/tmp/twelve"));
    QCOMPARE(map.deviceName(6), PortMap().deviceName(6));
    QCOMPARE(::portDeviceName(5), PortMap().deviceName(5));
}

void TstLinkLogic::portWithoutDeviceNamesTheNumber_data()
{
    QTest::addColumn<int>("comPort");
    // A device path in the test's folder that does not exist; empty: no entry.
    QTest::addColumn<QString>("mapped");
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("error");
    // "DEVICE" stands for the mapped path.
    QTest::addColumn<QString>("reason");

    const int noDevice = int(PortOpenError::NoDeviceForNumber);
    const int missing = int(PortOpenError::NoSuchDevice);
    const QString missingText = QStringLiteral("The port DEVICE does not exist. Check that the "
                                               "programming cable is plugged in, or choose "
                                               "another COM port.");
    const QString missingChinese
        = QStringLiteral("端口 DEVICE 不存在。请检查写频线是否插好，或选择其他串口。");
#ifndef Q_OS_WIN
    QTest::newRow("COM97") << 97 << QString() << true << noDevice
                           << QStringLiteral("COM97 has no device; choose another COM port");
    QTest::newRow("COM99") << 99 << QString() << true << noDevice
                           << QStringLiteral("COM99 has no device; choose another COM port");
    QTest::newRow("COM99, Chinese") << 99 << QString() << false << noDevice
                                    << QStringLiteral("COM99 没有对应的设备；请选择其他串口");
#endif
    QTest::newRow("COM0") << 0 << QString() << true << noDevice
                          << QStringLiteral("COM0 has no device; choose another COM port");
    QTest::newRow("COM100, Chinese") << 100 << QStringLiteral("no-such-tty") << false << noDevice
                                     << QStringLiteral("COM100 没有对应的设备；请选择其他串口");
    QTest::newRow("COM99 mapped") << 99 << QStringLiteral("no-such-tty") << true << missing
                                  << missingText;
    QTest::newRow("COM99 mapped, Chinese")
        << 99 << QStringLiteral("no-such-tty") << false << missing << missingChinese;
    QTest::newRow("COM5 mapped") << 5 << QStringLiteral("no-such-tty") << true << missing
                                 << missingText;
}

void TstLinkLogic::portWithoutDeviceNamesTheNumber()
{
    QFETCH(int, comPort);
    QFETCH(QString, mapped);
    QFETCH(bool, english);
    QFETCH(int, error);
    QFETCH(QString, reason);

    const QString device = m_settingsDir.filePath(mapped);
    {
        QSettings settings = SettingsStore::openSettings();
        settings.clear();
        if (!mapped.isEmpty())
            settings.setValue(PortMap::settingsKey(comPort), device);
    }
    Translations translations;
    QVERIFY(translations.apply(english));

    QSerialPort port;
    const PortOpenResult result = openSerialPort(port, comPort);
    QVERIFY(!port.isOpen());
    QCOMPARE(int(result.error), error);
    QCOMPARE(result.comPortNumber, comPort);
    reason.replace(QStringLiteral("DEVICE"), device);
    QCOMPARE(portOpenReason(result), reason);
    SettingsStore::openSettings().clear();
}

void TstLinkLogic::portChoice_data()
{
    QTest::addColumn<QList<int>>("listed");
    QTest::addColumn<int>("inUse");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("comPort");
    QTest::addColumn<bool>("fellBack");

    QTest::newRow("in use listed") << QList<int>{5, 12} << 12 << 1 << 12 << false;
    QTest::newRow("in use gone") << QList<int>{9, 33} << 3 << 0 << 9 << true;
    QTest::newRow("nothing listed") << QList<int>{} << 3 << -1 << 3 << false;
}

void TstLinkLogic::portChoice()
{
    QFETCH(QList<int>, listed);
    QFETCH(int, inUse);
    QFETCH(int, index);
    QFETCH(int, comPort);
    QFETCH(bool, fellBack);

    const PortChoice choice = PortChoice::choose(listed, inUse);
    QCOMPARE(choice.index, index);
    QCOMPARE(choice.comPortNumber, comPort);
    QCOMPARE(choice.fellBack, fellBack);
}

QTEST_GUILESS_MAIN(TstLinkLogic)
#include "tst_linklogic.moc"
