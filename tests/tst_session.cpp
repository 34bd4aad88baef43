// The image session's policy without a single widget: what each operation does to the image,
// its file, its source, its history and its signals, and what reaches the radio.
#include "datafile.h"
#include "imagesession.h"
#include "portopen.h"
#include "simulatedradio.h"
#include "testdata.h"
#include "testsettings.h"
#include "transfertimings.h"

#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using TestData::hex;

namespace {

constexpr int SimCom = 8;
constexpr int WaitMs = 20000;

// Short waits: a silent radio costs milliseconds.
bool runHeadless(RadioImage &image, TransferKind kind, int port,
                 const std::function<void()> &afterRead)
{
    TransferTimings t;
    t.replyTimeoutMs = 200;
    t.quietMs = 10;
    return runnerWithoutWindow(t)(image, kind, port, afterRead);
}

// A data file whose every word is its address plus offset, and tuneTxTime 3.
QString patternFile(const QTemporaryDir &dir, const char *name, int offset)
{
    RadioImage image;
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, w + offset);
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!WriteToFile(path, image, 3).ok())
        return {};
    return path;
}

} // namespace

class TstSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void operations_data();
    void operations();
    void undoAndRedo_data();
    void undoAndRedo();
    void liveOutcomes_data();
    void liveOutcomes();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SimulatedRadio> m_radio;
};

void TstSession::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
}

void TstSession::init()
{
    m_radio = std::make_unique<SimulatedRadio>();
    QVERIFY(m_radio->registerAsComPort(SimCom));
    for (int w = 0; w < 276; ++w)
        m_radio->setMemoryWord(w, 1000 + w);
}

void TstSession::cleanup()
{
    m_radio.reset();
}

// Operation × state → source, modified, file, history and what was announced.
void TstSession::operations_data()
{
    QTest::addColumn<QString>("before"); // "start-up", "file", "edited file"
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("answers"); // requests the radio answers; -1 every one
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("source");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("replaced");
    QTest::addColumn<int>("backups");

    const int startUp = int(ImageSource::StartUp), newImage = int(ImageSource::New),
              file = int(ImageSource::File), radio = int(ImageSource::Radio),
              partial = int(ImageSource::PartialRead);
    auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
    row("start-up, new") << QStringLiteral("start-up") << QStringLiteral("new") << -1 << true
                         << newImage << false << QStringLiteral("new.rdat") << 1 << 0;
    row("start-up, open") << QStringLiteral("start-up") << QStringLiteral("open") << -1 << true
                          << file << false << QStringLiteral("b.rdat") << 1 << 0;
    row("start-up, open missing") << QStringLiteral("start-up") << QStringLiteral("open missing")
                                  << -1 << false << startUp << false << QStringLiteral("new.rdat")
                                  << 0 << 0;
    row("edited file, open missing")
        << QStringLiteral("edited file") << QStringLiteral("open missing") << -1 << false << file
        << true << QStringLiteral("a.rdat") << 0 << 0;
    row("edited file, save") << QStringLiteral("edited file") << QStringLiteral("save") << -1
                             << true << file << false << QStringLiteral("a.rdat") << 0 << 0;
    row("edited file, new") << QStringLiteral("edited file") << QStringLiteral("new") << -1
                            << true << newImage << false << QStringLiteral("a.rdat") << 1 << 0;
    row("file, full read") << QStringLiteral("file") << QStringLiteral("full read") << -1 << true
                           << radio << false << QStringLiteral("a.rdat") << 1 << 1;
    // A read that stopped may have taken blocks: the windows are told either way.
    row("file, full read, silent") << QStringLiteral("file") << QStringLiteral("full read") << 0
                                   << false << file << false << QStringLiteral("a.rdat") << 1 << 0;
    // Four blocks came before the radio fell silent: the image is a radio's and a file's at
    // once, which a write must ask about.
    row("file, full read, cut short")
        << QStringLiteral("file") << QStringLiteral("full read") << 4 << false << partial << true
        << QStringLiteral("a.rdat") << 1 << 0;
    row("file, squelch read") << QStringLiteral("file") << QStringLiteral("squelch read") << -1
                              << true << file << true << QStringLiteral("a.rdat") << 1 << 1;
    row("start-up, full read") << QStringLiteral("start-up") << QStringLiteral("full read") << -1
                               << true << radio << false << QStringLiteral("new.rdat") << 1 << 1;
}

