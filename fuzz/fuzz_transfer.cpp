// The transfer engine without a port: the input is a script of arriving bytes, time-outs, port
// errors and the user's answers, in any order. Whatever comes, the engine never touches a word
// outside the blocks it took, never changes the image on a write, finishes at most once, is silent
// afterwards, and succeeds only with every block taken.
#include "blockplan.h"
#include "radioimage.h"
#include "transferengine.h"
#include "transferkind.h"

#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QCoreApplication>
#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

// A COM number that names no device at all: a Retry that reopens the port finds nothing, and
// finds it without reading the settings, which would cost more than the rest of an input.
constexpr int NoDevice = 0;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The radio's memory as the "correct reply" steps answer from it.
std::int32_t radioWord(int w)
{
    return static_cast<std::int32_t>(0x5A000000u + static_cast<std::uint32_t>(w) * 0x10101u);
}

} // namespace

// Reaches into the engine the way its port and timer would.
struct TransferEngineDriver
{
    static void begin(TransferEngine &e, TransferKind kind)
    {
        e.begin(NoDevice, kind);
        e.quietThenSend(e.m_timings.handOverUs);
    }
    static void arrive(TransferEngine &e, const QByteArray &bytes)
    {
        // As onReadyRead: only a running engine reads.
        if (e.alive() && !bytes.isEmpty())
            e.takeBytes(bytes);
    }
    static bool timerDue(TransferEngine &e) { return e.m_timer->isActive(); }
    static void fireTimer(TransferEngine &e)
    {
        // A single-shot timer fires only when armed, and only once.
        if (!e.m_timer->isActive())
            return;
        e.m_timer->stop();
        e.onTimer();
    }
    static void portError(TransferEngine &e, int error) { e.onPortError(error); }
    // The input is over. Whatever it left allocated (an armed timer, the buffers of a reply, the
    // blocks in doubt) would outlive it, which the fuzzer takes for a leak and runs the input a
    // second time to find; so every input ends holding the same: nothing.
    static void release(TransferEngine &e)
    {
        e.m_timer->stop();
        e.m_window = ReplyWindow();
        e.m_noise = QByteArray();
        e.m_request = QByteArray();
        e.m_seen = QList<QByteArray>();
        e.m_previous = {};
        e.m_lateCopies = {};
        e.m_samples = QList<qint64>();
        // A stopped engine dropped its connections, and the next start would make them again.
        e.connectPort();
    }
    // What a well-behaved radio would answer to the request now out, built in a buffer kept
    // from one reply to the next.
    static const QByteArray &correctReply(const TransferEngine &e, QByteArray &reply)
    {
        reply.resize(0);
        reply.append(char(0x06));
        if (e.m_operation == RequestOperation::Read) {
            for (int i = 0; i < e.m_block.count; ++i) {
                const RadioImage::WordBytes bytes
                    = RadioImage::WordToBytes(radioWord(e.m_block.firstWord + i));
                reply.append(reinterpret_cast<const char *>(bytes.data()), 4);
            }
        }
        return reply;
    }
};

namespace {

// The blocks of one kind of transfer and the progress each reports when taken; the same for
// every input, so made once.
struct Plan
{
    QList<BlockPlan::Block> blocks;
    QList<double> blockFractions;
};

const Plan &planOf(std::size_t kindIndex, TransferKind kind)
{
    static std::array<Plan, 5> plans;
    Plan &plan = plans.at(kindIndex);
    if (plan.blocks.isEmpty()) {
        const BlockPlan blockPlan(kind);
        plan.blocks = blockPlan.blocks();
        for (const BlockPlan::Block &block : std::as_const(plan.blocks))
            plan.blockFractions.append(blockPlan.advance(block).fraction);
    }
    return plan;
}

// What one input saw of the engine's signals.
struct Seen
{
    static constexpr int MaxBlocks = 32;
    const Plan *plan = nullptr;
    std::array<bool, MaxBlocks> taken{}; // ever taken during this input
    int progressCount = 0, finishedCount = 0, questions = 0;
    bool stopped = false, success = false;
    double lastFraction = 0.0;
};

// One engine for the whole run, started afresh for every input: building a serial port, a timer
// and their connections for each input would cost far more than the input itself.
struct Rig
{
    RadioImage image;
    TransferEngine engine{image};
    Seen seen;
    QByteArray reply; // the well-behaved radio's, reused

    Rig()
    {
        QObject::connect(&engine, &TransferEngine::progress, [this](double fraction) {
            check(seen.finishedCount == 0 && !seen.stopped);
            check(fraction > 0.0 && fraction <= 1.0);
            const qsizetype b = seen.plan->blockFractions.indexOf(fraction);
            check(b >= 0);
            seen.taken.at(std::size_t(b)) = true;
            seen.lastFraction = fraction;
            ++seen.progressCount;
        });
        QObject::connect(&engine, &TransferEngine::finished, [this](bool ok) {
            check(seen.finishedCount == 0 && !seen.stopped);
            ++seen.finishedCount;
            seen.success = ok;
        });
        QObject::connect(&engine, &TransferEngine::retryQuestion, [this] {
            check(seen.finishedCount == 0 && !seen.stopped);
            ++seen.questions;
        });
    }

