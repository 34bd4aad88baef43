// The transfer engine without a port: the input is a script of arriving bytes, time-outs, port
// errors and the user's answers, in any order. Whatever comes, the engine never touches a word
// outside the blocks it took, never changes the image on a write, finishes at most once, is silent
// afterwards, and succeeds only with every block taken.
#include "blockplan.h"
#include "radioimage.h"
#include "transferengine.h"
#include "transferkind.h"

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

// No settings entry and no conventional device: a Retry that reopens the port finds nothing.
constexpr int NoDevice = 98;

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
        e.waitForQuiet(e.m_timings.handOverUs);
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
    // What a well-behaved radio would answer to the request now out.
    static QByteArray correctReply(const TransferEngine &e)
    {
        QByteArray reply(1, char(0x06));
        if (e.m_operation == RequestOperation::Read) {
            for (int i = 0; i < e.m_block.count; ++i) {
                for (std::uint8_t b : RadioImage::WordToBytes(radioWord(e.m_block.firstWord + i)))
                    reply += char(b);
            }
        }
        return reply;
    }
};

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir settings;
    check(settings.isValid());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
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
    const TransferKind kind = Kinds[setup % Kinds.size()];
    // Every wait either over at once or never within a run: the outcome depends on the script
    // alone, not on how fast the machine runs it.
    TransferTimings timings;
    timings.replyTimeoutMs = (setup & 0x08) ? 1000000 : 0;
    timings.maxReplyWaitMs = (setup & 0x10) ? 1000000 : 0;
    timings.handOverUs = 0;
    timings.quietMs = 0;

    static const RadioImage before = [] {
        RadioImage marked;
        for (int w = 0; w < RadioImage::WordCount; ++w)
            marked.WriteImageWord(w, -1 - w);
        return marked;
    }();
    RadioImage image = before;
    const QList<BlockPlan::Block> blocks
        = BlockPlan(kind).blocks();

    TransferEngine engine(image);
    engine.setTimings(timings);
    int accepted = 0, finishedCount = 0, questions = 0;
    bool stopped = false, success = false;
    double lastFraction = 0.0;
    QObject::connect(&engine, &TransferEngine::progress, [&](double fraction) {
        check(finishedCount == 0 && !stopped);
        check(fraction > lastFraction && fraction <= 1.0);
        lastFraction = fraction;
        ++accepted;
    });
    QObject::connect(&engine, &TransferEngine::finished, [&](bool ok) {
        check(finishedCount == 0 && !stopped);
        ++finishedCount;
        success = ok;
    });
    QObject::connect(&engine, &TransferEngine::retryQuestion, [&] {
        check(finishedCount == 0 && !stopped);
        ++questions;
    });
    QObject::connect(&engine, &TransferEngine::debugLine,
                     [&](const QString &) { check(finishedCount == 0 && !stopped); });

    TransferEngineDriver::begin(engine, kind);

    while (at < size) {
        switch (next() % 8) {
        case 0: {
            const int n = next();
            const std::size_t take = std::min<std::size_t>(std::size_t(n), size - at);
            TransferEngineDriver::arrive(
                engine, QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(take)));
            at += take;
            break;
        }
        case 1:
            TransferEngineDriver::fireTimer(engine);
            break;
        case 2:
            TransferEngineDriver::arrive(engine, TransferEngineDriver::correctReply(engine));
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
            stopped = true;
            break;
        case 7:
            // Time passes: every step the timer has armed, up to a limit.
            for (int i = 0; i < 16 && TransferEngineDriver::timerDue(engine); ++i)
                TransferEngineDriver::fireTimer(engine);
            break;
        }

        check(finishedCount <= 1);
        check(accepted <= blocks.size());
        check(!success || accepted == blocks.size());
        check(engine.isRunning() == (finishedCount == 0 && !stopped));
    }
    // Whatever is left to do, the engine finishes or was stopped.
    for (int i = 0; i < 64 && TransferEngineDriver::timerDue(engine); ++i)
        TransferEngineDriver::fireTimer(engine);

    // Only words of taken blocks may have changed, and only on a read.
    RadioImage expected = before;
    if (isReadTransfer(kind)) {
        for (int b = 0; b < accepted; ++b) {
            for (int w = blocks[b].firstWord; w < blocks[b].firstWord + blocks[b].count; ++w)
                expected.WriteImageWord(w, image.ReadImageWord(w));
        }
    }
    check(image == expected);
    check(!success || accepted == blocks.size());
    check(!engine.isPortOpen());
    (void)questions;
    return 0;
}
