// Many transfers against a radio that misbehaves at random: reads and writes of every kind, a
// fault drawn for every request from a fixed seed, the Retry/Cancel question answered at random,
// the cable pulled and put back, another radio found behind it, a slow radio. After every
// transfer: one that reports success has every word of its range from the radio it finished on;
// one that does not holds no word from anywhere else; nothing outside the range changed; the port
// is closed and no file descriptor is left.
//
// The run is bounded by a number of transfers and a time, so the suite stays fast; scripts/soak
// runs thousands. RQ73_SOAK_TRANSFERS, RQ73_SOAK_SECONDS and RQ73_SOAK_SEED override the bounds
// and the seed.
#include "blockplan.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "testsettings.h"
#include "transferengine.h"
#include "transferkind.h"
#include "transfertimings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <random>

using Fault = SimulatedRadio::Fault;

namespace {

// A COM number with no conventional device: while the radio is away, nothing else answers.
constexpr int SoakCom = 98;
constexpr int ReplyTimeoutMs = 12;
// A transfer that has not finished by then is a hang, not a slow machine.
constexpr int HangMs = 60000;
// After this many questions in one transfer the answer is Cancel, so every transfer ends.
constexpr int MaxQuestions = 4;

constexpr std::array AllFaults = {
    Fault::Silent,    Fault::Refuse,   Fault::JunkBeforeAck, Fault::Split,   Fault::CutShort,
    Fault::Trailing,  Fault::Vanish,   Fault::Babble,        Fault::Late,    Fault::VeryLate,
    Fault::Duplicate, Fault::AckStorm, Fault::Stale,         Fault::Unasked, Fault::Replaced,
};
// How long the radio takes to answer, in microseconds: mostly at once, sometimes slowly.
constexpr std::array AnswerDelaysUs = {0, 0, 100, 5000};
constexpr std::array AllKinds = {
    TransferKind::FullRead,    TransferKind::FullWrite,    TransferKind::TuneDataWrite,
    TransferKind::SquelchRead, TransferKind::SquelchWrite,
};

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

int openFileDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

// The same draw for the same transfer and index, whatever the timing of the run: the radio may
// see a different number of requests on a loaded machine, but never a different fault for one.
quint32 draw(quint32 transferSeed, int index, quint32 salt)
{
    std::seed_seq seq{transferSeed, quint32(index), salt};
    std::array<quint32, 1> out{};
    seq.generate(out.begin(), out.end());
    return out[0];
}

struct Tally
{
    int transfers = 0, succeeded = 0, cancelled = 0, questions = 0, retries = 0;
    int vanishes = 0, replaced = 0, requests = 0, faults = 0, blocks = 0, wrongSuccesses = 0;
    std::array<int, AllFaults.size()> perFault{};
    std::array<int, AllKinds.size()> perKind{};
};

} // namespace

class TstSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void soak();
    void strayAcknowledgementIsNoAnswer_data();
    void strayAcknowledgementIsNoAnswer();

private:
    QTemporaryDir m_dir;
};

void TstSoak::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
    SettingsStore::openSettings().clear();
}