    // The engine formats its debug list only for a listener, as for the transfer window; without
    // one, as for the command line. Both ways are fuzzed; one input in four listens, since
    // formatting the lines is most of what listening costs and finds nothing the others miss.
    void listenToDebug(bool listen)
    {
        if (listen == bool(debugConnection))
            return;
        if (!listen) {
            QObject::disconnect(debugConnection);
            debugConnection = {};
            return;
        }
        debugConnection
            = QObject::connect(&engine, &TransferEngine::debugLine, [this](const QString &line) {
                  check(seen.finishedCount == 0 && !seen.stopped);
                  check(!line.isEmpty());
              });
    }
    QMetaObject::Connection debugConnection;
};

Rig *g_rig = nullptr;

// Time stands still: no timer fires by itself, the script fires the engine's one when it says
// time has passed. Registering a timer with a real event loop allocates and reads the clock,
// which cost a fifth of every input.
class StillTime : public QAbstractEventDispatcher
{
public:
    bool processEvents(QEventLoop::ProcessEventsFlags) override { return false; }
    void registerSocketNotifier(QSocketNotifier *) override {}
    void unregisterSocketNotifier(QSocketNotifier *) override {}
    void registerTimer(int, qint64, Qt::TimerType, QObject *) override {}
    bool unregisterTimer(int) override { return true; }
    bool unregisterTimers(QObject *) override { return true; }
    QList<TimerInfo> registeredTimers(QObject *) const override { return {}; }
    int remainingTime(int) override { return 0; }
    void wakeUp() override {}
    void interrupt() override {}
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    QCoreApplication::setEventDispatcher(new StillTime);
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir settings;
    check(settings.isValid());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    static Rig rig;
    g_rig = &rig;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };

    constexpr std::array Kinds
        = {TransferKind::FullRead, TransferKind::FullWrite, TransferKind::TuneDataWrite,
           TransferKind::SquelchRead, TransferKind::SquelchWrite};
    const std::uint8_t setup = next();
    const std::size_t kindIndex = setup % Kinds.size();
    const TransferKind kind = Kinds[kindIndex];
    // Every wait either over at once or never within a run: the outcome depends on the script
    // alone, not on how fast the machine runs it.
    TransferTimings timings;
    timings.replyTimeoutMs = (setup & 0x08) ? 1000000 : 0;
    timings.handOverUs = (setup & 0x10) ? 1000000000 : 0;
    timings.quietMs = 0;

    static const RadioImage before = [] {
        RadioImage marked;
        for (int w = 0; w < RadioImage::WordCount; ++w)
            marked.WriteImageWord(w, -1 - w);
        return marked;
    }();
    Rig &rig = *g_rig;
    rig.image = before;
    TransferEngine &engine = rig.engine;
    Seen &seen = rig.seen;
    seen = Seen();
    const Plan &plan = planOf(kindIndex, kind);
    check(plan.blocks.size() <= Seen::MaxBlocks);
    seen.plan = &plan;

    rig.listenToDebug((setup & 0x60) == 0x60);
    engine.setTimings(timings);
    TransferEngineDriver::begin(engine, kind);

    while (at < size) {
        switch (next() % 8) {
        case 0: {
            const int n = next();
            const std::size_t take = std::min<std::size_t>(std::size_t(n), size - at);
            // The engine reads the bytes at once and keeps no reference to them.
            TransferEngineDriver::arrive(engine,
                                         QByteArray::fromRawData(
                                             reinterpret_cast<const char *>(data + at),
                                             qsizetype(take)));
            at += take;
            break;
        }
        case 1:
            TransferEngineDriver::fireTimer(engine);
            break;
        case 2:
            TransferEngineDriver::arrive(engine,
                                         TransferEngineDriver::correctReply(engine, rig.reply));
            break;
        case 3:
            TransferEngineDriver::portError(engine, next() % 14);
            break;
        case 4:
            engine.retry();
            break;
        case 5:
            engine.cancel();
            break;
        case 6:
            engine.stop();
            seen.stopped = true;
            break;
        case 7:
            // Time passes: every step the timer has armed, up to a limit.
            for (int i = 0; i < 16 && TransferEngineDriver::timerDue(engine); ++i)
                TransferEngineDriver::fireTimer(engine);
            break;
        }

        check(seen.finishedCount <= 1);
        check(!seen.success || seen.lastFraction == 1.0);
        check(engine.isRunning() == (seen.finishedCount == 0 && !seen.stopped));
    }
    // Whatever is left to do, the engine finishes or was stopped.
    for (int i = 0; i < 64 && TransferEngineDriver::timerDue(engine); ++i)
        TransferEngineDriver::fireTimer(engine);

    // Only words of blocks taken at some point may have changed, and only on a read.
    RadioImage expected = before;
    if (isReadTransfer(kind)) {
        for (qsizetype b = 0; b < plan.blocks.size(); ++b) {
            const BlockPlan::Block &block = plan.blocks.at(b);
            const bool taken = seen.taken.at(std::size_t(b));
            for (int w = block.firstWord; taken && w < block.firstWord + block.count; ++w)
                expected.WriteImageWord(w, rig.image.ReadImageWord(w));
        }
    }
    check(rig.image == expected);
    // Success needs every block taken.
    for (qsizetype b = 0; seen.success && b < plan.blocks.size(); ++b)
        check(seen.taken.at(std::size_t(b)));
    check(!seen.success || seen.progressCount >= plan.blocks.size());
    check(!engine.isPortOpen());
    TransferEngineDriver::release(engine);
    rig.listenToDebug(false);
    return 0;
}
