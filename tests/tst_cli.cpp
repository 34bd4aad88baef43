// rq73tune-cli as a script runs it: the real program in a process of its own, talking to a
// simulated radio in this process over a pseudo-terminal, on real files.

#include "cliprocess.h"
#include "testsplit.h"
#include "datafile.h"
#include "namedword.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "testdata.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

using TestData::hex;

namespace {

constexpr int SimCom = 5;
// A COM number that leads to no device at all.
constexpr int DeadCom = 6;
constexpr int RunLimitMs = 60000;
// Short transfer timings for a radio that fails: a silent radio costs milliseconds, not seconds.
// A radio that answers keeps the product's timings, so a loaded machine cannot add a repeat.
constexpr int FastReplyTimeoutMs = 50;
const char FastTimings[] = "reply=50,quiet=10";

// Words every full transfer moves.
bool transferred(int w)
{
    return w == 0 || (w >= 16 && w <= 51) || (w >= 61 && w <= 77) || (w >= 80 && w <= 115)
           || (w >= 128 && w <= 275);
}

} // namespace

class TstCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readEqualsTheRadio_data();
    void readEqualsTheRadio();
    void writeReachesTheRadio();
    void safeWriteListsKeepsAndChecks();
    void safeWriteNeedsAnAnswer();
    void silentRadioGivesExit2_data();
    void silentRadioGivesExit2();
    void retriesAnswerTheQuestion();
    void vanishedRadioGivesExit2();
    void badFileGives3_data();
    void badFileGives3();
    void pipeIsNeverOpened_data();
    void pipeIsNeverOpened();
    void portThatCannotBeOpenedGives4_data();
    void portThatCannotBeOpenedGives4();
    void comWithoutDeviceIsNamed_data();
    void comWithoutDeviceIsNamed();
    void liveSetPutsTheFrameOnTheWire_data();
    void liveSetPutsTheFrameOnTheWire();
    void setStoresIntoTheFile_data();
    void setStoresIntoTheFile();
    void getReadsFileAndRadio();
    void verifyComparesWithTheRadio();
    void diffNamesTheWords();
    void showJsonParses();
    void showTableNamesEveryValue();
    void usageErrorsGive1_data();
    void usageErrorsGive1();
    void portsListsTheRadio();
    void portsWithoutAnyPortGives4();
    void unknownNameSuggestsTheClosest_data();
    void unknownNameSuggestsTheClosest();
    void closestNamesRanksTypingSlips_data();
    void closestNamesRanksTypingSlips();
    void messagesFollowTheStoredLanguage();

private:
    // configHome: the settings folder the program reads; this test's own when empty.
    Result cli(const QStringList &arguments, bool fastTimings = false,
               const QString &configHome = QString());
    QString path(const QString &name) const { return m_files.filePath(name); }
    QString dataHome() const { return m_dir.filePath(QStringLiteral("data")); }
    void writeFile(const QString &name, const RadioImage &image, std::int32_t txTime = 5);
    RadioImage readFile(const QString &name, std::int32_t *txTime = nullptr);
    static RadioImage pattern(int seed);

    QTemporaryDir m_dir;
    QTemporaryDir m_files;
    std::unique_ptr<SimulatedRadio> m_radio;
};

void TstCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The program reads the platform's own settings file, which XDG_CONFIG_HOME moves into this
    // folder; this process writes the same file.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QSettings settings = SettingsStore::openSettings();
    settings.setValue(QStringLiteral("ComPort"), QString::number(SimCom));
    settings.setValue(QStringLiteral("Ports/COM%1").arg(DeadCom),
                      QStringLiteral("/nonexistent/rq73-cli-port"));
    settings.sync();
    QCOMPARE(settings.status(), QSettings::NoError);
}

void TstCli::init()
{
    RQ73_SKIP_IF_RUN_ELSEWHERE();
    QVERIFY(m_files.isValid());
    m_radio = std::make_unique<SimulatedRadio>();
    QVERIFY2(m_radio->isOpen(), qPrintable(m_radio->errorString()));
    QVERIFY(m_radio->registerAsComPort(SimCom));
    for (int w = 0; w < RadioImage::WordCount; ++w)
        m_radio->setMemoryWord(w, 1000 + 3 * w);
}

void TstCli::cleanup()
{
    m_radio.reset();
    for (const QString &name : QDir(m_files.path()).entryList(QDir::Files | QDir::System))
        QFile::remove(path(name));
}

Result TstCli::cli(const QStringList &arguments, bool fastTimings, const QString &configHome)
{
    // The backups a write keeps go to a data folder of the test's own.
    const QProcessEnvironment env = cliEnvironment(
        configHome.isEmpty() ? m_dir.path() : configHome, dataHome(),
        {{QStringLiteral("RQ73_TRANSFER_TIMINGS"),
          fastTimings ? QString::fromLatin1(FastTimings) : QString()}});
    return runCliProgram(QStringLiteral(RQ73_CLI_PROGRAM), arguments, env, RunLimitMs);
}

void TstCli::writeFile(const QString &name, const RadioImage &image, std::int32_t txTime)
{
    QVERIFY(WriteToFile(path(name), image, txTime).ok());
}

RadioImage TstCli::readFile(const QString &name, std::int32_t *txTime)
{
    RadioImage image;
    std::int32_t tx = 0;
    const DataFileResult result = ReadFromFile(path(name), image, tx);
    if (!result.ok())
        qWarning("cannot read %s", qPrintable(name));
    if (txTime)
        *txTime = tx;
    return image;
}