void TstSession::operations()
{
    QFETCH(QString, before);
    QFETCH(QString, operation);
    QFETCH(int, answers);
    QFETCH(bool, ok);
    QFETCH(int, source);
    QFETCH(bool, modified);
    QFETCH(QString, fileName);
    QFETCH(int, replaced);
    QFETCH(int, backups);

    QTemporaryDir dir;
    const QString a = patternFile(dir, "a.rdat", 0);
    const QString b = patternFile(dir, "b.rdat", 7);
    AppState state;
    state.ComPortNumber = SimCom;
    state.image.WriteImageWord(300, 42); // the half New keeps
    ImageSession session(state);
    session.setBackupFolder(dir.filePath(QStringLiteral("backups")));
    session.showFileName(QStringLiteral("new.rdat"));
    if (before != QLatin1String("start-up"))
        QVERIFY(session.open(a).ok());
    if (before == QLatin1String("edited file")) {
        session.setWord(0, -5);
        session.commitEdit({0}, ImageSession::LiveKind::None);
        QVERIFY(session.isModified());
    }
    if (answers >= 0) {
        m_radio->setFaultPlan([answers](int i) {
            return i < answers ? SimulatedRadio::Fault::None : SimulatedRadio::Fault::Silent;
        });
    }

    QSignalSpy replacedSpy(&session, &ImageSession::imageReplaced);
    bool result = false;
    if (operation == QLatin1String("new")) {
        session.newImage();
        result = true;
        QCOMPARE(state.image.ReadImageWord(0), 0);
        // The second half stays as it was.
        QCOMPARE(state.image.ReadImageWord(300), before == QLatin1String("start-up") ? 42 : 300);
    } else if (operation == QLatin1String("open")) {
        result = session.open(b).ok();
        QCOMPARE(state.image.ReadImageWord(10), 17);
        QCOMPARE(state.TuneTxTime, 3);
        QCOMPARE(session.filePath(), b);
    } else if (operation == QLatin1String("open missing")) {
        const RadioImage kept = state.image;
        result = session.open(dir.filePath(QStringLiteral("none.rdat"))).ok();
        QVERIFY(state.image == kept);
    } else if (operation == QLatin1String("save")) {
        result = session.saveAs(a).ok();
        QFile saved(a);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QCOMPARE(bytes.size(), 2068);
        QCOMPARE(bytes.left(16), QByteArray("RQ73 DT Ver1.0.7"));
        QCOMPARE(bytes.mid(16, 8), hex("FBFFFFFF01000000")); // -5, then word 1 as it was
    } else if (operation == QLatin1String("full read")) {
        result = session.transfer(TransferKind::FullRead, runHeadless).succeeded;
    } else if (operation == QLatin1String("squelch read")) {
        result = session.transfer(TransferKind::SquelchRead, runHeadless).succeeded;
        QCOMPARE(state.image.ReadImageWord(128), 1128);
        QCOMPARE(state.image.ReadImageWord(0), 0);
    }
    QCOMPARE(result, ok);
    QCOMPARE(int(session.source()), source);
    QCOMPARE(session.hasSource(),
             source == int(ImageSource::File) || source == int(ImageSource::Radio));
    QCOMPARE(session.isModified(), modified);
    QCOMPARE(session.fileName(), fileName);
    QCOMPARE(replacedSpy.count(), replaced);
    QCOMPARE(QDir(session.backupFolder()).entryList(QDir::Files).size(), backups);
    QCOMPARE(state.TuneDataRange || state.SquelchDataRange || state.TransferIsRead, false);
    if (operation.contains(QLatin1String("read")))
        QCOMPARE(state.TransferSucceeded, ok);
    // Replacing the image ends the history; anything else keeps it.
    QCOMPARE(session.undoStack()->count(),
             before == QLatin1String("edited file") && replaced == 0 ? 1 : 0);
    // Only a file or a full read is data worth writing without a question.
    QCOMPARE(session.writeNeedsConfirmation(TransferKind::FullWrite), !session.hasSource());
    QVERIFY(!session.writeNeedsConfirmation(TransferKind::FullRead));
}

// Edit kinds → frames after the edit, the undo and the redo; words; changed marks.
void TstSession::undoAndRedo_data()
{
    QTest::addColumn<QList<int>>("words");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<bool>("live");
    QTest::addColumn<QByteArray>("editFrames");
    QTest::addColumn<QByteArray>("undoFrames");
    QTest::addColumn<QByteArray>("redoFrames");

    // Word 0 keys the transmitter: the time index 5 (6 s) is in the command's high nibble. Undo
    // and redo put values back with command 2, which never keys.
    QTest::newRow("frequency adjust")
        << QList<int>{0} << QList<int>{-5} << true << hex("54554E4562000001FBFFFFFF")
        << hex("54554E45020000010A000000") << hex("54554E4502000001FBFFFFFF");
    QTest::newRow("volume, no transmit")
        << QList<int>{69} << QList<int>{70} << true << hex("54554E450245000146000000")
        << hex("54554E450245000114000000") << hex("54554E450245000146000000");
    QTest::newRow("squelch box") << QList<int>{130} << QList<int>{77} << false << QByteArray()
                                 << QByteArray() << QByteArray();
    QTest::newRow("rescaled table") << QList<int>{128, 129, 130} << QList<int>{1, 2, 3} << false
                                    << QByteArray() << QByteArray() << QByteArray();
}