void TstSoak::soak()
{
    const int transfers = fromEnvironment("RQ73_SOAK_TRANSFERS", 30);
    const int seconds = fromEnvironment("RQ73_SOAK_SECONDS", 3);
    const quint32 seed = quint32(fromEnvironment("RQ73_SOAK_SEED", 20261210));
    std::mt19937 random(seed);

    SimulatedRadio radio;
    radio.setReplyTimeoutMs(ReplyTimeoutMs);
    QVERIFY(radio.registerAsComPort(SoakCom));
    TransferTimings timings;
    timings.replyTimeoutMs = ReplyTimeoutMs;
    // Over the radio's latest answer (VeryLate, 2.3 time-outs).
    timings.quietMs = 5;

    Tally tally;
    int vanishedThisTransfer = 0;
    connect(&radio, &SimulatedRadio::vanished, this, [&] { ++vanishedThisTransfer; });
    // The memory of every radio a transfer meets, each as it appeared.
    QList<QByteArray> memories;
    connect(&radio, &SimulatedRadio::reappeared, this, [&] {
        if (memories.isEmpty() || memories.last() != radio.memory())
            ++tally.replaced;
        memories.append(radio.memory());
    });

    const int baselineFds = openFileDescriptors();
    QElapsedTimer clock;
    clock.start();
    while (tally.transfers < transfers && clock.elapsed() < seconds * 1000) {
        const quint32 transferSeed = random();
        const std::size_t kindIndex = random() % AllKinds.size();
        const TransferKind kind = AllKinds[kindIndex];
        // Calm, troubled and stormy transfers: a tenth, a third or most requests go wrong.
        const int faultPercent = std::array{10, 35, 85}[random() % 3];
        const int answerUs = AnswerDelaysUs[random() % AnswerDelaysUs.size()];
        radio.setAnswerDelayUs(answerUs);
        const QString where
            = QStringLiteral("transfer %1 (seed %2, kind %3, faults %4%, answer %5 us)")
                  .arg(tally.transfers)
                  .arg(seed)
                  .arg(int(kindIndex))
                  .arg(faultPercent)
                  .arg(answerUs);

        RadioImage image;
        for (int w = 0; w < RadioImage::WordCount; ++w) {
            image.WriteImageWord(w, qint32(random()));
            radio.setMemoryWord(w, qint32(random()));
        }
        const RadioImage imageBefore = image;
        memories = {radio.memory()};

        // What the radio was told and what the tool saw, told when the transfer fails a check.
        QStringList story;
        const auto tell = qScopeGuard([&] {
            if (QTest::currentTestFailed())
                qWarning().noquote() << where << "\n" << story.join(QLatin1Char('\n'));
        });

        radio.clearRecords();
        Fault lastFault = Fault::None;
        radio.setFaultPlan([&, transferSeed, faultPercent](int index) {
            const quint32 d = draw(transferSeed, index, 1);
            Fault fault = Fault::None;
            if (int(d % 100) < faultPercent) {
                const std::size_t f = (d / 100) % AllFaults.size();
                fault = AllFaults[f];
                // A reply nobody asked for, as long as the next reply and as quick as the radio
                // answers, followed by the radio missing that next request, is all the line
                // shows of the next block: the same bytes at the same time as its answer. Nothing
                // tells the two apart without asking every block twice, so that pair is not
                // drawn; each fault on its own is.
                const bool missesNext = fault == Fault::Silent || fault == Fault::Refuse
                                        || fault == Fault::Stale || fault == Fault::Babble
                                        || fault == Fault::AckStorm || fault == Fault::Late
                                        || fault == Fault::VeryLate || fault == Fault::Vanish
                                        || fault == Fault::Replaced;
                if (lastFault == Fault::Unasked && missesNext) {
                    fault = Fault::None;
                } else {
                    ++tally.faults;
                    ++tally.perFault[f];
                }
            }
            lastFault = fault;
            const SimulatedRadio::Request &r = radio.requests().at(index);
            story << QStringLiteral("radio: request %1 (op %2, word %3, count %4): %5")
                         .arg(index)
                         .arg(r.operation)
                         .arg(r.firstWord)
                         .arg(r.count)
                         .arg(SimulatedRadio::faultName(fault));
            return fault;
        });
        vanishedThisTransfer = 0;

        TransferEngine engine(image);
        engine.setTimings(timings);
        int accepted = 0;
        int questions = 0;
        int finishedCount = 0;
        bool success = false;
        double lastFraction = 0.0;
        QEventLoop loop;
        connect(&engine, &TransferEngine::progress, &loop, [&](double fraction) {
            ++accepted;
            lastFraction = fraction;
            story << QStringLiteral("tool: block taken, %1").arg(fraction);
        });
        connect(&engine, &TransferEngine::debugLine, &loop,
                [&](const QString &line) { story << QStringLiteral("tool: ") + line; });
        connect(&engine, &TransferEngine::finished, &loop, [&](bool ok) {
            ++finishedCount;
            success = ok;
            loop.quit();
        });
        connect(&engine, &TransferEngine::retryQuestion, &loop, [&] {
            const quint32 d = draw(transferSeed, questions, 2);
            ++questions;
            // Answered from the event loop, as the window's question box does.
            QTimer::singleShot(0, &engine, [&, d] {
                if (questions > MaxQuestions || d % 3 == 0) {
                    engine.cancel();
                    return;
                }
                // Mostly the cable is back by the time the technician says Retry.
                if (!radio.isOpen() && d % 5 != 0)
                    QVERIFY(radio.reappear());
                ++tally.retries;
                engine.retry();
            });
        });
        QTimer hang;
        hang.setSingleShot(true);
        connect(&hang, &QTimer::timeout, &loop, &QEventLoop::quit);
        hang.start(HangMs);

        QVERIFY2(engine.start(SoakCom, kind).ok(), qPrintable(where));
        loop.exec();
        QVERIFY2(finishedCount == 1, qPrintable(where + QStringLiteral(": never finished")));
        QCoreApplication::processEvents();
        QCOMPARE(finishedCount, 1);

        QVERIFY2(!success || lastFraction == 1.0, qPrintable(where));
        QVERIFY2(!engine.isPortOpen(), qPrintable(where));

        std::array<bool, RadioImage::WordCount> inRange{};
        for (const BlockPlan::Block &b : BlockPlan(kind).blocks()) {
            for (int w = b.firstWord; w < b.firstWord + b.count; ++w)
                inRange[std::size_t(w)] = true;
        }
        const QByteArray &lastMemory = memories.last();
        bool wrong = false;
        for (int w = 0; w < RadioImage::WordCount; ++w) {
            const qint32 now = image.ReadImageWord(w);
            const qint32 radioNow = radio.memoryWord(w);
            // What the radio the transfer ended with held when it appeared.
            const qint32 radioThen = RadioImage::WordFromBytes(lastMemory, 4 * w);
            const QString word = where + QStringLiteral(", word %1").arg(w);
            const bool in = inRange[std::size_t(w)];
            if (isReadTransfer(kind)) {
                QVERIFY2(radioNow == radioThen, qPrintable(word + QStringLiteral(": radio")));
                if (!in) {
                    QVERIFY2(now == imageBefore.ReadImageWord(w),
                             qPrintable(word + QStringLiteral(": outside the range")));
                } else if (success) {
                    wrong = wrong || now != radioNow;
                    QVERIFY2(now == radioNow, qPrintable(word + QStringLiteral(": not read")));
                } else {
                    bool fromARadio = false;
                    for (const QByteArray &memory : std::as_const(memories))
                        fromARadio = fromARadio || now == RadioImage::WordFromBytes(memory, 4 * w);
                    QVERIFY2(now == imageBefore.ReadImageWord(w) || fromARadio,
                             qPrintable(word + QStringLiteral(": from nowhere")));
                }
            } else {
                QVERIFY2(now == imageBefore.ReadImageWord(w),
                         qPrintable(word + QStringLiteral(": image changed")));
                if (!in) {
                    QVERIFY2(radioNow == radioThen,
                             qPrintable(word + QStringLiteral(": outside the range")));
                } else if (success) {
                    wrong = wrong || radioNow != now;
                    QVERIFY2(radioNow == now, qPrintable(word + QStringLiteral(": not written")));
                } else {
                    // Written but not acknowledged (a late answer) is allowed; nothing else.
                    QVERIFY2(radioNow == radioThen || radioNow == now,
                             qPrintable(word + QStringLiteral(": garbled")));
                }
            }
        }
        tally.wrongSuccesses += wrong ? 1 : 0;

        // The cable goes back in before the next transfer; then every descriptor is accounted.
        if (!radio.isOpen())
            QVERIFY(radio.reappear());
        QCOMPARE(openFileDescriptors(), baselineFds);

        ++tally.transfers;
        ++tally.perKind[kindIndex];
        tally.succeeded += success ? 1 : 0;
        tally.cancelled += success ? 0 : 1;
        tally.questions += questions;
        tally.vanishes += vanishedThisTransfer;
        tally.requests += int(radio.requests().size());
        tally.blocks += accepted;
    }

    QVERIFY(tally.transfers > 0);
    qInfo().noquote() << QStringLiteral(
                             "soak: %1 transfers in %2 s (seed %3): %4 succeeded, %5 cancelled, "
                             "%6 succeeded with a wrong word; %7 requests, %8 faults, %9 vanishes "
                             "(%10 came back as another radio), %11 questions, %12 retries, %13 "
                             "blocks taken")
                             .arg(tally.transfers)
                             .arg(clock.elapsed() / 1000.0, 0, 'f', 1)
                             .arg(seed)
                             .arg(tally.succeeded)
                             .arg(tally.cancelled)
                             .arg(tally.wrongSuccesses)
                             .arg(tally.requests)
                             .arg(tally.faults)
                             .arg(tally.vanishes)
                             .arg(tally.replaced)
                             .arg(tally.questions)
                             .arg(tally.retries)
                             .arg(tally.blocks);
    QStringList faults;
    for (std::size_t f = 0; f < AllFaults.size(); ++f)
        faults << QStringLiteral("%1 %2")
                      .arg(SimulatedRadio::faultName(AllFaults[f]))
                      .arg(tally.perFault[f]);
    qInfo().noquote() << "soak faults:" << faults.join(QStringLiteral(", "));
}