RadioImage TstCli::pattern(int seed)
{
    RadioImage image;
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, seed - 7 * w);
    return image;
}

// ---- whole transfers ----

void TstCli::readEqualsTheRadio_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::newRow("new file") << false;
    // What a transfer never brings back stays as the file had it.
    QTest::newRow("file already there") << true;
}

void TstCli::readEqualsTheRadio()
{
    QFETCH(bool, fileExists);
    const RadioImage before = pattern(-50);
    if (fileExists)
        writeFile(QStringLiteral("radio.rdat"), before, 2);

    // The stored COM port: no --com. A file already there is replaced only when asked.
    QStringList arguments{QStringLiteral("read"), path(QStringLiteral("radio.rdat"))};
    if (fileExists) {
        const Result refused = cli(arguments);
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.err.contains(
                     path(QStringLiteral("radio.rdat"))
                     + QStringLiteral(" is already there; nothing was read. Give --force to "
                                      "replace it with the radio's data.")),
                 qPrintable(refused.err));
        QVERIFY(m_radio->requests().isEmpty());
        QCOMPARE(readFile(QStringLiteral("radio.rdat")), before);
        arguments << QStringLiteral("--force");
    }
    const Result r = cli(arguments);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.contains(QStringLiteral("Complete:100%\n")), qPrintable(r.err));
    // Every progress line has its figure, the first one too.
    QVERIFY2(r.err.startsWith(QStringLiteral("Complete:0%\n")), qPrintable(r.err));
    QVERIFY(!r.err.contains(QStringLiteral("Complete:%")));
    QVERIFY(r.err.contains(QStringLiteral("Read Data OK")));
    QVERIFY(r.out.isEmpty());

    std::int32_t tx = -1;
    const RadioImage image = readFile(QStringLiteral("radio.rdat"), &tx);
    for (int w = 0; w < RadioImage::WordCount; ++w) {
        const qint32 expected
            = transferred(w) ? m_radio->memoryWord(w) : (fileExists ? before.ReadImageWord(w) : 0);
        QCOMPARE(image.ReadImageWord(w), expected);
    }
    QCOMPARE(tx, fileExists ? 2 : 5);
    QCOMPARE(m_radio->requests().size(), 12);
}

void TstCli::writeReachesTheRadio()
{
    const RadioImage image = pattern(900);
    writeFile(QStringLiteral("out.rdat"), image);
    // --direct: the write at once, as the original program had it.
    const Result r = cli({QStringLiteral("write"), path(QStringLiteral("out.rdat")),
                          QStringLiteral("--com"), QString::number(SimCom),
                          QStringLiteral("--direct")});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.err.contains(QStringLiteral("Write Data OK")));
    for (int w = 0; w < RadioImage::WordCount; ++w) {
        const qint32 expected = transferred(w) ? image.ReadImageWord(w) : 1000 + 3 * w;
        QCOMPARE(m_radio->memoryWord(w), expected);
    }
    QCOMPARE(m_radio->requests().size(), 12);
    QCOMPARE(m_radio->requests().first().frame, hex("54554E4505000001 84030000"));
}

// The default write: the radio is read and kept, the changes listed, then written and read back.
void TstCli::safeWriteListsKeepsAndChecks()
{
    for (int w = 0; w < RadioImage::WordCount; ++w)
        m_radio->setMemoryWord(w, 0);
    m_radio->setMemoryWord(0, 100);
    m_radio->setMemoryWord(75, 101);
    RadioImage image;
    image.WriteImageWord(0, -7);
    image.WriteImageWord(75, 9);
    writeFile(QStringLiteral("new.rdat"), image);

    const Result r = cli({QStringLiteral("write"), path(QStringLiteral("new.rdat")),
                          QStringLiteral("--yes")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral("freq-adjust (word 0): radio 100 -> file -7  (keys the "
                                   "transmitter)\n"
                                   "mic.pa (word 75): radio 101 -> file 9\n"));
    QVERIFY2(r.err.contains(QStringLiteral("The write changes 2 value(s) in the radio.\n")),
             qPrintable(r.err));
    QVERIFY2(r.err.contains(QStringLiteral("Written and checked: the radio holds every value of "
                                           "this write.\n")),
             qPrintable(r.err));

    // Read, write, read back: twelve requests each.
    QString operations;
    for (const SimulatedRadio::Request &q : m_radio->requests())
        operations += q.operation == 4 ? QLatin1Char('r') : QLatin1Char('w');
    QCOMPARE(operations, QString(12, QLatin1Char('r')) + QString(12, QLatin1Char('w'))
                             + QString(12, QLatin1Char('r')));
    QCOMPARE(m_radio->memoryWord(0), -7);
    QCOMPARE(m_radio->memoryWord(75), 9);

    // The radio as it was, in a backup the messages name.
    QDirIterator found(dataHome(), {QStringLiteral("*_before-write.rdat")}, QDir::Files,
                       QDirIterator::Subdirectories);
    QVERIFY(found.hasNext());
    const QString backup = found.next();
    QVERIFY(!found.hasNext());
    QVERIFY2(r.err.contains(QStringLiteral("The radio's data before the write is in the backup ")
                            + backup),
             qPrintable(r.err));
    RadioImage kept;
    std::int32_t tx = 0;
    QVERIFY(ReadFromFile(backup, kept, tx).ok());
    QCOMPARE(kept.ReadImageWord(0), 100);
    QCOMPARE(kept.ReadImageWord(75), 101);
    QVERIFY(QFile::remove(backup));
}

// A script that gives neither --yes nor --direct has nobody at the input to answer the question:
// nothing is read or written.
void TstCli::safeWriteNeedsAnAnswer()
{
    writeFile(QStringLiteral("new.rdat"), pattern(3));
    const Result r = cli({QStringLiteral("write"), path(QStringLiteral("new.rdat"))});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("give --yes to write after the list of changes, or "
                                           "--direct to write without reading the radio first. "
                                           "Nothing was read or written.")),
             qPrintable(r.err));
    QVERIFY(m_radio->receivedBytes().isEmpty());
}