void TstSession::undoAndRedo()
{
    QFETCH(QList<int>, words);
    QFETCH(QList<int>, values);
    QFETCH(bool, live);
    QFETCH(QByteArray, editFrames);
    QFETCH(QByteArray, undoFrames);
    QFETCH(QByteArray, redoFrames);

    QTemporaryDir dir;
    RadioImage start;
    start.WriteImageWord(0, 10);
    start.WriteImageWord(69, 20);
    const QString path = dir.filePath(QStringLiteral("start.rdat"));
    QVERIFY(WriteToFile(path, start, 5).ok());
    AppState state;
    state.ComPortNumber = SimCom;
    ImageSession session(state);
    QVERIFY(session.open(path).ok());
    const auto kind = live ? ImageSession::LiveKind::TuneValue : ImageSession::LiveKind::None;

    QList<WordChange> changes;
    for (int i = 0; i < words.size(); ++i)
        changes.append({words.at(i), values.at(i)});
    session.setWords(changes);
    session.commitEdit(words, kind);
    QVERIFY(session.waitForLiveLink(WaitMs));
    QCOMPARE(m_radio->receivedBytes(), editFrames);
    QCOMPARE(session.undoStack()->count(), 1);
    QVERIFY(session.isModified());
    for (int i = 0; i < words.size(); ++i) {
        QCOMPARE(session.word(words.at(i)), values.at(i));
        QVERIFY(session.isChanged(words.at(i)));
    }

    m_radio->clearRecords();
    session.undoStack()->undo();
    QVERIFY(session.waitForLiveLink(WaitMs));
    QCOMPARE(m_radio->receivedBytes(), undoFrames);
    QVERIFY(state.image == start);
    QVERIFY(!session.isModified());
    for (const int w : words)
        QVERIFY(!session.isChanged(w));

    m_radio->clearRecords();
    session.undoStack()->redo();
    QVERIFY(session.waitForLiveLink(WaitMs));
    QCOMPARE(m_radio->receivedBytes(), redoFrames);
    for (int i = 0; i < words.size(); ++i)
        QCOMPARE(session.word(words.at(i)), values.at(i));

    // A drag that ends where it began is no step.
    const int steps = session.undoStack()->count();
    const std::int32_t was = session.word(69);
    session.setWord(69, was + 9);
    session.setWord(69, was);
    session.commitEdit({69}, ImageSession::LiveKind::None);
    QCOMPARE(session.undoStack()->count(), steps);
}

// What became of a frame → the report, the unsent mark and a resend.
void TstSession::liveOutcomes_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("outcome");
    QTest::newRow("sent") << QStringLiteral("radio") << int(LiveFrameOutcome::Sent);
    QTest::newRow("port missing") << QStringLiteral("missing")
                                  << int(LiveFrameOutcome::PortMissing);
    QTest::newRow("port in use") << QStringLiteral("held by another program")
                                 << int(LiveFrameOutcome::PortInUse);
    QTest::newRow("line never drains")
        << QStringLiteral("stopped") << int(LiveFrameOutcome::NeverDrained);
}

void TstSession::liveOutcomes()
{
    QFETCH(QString, line);
    QFETCH(int, outcome);

    AppState state;
    state.ComPortNumber = line == QLatin1String("missing") ? 97 : SimCom;
    ImageSession session(state);
    QSerialPort holder;
    if (line.startsWith(QLatin1String("held")))
        QVERIFY(openSerialPort(holder, SimCom).ok());
    // A line whose output is stopped takes the bytes and never lets them out.
    int stopped = -1;
    if (line == QLatin1String("stopped")) {
        stopped = ::open(qPrintable(m_radio->devicePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(stopped >= 0);
        ::tcflow(stopped, TCOOFF);
        session.setLiveDrainLimitMs(150);
    }
    QSignalSpy reports(&session, &ImageSession::liveFrameReported);
    session.setWord(0, -5);
    session.commitEdit({0}, ImageSession::LiveKind::TuneValue);
    QVERIFY(session.waitForLiveLink(WaitMs));
    QCOMPARE(reports.count(), 1);
    const auto report = reports.first().first().value<LiveFrameReport>();
    QCOMPARE(report.word, 0);
    QCOMPARE(report.value, -5);
    QCOMPARE(int(report.outcome), outcome);
    const bool sent = outcome == int(LiveFrameOutcome::Sent);
    // A frame that never went out keyed nothing.
    QCOMPARE(report.txSeconds, sent ? 6 : 0);
    QCOMPARE(session.unsentWords().contains(0), !sent);
    QCOMPARE(m_radio->liveFrames().size(), sent ? 1 : 0);

    // The line is free again: Resend sends every unsent value, and the mark goes.
    holder.close();
    if (stopped >= 0) {
        ::tcflow(stopped, TCOON);
        ::close(stopped);
        // The given-up frame was flushed; only the resent one may arrive.
        m_radio->clearRecords();
    }
    state.ComPortNumber = SimCom;
    session.resendUnsent();
    QVERIFY(session.waitForLiveLink(WaitMs));
    QVERIFY(session.unsentWords().isEmpty());
    QCOMPARE(m_radio->liveFrames().size(), 1);
    QCOMPARE(m_radio->liveFrames().first().frame, hex("54554E4562000001FBFFFFFF"));
}

QTEST_MAIN(TstSession)
#include "tst_session.moc"