void TstSoak::strayAcknowledgementIsNoAnswer_data()
{
    QTest::addColumn<Fault>("second");
    QTest::newRow("silent") << Fault::Silent;
    QTest::newRow("vanish") << Fault::Vanish;
}

// Found by the soak: a radio streams acknowledgements until it hears a request, so the tool gives
// up waiting for a quiet line and sends; the radio stores nothing and says nothing (or is
// unplugged), and the acknowledgements still on their way must not count as its answer.
void TstSoak::strayAcknowledgementIsNoAnswer()
{
    QFETCH(Fault, second);
    SimulatedRadio radio;
    radio.setReplyTimeoutMs(ReplyTimeoutMs);
    QVERIFY(radio.registerAsComPort(SoakCom));
    radio.setFaultPlan([second](int index) {
        return index == 0 ? Fault::AckStorm : index == 1 ? second : Fault::None;
    });
    RadioImage image;
    for (int w = 0; w < RadioImage::WordCount; ++w) {
        image.WriteImageWord(w, 1000 + w);
        radio.setMemoryWord(w, -1000 - w);
    }

    TransferEngine engine(image);
    TransferTimings timings;
    timings.replyTimeoutMs = ReplyTimeoutMs;
    timings.quietMs = 5;
    engine.setTimings(timings);
    int accepted = 0;
    QEventLoop loop;
    connect(&engine, &TransferEngine::progress, &loop, [&] { ++accepted; });
    connect(&engine, &TransferEngine::finished, &loop, &QEventLoop::quit);
    connect(&engine, &TransferEngine::retryQuestion, &loop, [&] {
        QTimer::singleShot(0, &engine, [&] {
            if (!radio.isOpen())
                QVERIFY(radio.reappear());
            engine.retry();
        });
    });
    QTimer::singleShot(HangMs, &loop, &QEventLoop::quit);
    QVERIFY(engine.start(SoakCom, TransferKind::TuneDataWrite).ok());
    loop.exec();

    QVERIFY(engine.succeeded());
    for (const BlockPlan::Block &b : BlockPlan(BlockPlan::Range::TuneData).blocks()) {
        for (int w = b.firstWord; w < b.firstWord + b.count; ++w)
            QCOMPARE(radio.memoryWord(w), image.ReadImageWord(w));
    }
}

QTEST_MAIN(TstSoak)
#include "tst_soak.moc"