void TstCli::silentRadioGivesExit2_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("read") << "read";
    QTest::newRow("write") << "write";
}

void TstCli::silentRadioGivesExit2()
{
    QFETCH(QString, command);
    const RadioImage image = pattern(7);
    writeFile(QStringLiteral("kept.rdat"), image, 3);
    const QByteArray fileBefore = [&] {
        QFile f(path(QStringLiteral("kept.rdat")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    m_radio->setReplyTimeoutMs(FastReplyTimeoutMs);
    m_radio->setFaultPlan([](int) { return SimulatedRadio::Fault::Silent; });

    QStringList arguments{command, path(QStringLiteral("kept.rdat"))};
    arguments << (command == QStringLiteral("read") ? QStringLiteral("--force")
                                                    : QStringLiteral("--direct"));
    const Result r = cli(arguments, true);
    QCOMPARE(r.exitCode, 2);
    // The first try and ten repeats, then the question, answered Cancel: nobody is at the input.
    QCOMPARE(m_radio->requests().size(), 11);
    QVERIFY2(r.err.contains(QStringLiteral("Check connection!Retry or cancel? Cancel")),
             qPrintable(r.err));
    QFile f(path(QStringLiteral("kept.rdat")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), fileBefore);
}

void TstCli::retriesAnswerTheQuestion()
{
    m_radio->setReplyTimeoutMs(FastReplyTimeoutMs);
    m_radio->setFaultPlan([](int) { return SimulatedRadio::Fault::Silent; });
    const Result r
        = cli({QStringLiteral("get"), QStringLiteral("sq.fm.1.on"), QStringLiteral("--radio"),
               QStringLiteral("--retries"), QStringLiteral("1")},
              true);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(m_radio->requests().size(), 22);
    QVERIFY(r.err.contains(QStringLiteral("Check connection!Retry or cancel? Retry")));
    QVERIFY(r.err.contains(QStringLiteral("Check connection!Retry or cancel? Cancel")));
    QVERIFY(r.out.isEmpty());
}

void TstCli::vanishedRadioGivesExit2()
{
    // The cable is pulled in the middle of the third block and not put back.
    m_radio->setReplyTimeoutMs(FastReplyTimeoutMs);
    m_radio->setFaultPlan([](int index) {
        return index == 2 ? SimulatedRadio::Fault::Vanish : SimulatedRadio::Fault::None;
    });
    const Result r = cli({QStringLiteral("read"), path(QStringLiteral("gone.rdat")),
                          QStringLiteral("--retries"), QStringLiteral("2")},
                         true);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(QStringLiteral("The radio did not answer")), qPrintable(r.err));
    QVERIFY(!QFile::exists(path(QStringLiteral("gone.rdat"))));
}

void TstCli::badFileGives3_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QByteArray wrongHeader = DataFile::encode(RadioImage(), 5);
    wrongHeader[3] = 'X';
    const QByteArray tooShort = DataFile::encode(RadioImage(), 5).left(1000);
    const QString file = QStringLiteral("FILE");
    const QString wrong = QStringLiteral("Error file！");
    const QString shortText = QStringLiteral("is incomplete");

    QTest::newRow("write, wrong header")
        << wrongHeader << QStringList{QStringLiteral("write"), file} << wrong;
    QTest::newRow("write, too short")
        << tooShort << QStringList{QStringLiteral("write"), file} << shortText;
    QTest::newRow("write, no file") << QByteArray() << QStringList{QStringLiteral("write"), file}
                                    << QStringLiteral("does not exist");
    QTest::newRow("verify, wrong header")
        << wrongHeader << QStringList{QStringLiteral("verify"), file} << wrong;
    QTest::newRow("show, too short")
        << tooShort << QStringList{QStringLiteral("show"), file} << shortText;
    QTest::newRow("get, wrong header")
        << wrongHeader
        << QStringList{QStringLiteral("get"), QStringLiteral("freq-adjust"),
                       QStringLiteral("--file"), file}
        << wrong;
    QTest::newRow("set, wrong header") << wrongHeader
                                       << QStringList{QStringLiteral("set"),
                                                      QStringLiteral("freq-adjust"),
                                                      QStringLiteral("1"),
                                                      QStringLiteral("--file"),
                                                      file,
                                                      QStringLiteral("--radio")}
                                       << wrong;
    QTest::newRow("diff, too short")
        << tooShort << QStringList{QStringLiteral("diff"), file, file} << shortText;
    // Read does not overwrite a file that is not a radio data file.
    QTest::newRow("read over a text file")
        << QByteArray("notes, not a radio\n") << QStringList{QStringLiteral("read"), file}
        << QStringLiteral("nothing was read");
}

void TstCli::badFileGives3()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const QString file = path(QStringLiteral("bad.rdat"));
    if (!content.isEmpty()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    arguments.replaceInStrings(QStringLiteral("FILE"), file);

    const Result r = cli(arguments);
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    // Nothing went to the radio, and the file is as it was.
    QVERIFY(m_radio->receivedBytes().isEmpty());
    QFile f(file);
    if (content.isEmpty()) {
        QVERIFY(!f.exists());
    } else {
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
    }
}

void TstCli::pipeIsNeverOpened_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("get --file") << QStringList{QStringLiteral("get"), QStringLiteral("freq-adjust"),
                                               QStringLiteral("--file"), QStringLiteral("FILE")};
    QTest::newRow("write") << QStringList{QStringLiteral("write"), QStringLiteral("FILE")};
    QTest::newRow("verify") << QStringList{QStringLiteral("verify"), QStringLiteral("FILE")};
    QTest::newRow("read into") << QStringList{QStringLiteral("read"), QStringLiteral("FILE")};
    QTest::newRow("set --file") << QStringList{QStringLiteral("set"), QStringLiteral("freq-adjust"),
                                               QStringLiteral("1"), QStringLiteral("--file"),
                                               QStringLiteral("FILE")};
}

// Nobody writes into the pipe: a program that opened it would wait until cli() gives up on it.
void TstCli::pipeIsNeverOpened()
{
    QFETCH(QStringList, arguments);
    const QString fifo = path(QStringLiteral("pipe.rdat"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    arguments.replaceInStrings(QStringLiteral("FILE"), fifo);

    const Result r = cli(arguments);
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains(
                 QStringLiteral("\"%1\" is not a regular file: it is a pipe, a device or a socket.")
                     .arg(fifo)),
             qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QVERIFY(m_radio->receivedBytes().isEmpty());
    QVERIFY(!QFileInfo(fifo).isFile());
    QVERIFY(QFileInfo::exists(fifo));
}

void TstCli::portThatCannotBeOpenedGives4_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("read") << QStringList{QStringLiteral("read"), QStringLiteral("FILE"),
                                         QStringLiteral("--force")};
    // The write's first step, the read, finds the port.
    QTest::newRow("write") << QStringList{QStringLiteral("write"), QStringLiteral("FILE"),
                                          QStringLiteral("--yes")};
    QTest::newRow("live set") << QStringList{QStringLiteral("set"), QStringLiteral("freq-adjust"),
                                             QStringLiteral("3"), QStringLiteral("--radio")};
    // The file changes only together with the radio.
    QTest::newRow("live set into a file")
        << QStringList{QStringLiteral("set"),   QStringLiteral("freq-adjust"),
                       QStringLiteral("3"),     QStringLiteral("--radio"),
                       QStringLiteral("--file"), QStringLiteral("FILE")};
}

void TstCli::portThatCannotBeOpenedGives4()
{
    QFETCH(QStringList, arguments);
    writeFile(QStringLiteral("file.rdat"), pattern(1));
    arguments.replaceInStrings(QStringLiteral("FILE"), path(QStringLiteral("file.rdat")));
    // --com overrides the stored port, which is the radio's.
    const Result r = cli(arguments << QStringLiteral("--com") << QString::number(DeadCom));
    QCOMPARE(r.exitCode, 4);
    QVERIFY2(r.err.contains(QStringLiteral("/nonexistent/rq73-cli-port")), qPrintable(r.err));
    QVERIFY(m_radio->receivedBytes().isEmpty());
    QCOMPARE(readFile(QStringLiteral("file.rdat")), pattern(1));
    if (arguments.contains(QStringLiteral("--file")))
        QVERIFY2(r.err.contains(path(QStringLiteral("file.rdat")) + QStringLiteral(" was left as it is.")),
                 qPrintable(r.err));
}

void TstCli::comWithoutDeviceIsNamed_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read") << QStringList{QStringLiteral("read"), QStringLiteral("FILE"),
                                         QStringLiteral("--force")}
                          << true
                          << QStringLiteral("COM99 has no device; choose another COM port");
    QTest::newRow("write, Chinese")
        << QStringList{QStringLiteral("write"), QStringLiteral("FILE"), QStringLiteral("--direct")}
        << false
        << QStringLiteral("COM99 没有对应的设备；请选择其他串口");
    QTest::newRow("live set") << QStringList{QStringLiteral("set"), QStringLiteral("freq-adjust"),
                                             QStringLiteral("3"), QStringLiteral("--radio")}
                              << true
                              << QStringLiteral("COM99 has no device; choose another COM port");
}

// COM99 has no conventional device on Linux, and the settings map none to it.
void TstCli::comWithoutDeviceIsNamed()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, english);
    QFETCH(QString, reason);
    writeFile(QStringLiteral("file.rdat"), pattern(1));
    arguments.replaceInStrings(QStringLiteral("FILE"), path(QStringLiteral("file.rdat")));
    if (!english)
        QVERIFY(
            SettingsStore::WriteRegistryText(QStringLiteral("Language"), QStringLiteral("False")));
    const Result r = cli(arguments << QStringLiteral("--com") << QStringLiteral("99"));
    if (!english)
        QVERIFY(
            SettingsStore::WriteRegistryText(QStringLiteral("Language"), QStringLiteral("True")));
    QCOMPARE(r.exitCode, 4);
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    QVERIFY(m_radio->receivedBytes().isEmpty());
}

// ---- live values: the tune windows' own examples ----

void TstCli::liveSetPutsTheFrameOnTheWire_data()
{
    QTest::addColumn<QStringList>("arguments");
    // The data file's transmit time and one word it holds; no file when fileTx is below -100.
    QTest::addColumn<int>("fileTx");
    QTest::addColumn<int>("fileWord");
    QTest::addColumn<int>("fileValue");
    QTest::addColumn<QByteArray>("frame");

    const int noFile = -1000;
    auto row = [](const char *name, const QStringList &args, int fileTx, int word, int value,
                  const char *frame) {
        QTest::newRow(name) << args << fileTx << word << value << hex(frame);
    };
    auto set = [](const char *name, const char *value, const QStringList &more = {}) {
        return QStringList{QStringLiteral("set"), QString::fromLatin1(name),
                           QString::fromLatin1(value)}
               + more;
    };
    const QStringList tx1{QStringLiteral("--tx"), QStringLiteral("1")};
    const QStringList tx2{QStringLiteral("--tx"), QStringLiteral("2")};
    const QStringList tx3{QStringLiteral("--tx"), QStringLiteral("3")};
    const QStringList tx10{QStringLiteral("--tx"), QStringLiteral("10")};

    row("frequency -5 with 3 s", set("freq-adjust", "-5", tx3), noFile, 0, 0,
        "54554E4532000001FBFFFFFF");
    row("word 0 by number", set("0", "-5", tx3), noFile, 0, 0, "54554E4532000001FBFFFFFF");
    row("frequency 500 is limited to 300", set("freq-adjust", "500"), noFile, 0, 0,
        "54554E45620000012C010000");
    row("squelch 30 in 65", set("sq.mid", "30"), noFile, 0, 0, "54554E45024100011E000000");
    row("power 90, nothing selected in the file", set("usb.mid.high.power", "55"), -1, 0, 0,
        "54554E45025A000137000000");
    row("row 3 of USB, start-up time", set("usb.mid.low.power", "40"), noFile, 0, 0,
        "54554E456256000128000000");
    row("file's time 12 selects 1 s", set("freq-adjust", "1"), 12, 0, 0,
        "54554E451200000101000000");
    row("file's time 3 selects 4 s", set("freq-adjust", "1"), 3, 0, 0, "54554E454200000101000000");
    row("--tx wins over the file", set("freq-adjust", "1", tx1), 3, 0, 0,
        "54554E451200000101000000");
    row("PA volume", set("volume.pa", "70"), noFile, 0, 0, "54554E450245000146000000");
    row("PA microphone", set("mic.pa", "33", tx10), noFile, 0, 0, "54554E45024B000121000000");
    row("FM microphone", set("mic.fm", "20", tx1), noFile, 0, 0, "54554E451247000114000000");
    row("data rate 5", set("bps.low", "5", tx10), noFile, 0, 0, "54554E45A23D000105000000");
    row("AM deviation", set("am.mid.low.deviation", "99", tx2), noFile, 0, 0,
        "54554E452229000163000000");
    row("AM deviation 200 is limited to 100", set("am.mid.low.deviation", "200", tx2), noFile, 0, 0,
        "54554E452229000164000000");
    // Squelch values go as the Test of their row: command 6, the pair, from the file.
    row("squelch AM reference", set("sq.am.ref.on", "500"), 5, 277, 400,
        "54554E4506F60002F401000090010000");
    row("squelch FM reference", set("sq.fm.ref.off", "120"), 5, 278, 250,
        "54554E4506800002FA00000078000000");
    row("squelch row 20", set("sq.sq.6.off", "7"), 5, 168, 9, "54554E4506A800020900000007000000");
    row("squelch words 130 and 131", set("sq.fm.2.on", "9"), 5, 131, -2,
        "54554E450682000209000000FEFFFFFF");
    row("squelch 70000 is limited to 100", set("sq.fm.2.off", "70000"), 5, 130, 8,
        "54554E45068200020800000064000000");
    row("squelch level shown in the tune window", set("level.asq1-on", "11"), 5, 129, 12,
        "54554E4506800002 0B0000000C000000");
}

void TstCli::liveSetPutsTheFrameOnTheWire()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, fileTx);
    QFETCH(int, fileWord);
    QFETCH(int, fileValue);
    QFETCH(QByteArray, frame);

    arguments << QStringLiteral("--radio");
    if (fileTx > -100) {
        RadioImage image;
        image.WriteImageWord(fileWord, fileValue);
        writeFile(QStringLiteral("tune.rdat"), image, fileTx);
        arguments << QStringLiteral("--file") << path(QStringLiteral("tune.rdat"));
    }
    const Result r = cli(arguments);
    QCOMPARE(r.exitCode, 0);
    QTRY_COMPARE(m_radio->liveFrames().size(), 1);
    QCOMPARE(m_radio->liveFrames().first().frame, frame);
    // Exactly the frame and nothing else reached the radio.
    QCOMPARE(m_radio->receivedBytes(), frame);
    QVERIFY(r.out.isEmpty());
}

void TstCli::setStoresIntoTheFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("word"); // -1: the transmit time
    QTest::addColumn<int>("stored");
    QTest::newRow("freq-adjust") << "freq-adjust"
                                 << "-5" << 0 << -5;
    QTest::newRow("limited") << "fm.low.low.deviation"
                             << "300" << 17 << 255;
    QTest::newRow("squelch") << "sq.sq.44.off"
                             << "321" << 245 << 321;
    QTest::newRow("squelch below 0") << "sq.am.15.on"
                                     << "-4" << 274 << 0;
    QTest::newRow("word without a name") << "300"
                                         << "-123456" << 300 << -123456;
    QTest::newRow("hexadecimal word") << "0x1F"
                                      << "77" << 31 << 77;
    QTest::newRow("transmit time") << "tx-time"
                                   << "3" << -1 << 2;
}

void TstCli::setStoresIntoTheFile()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(int, word);
    QFETCH(int, stored);
    const RadioImage before = pattern(40);
    writeFile(QStringLiteral("f.rdat"), before, 5);
    const Result r = cli({QStringLiteral("set"), name, value, QStringLiteral("--file"),
                          path(QStringLiteral("f.rdat"))});
    QCOMPARE(r.exitCode, 0);
    std::int32_t tx = 0;
    const RadioImage after = readFile(QStringLiteral("f.rdat"), &tx);
    RadioImage expected = before;
    if (word >= 0)
        expected.WriteImageWord(word, stored);
    QVERIFY(after == expected);
    QCOMPARE(tx, word >= 0 ? 5 : stored);
    // A file alone never reaches the radio.
    QVERIFY(m_radio->receivedBytes().isEmpty());

    // get gives back what set stored.
    const Result g = cli(
        {QStringLiteral("get"), name, QStringLiteral("--file"), path(QStringLiteral("f.rdat"))});
    QCOMPARE(g.exitCode, 0);
    QCOMPARE(g.out, QString::number(word >= 0 ? stored : stored + 1) + QLatin1Char('\n'));
}

void TstCli::getReadsFileAndRadio()
{
    m_radio->setMemoryWord(134, 4321);
    m_radio->setMemoryWord(86, 47);
    Result r
        = cli({QStringLiteral("get"), QStringLiteral("sq.fm.4.on"), QStringLiteral("--radio")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral("4321\n"));
    // The squelch table alone is read for a squelch value.
    QCOMPARE(m_radio->requests().size(), 5);

    m_radio->clearRecords();
    r = cli(
        {QStringLiteral("get"), QStringLiteral("usb.mid.low.power"), QStringLiteral("--radio")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral("47\n"));
    QCOMPARE(m_radio->requests().size(), 12);
}

void TstCli::verifyComparesWithTheRadio()
{
    RadioImage image;
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, m_radio->memoryWord(w));
    // Words no transfer moves do not count.
    image.WriteImageWord(300, -1);
    image.WriteImageWord(277, -1);
    writeFile(QStringLiteral("same.rdat"), image);
    Result r = cli({QStringLiteral("verify"), path(QStringLiteral("same.rdat"))});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());

    image.WriteImageWord(0, -5);
    image.WriteImageWord(200, 17);
    writeFile(QStringLiteral("other.rdat"), image);
    r = cli({QStringLiteral("verify"), path(QStringLiteral("other.rdat"))});
    QCOMPARE(r.exitCode, 5);
    QCOMPARE(r.out, QStringLiteral("freq-adjust (word 0): file -5, radio 1000\n"
                                   "sq.sq.22.on (word 200): file 17, radio 1600\n"));
}

void TstCli::diffNamesTheWords()
{
    RadioImage a = pattern(10);
    writeFile(QStringLiteral("a.rdat"), a, 5);
    writeFile(QStringLiteral("same.rdat"), a, 5);
    RadioImage b = a;
    b.WriteImageWord(0, 12);
    b.WriteImageWord(86, 55);
    b.WriteImageWord(130, 99);
    b.WriteImageWord(279, 0);
    b.WriteImageWord(300, 1);
    writeFile(QStringLiteral("b.rdat"), b, 2);

    Result r = cli({QStringLiteral("diff"), path(QStringLiteral("a.rdat")),
                    path(QStringLiteral("same.rdat"))});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());

    r = cli(
        {QStringLiteral("diff"), path(QStringLiteral("a.rdat")), path(QStringLiteral("b.rdat"))});
    QCOMPARE(r.exitCode, 5);
    QCOMPARE(r.out, QStringLiteral("freq-adjust (word 0): 10 -> 12\n"
                                   "usb.mid.low.power (word 86): -592 -> 55\n"
                                   "sq.fm.2.on (word 130): -900 -> 99\n"
                                   "sq.fm.ref.off (word 279): -1943 -> 0\n"
                                   "word 300: -2090 -> 1\n"
                                   "tx-time: 6 -> 3\n"));
}

void TstCli::showJsonParses()
{
    RadioImage image = pattern(3);
    image.WriteImageWord(0, -5);
    writeFile(QStringLiteral("s.rdat"), image, 2);
    const Result r
        = cli({QStringLiteral("show"), path(QStringLiteral("s.rdat")), QStringLiteral("--json")});
    QCOMPARE(r.exitCode, 0);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject root = doc.object();
    QCOMPARE(root.value(QStringLiteral("txTime")).toObject().value(QStringLiteral("seconds")),
             QJsonValue(3));
    const QJsonArray values = root.value(QStringLiteral("values")).toArray();
    // 90 values of the tune data window and the 152 thresholds of the squelch table.
    QCOMPARE(values.size(), 90 + 152);
    QHash<QString, QJsonObject> byName;
    for (const QJsonValue &v : values)
        byName.insert(v.toObject().value(QStringLiteral("name")).toString(), v.toObject());
    QCOMPARE(byName.size(), values.size());
    QCOMPARE(byName.value(QStringLiteral("freq-adjust")).value(QStringLiteral("value")),
             QJsonValue(-5));
    const QJsonObject power = byName.value(QStringLiteral("usb.mid.high.power"));
    QCOMPARE(power.value(QStringLiteral("word")), QJsonValue(90));
    QCOMPARE(power.value(QStringLiteral("value")), QJsonValue(3 - 7 * 90));
    QCOMPARE(byName.value(QStringLiteral("sq.fm.3.on")).value(QStringLiteral("word")),
             QJsonValue(132));
    QCOMPARE(byName.value(QStringLiteral("sq.am.ref.off")).value(QStringLiteral("word")),
             QJsonValue(277));
}

void TstCli::showTableNamesEveryValue()
{
    writeFile(QStringLiteral("t.rdat"), pattern(0));
    const Result r = cli({QStringLiteral("show"), path(QStringLiteral("t.rdat"))});
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // A heading, every value, and the transmit time.
    QCOMPARE(lines.size(), 1 + 90 + 152 + 1);
    QVERIFY(lines.at(1).startsWith(QStringLiteral("freq-adjust ")));
    QVERIFY(r.out.contains(QStringLiteral("AM Low Band Low Power Tx Deviation")));
    QVERIFY(r.out.contains(QStringLiteral("FM reference ASQ Off")));
    QVERIFY(lines.last().startsWith(QStringLiteral("tx-time ")));
}

void TstCli::usageErrorsGive1_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    auto row = [](const char *name, const QStringList &args, const char *message) {
        QTest::newRow(name) << args << QString::fromUtf8(message);
    };
    const QString f = QStringLiteral("FILE");
    row("nothing", {}, "No command given.");
    row("unknown command", {QStringLiteral("tune")}, "Unknown command: tune");
    row("unknown option", {QStringLiteral("read"), f, QStringLiteral("--fast")},
        "Unknown option: --fast");
    row("missing file", {QStringLiteral("read")}, "Wrong number of arguments");
    row("COM 0", {QStringLiteral("read"), f, QStringLiteral("--com"), QStringLiteral("0")},
        "between 1 and 99");
    row("COM not a number",
        {QStringLiteral("read"), f, QStringLiteral("--com"), QStringLiteral("x")},
        "needs a whole number");
    row("negative retries",
        {QStringLiteral("read"), f, QStringLiteral("--retries"), QStringLiteral("-1")},
        "cannot be negative");
    row("tx 11",
        {QStringLiteral("set"), QStringLiteral("freq-adjust"), QStringLiteral("1"),
         QStringLiteral("--radio"), QStringLiteral("--tx"), QStringLiteral("11")},
        "between 1 and 10 seconds");
    row("unknown name",
        {QStringLiteral("get"), QStringLiteral("freq"), QStringLiteral("--file"), f},
        "Unknown value name: freq. Did you mean: freq-adjust?");
    row("word 512", {QStringLiteral("get"), QStringLiteral("512"), QStringLiteral("--file"), f},
        "Unknown value name: 512. \"rq73tune-cli show FILE\" lists the names; word addresses run "
        "from 0 to 511.");
    row("not a number",
        {QStringLiteral("set"), QStringLiteral("freq-adjust"), QStringLiteral("1.5"),
         QStringLiteral("--radio")},
        "\"1.5\" is not a whole number");
    row("set without a target",
        {QStringLiteral("set"), QStringLiteral("freq-adjust"), QStringLiteral("1")},
        "--file, the radio with --radio");
    row("get from both",
        {QStringLiteral("get"), QStringLiteral("freq-adjust"), QStringLiteral("--file"), f,
         QStringLiteral("--radio")},
        "Give either a data file with --file or --radio.");
    row("option of another command",
        {QStringLiteral("show"), f, QStringLiteral("--tx"), QStringLiteral("3")},
        "The option --tx does not apply to \"show\"");
    row("squelch live without a file",
        {QStringLiteral("set"), QStringLiteral("sq.fm.3.on"), QStringLiteral("1"),
         QStringLiteral("--radio")},
        "give the data file");
    row("word without a name live",
        {QStringLiteral("set"), QStringLiteral("300"), QStringLiteral("1"),
         QStringLiteral("--radio")},
        "word 300 is not a tune value");
    row("transmit time live",
        {QStringLiteral("set"), QStringLiteral("tx-time"), QStringLiteral("3"),
         QStringLiteral("--radio")},
        "never sent");
    row("reference pair from the radio",
        {QStringLiteral("get"), QStringLiteral("sq.fm.ref.on"), QStringLiteral("--radio")},
        "kept in data files only");
}

void TstCli::usageErrorsGive1()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    writeFile(QStringLiteral("u.rdat"), pattern(0));
    arguments.replaceInStrings(QStringLiteral("FILE"), path(QStringLiteral("u.rdat")));
    const Result r = cli(arguments);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("--help")));
    QVERIFY(r.out.isEmpty());
    QVERIFY(m_radio->receivedBytes().isEmpty());
}

void TstCli::portsListsTheRadio()
{
    const Result r = cli({QStringLiteral("ports")});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains(QStringLiteral("COM%1\t%2\n").arg(SimCom).arg(m_radio->devicePath())),
             qPrintable(r.out));
    QVERIFY(!r.out.contains(QStringLiteral("COM%1\t").arg(DeadCom)));
}

void TstCli::portsWithoutAnyPortGives4()
{
    // Settings of their own in which every COM number names a device that is not there, so the
    // machine's own serial ports cannot be listed.
    QTemporaryDir config;
    QVERIFY(config.isValid());
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("Norvane")));
    QFile conf(config.filePath(QStringLiteral("Norvane/RQ73 Tune.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Text));
    conf.write("[General]\nComPort=1\n\n[Ports]\n");
    for (int n = 1; n <= 99; ++n)
        conf.write(QStringLiteral("COM%1=/nonexistent/rq73-port-%1\n").arg(n).toUtf8());
    conf.close();

    const Result r = cli({QStringLiteral("ports")}, false, config.path());
    QCOMPARE(r.exitCode, 4);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(QStringLiteral("No port can be opened now. Check that the programming "
                                           "cable is plugged in.\n")),
             qPrintable(r.err));
}

void TstCli::unknownNameSuggestsTheClosest_data()
{
    QTest::addColumn<QString>("language"); // the stored "Language"
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("letter missing") << "True"
                                    << "freq-adjst"
                                    << "Unknown value name: freq-adjst. Did you mean: freq-adjust?";
    QTest::newRow("letters swapped")
        << "True"
        << "usb.mid.hgih.power"
        << "Unknown value name: usb.mid.hgih.power. Did you mean: usb.mid.high.power?";
    QTest::newRow("equally near, the longer common start first")
        << "True"
        << "sq.fm.3.of"
        << "Unknown value name: sq.fm.3.of. Did you mean: sq.fm.3.off, sq.fm.3.on?";
    QTest::newRow("capitals") << "True"
                              << "TX-TIME"
                              << "Unknown value name: TX-TIME. Did you mean: tx-time?";
    QTest::newRow("nothing near")
        << "True"
        << "wattage"
        << "Unknown value name: wattage. \"rq73tune-cli show FILE\" lists the names; word "
           "addresses run from 0 to 511.";
    QTest::newRow("Chinese") << "False"
                             << "freq-adjst"
                             << "未知的数值名称：freq-adjst。您是不是要找：freq-adjust？";
}

void TstCli::unknownNameSuggestsTheClosest()
{
    QFETCH(QString, language);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    writeFile(QStringLiteral("n.rdat"), pattern(0));
    QVERIFY(SettingsStore::WriteRegistryText(QStringLiteral("Language"), language));
    const Result r = cli(
        {QStringLiteral("get"), typed, QStringLiteral("--file"), path(QStringLiteral("n.rdat"))});
    QVERIFY(SettingsStore::WriteRegistryText(QStringLiteral("Language"), QStringLiteral("True")));
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.err.split(QLatin1Char('\n')).first(), QStringLiteral("rq73tune-cli: ") + message);
}

void TstCli::closestNamesRanksTypingSlips_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("candidates");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("expected");
    const QStringList words{QStringLiteral("read"),   QStringLiteral("write"),
                            QStringLiteral("verify"), QStringLiteral("ports"),
                            QStringLiteral("show"),   QStringLiteral("diff")};
    QTest::newRow("exact") << "show" << words << 3 << QStringList{QStringLiteral("show")};
    QTest::newRow("one wrong letter")
        << "wrate" << words << 3 << QStringList{QStringLiteral("write")};
    QTest::newRow("swap counts once")
        << "prots" << words << 3 << QStringList{QStringLiteral("ports")};
    QTest::newRow("short name, two slips") << "shaq" << words << 3 << QStringList();
    QTest::newRow("prefix when nothing is near")
        << "veri" << words << 3 << QStringList{QStringLiteral("verify")};
    // post and ports are one slip away, parts two; among equals the longer common start wins.
    QTest::newRow("only the nearest")
        << "porst"
        << QStringList{QStringLiteral("parts"), QStringLiteral("post"), QStringLiteral("ports")}
        << 3 << QStringList{QStringLiteral("ports"), QStringLiteral("post")};
    QTest::newRow("limit") << "rod"
                           << QStringList{QStringLiteral("red"), QStringLiteral("rid"),
                                          QStringLiteral("rad")}
                           << 2 << QStringList{QStringLiteral("red"), QStringLiteral("rid")};
    QTest::newRow("empty") << "" << words << 3 << QStringList();
}

void TstCli::closestNamesRanksTypingSlips()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, candidates);
    QFETCH(int, limit);
    QFETCH(QStringList, expected);
    QCOMPARE(closestNames(typed, candidates, limit), expected);
}

void TstCli::messagesFollowTheStoredLanguage()
{
    QVERIFY(SettingsStore::WriteRegistryText(QStringLiteral("Language"), QStringLiteral("False")));
    const Result chinese = cli({QStringLiteral("write"), path(QStringLiteral("none.rdat"))});
    const Result help = cli({QStringLiteral("--help")});
    QVERIFY(SettingsStore::WriteRegistryText(QStringLiteral("Language"), QStringLiteral("True")));
    QCOMPARE(chinese.exitCode, 3);
    QVERIFY2(chinese.err.contains(QStringLiteral("不存在")), qPrintable(chinese.err));
    QCOMPARE(help.exitCode, 0);
    QVERIFY2(help.out.contains(QStringLiteral("用法")), qPrintable(help.out));

    const Result english = cli({QStringLiteral("write"), path(QStringLiteral("none.rdat"))});
    QVERIFY(english.err.contains(QStringLiteral("does not exist")));
}

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"
