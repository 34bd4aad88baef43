// rq73-bench: how close a full read and a full write come to the time their bytes need on the
// wire at 115200 baud, what each block costs on top when the radio answers at once, what a reply
// that puts the blocks taken in doubt costs, and how long the COM port dialog's probe of COM1 to
// COM99 takes.

#include "blockplan.h"
#include "portopen.h"
#include "portprobe.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "transferengine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int ComPort = 1;
constexpr int Runs = 7;
constexpr int GiveUpMs = 60000;

struct Run
{
    bool ok = false;
    double seconds = 0.0;
    qint64 bytes = 0;
    int requests = 0;
};

// busyMs: the thread is kept busy this long after every block, as a window that redraws slowly
// would keep it; the radio's answer waits meanwhile, as a real radio's would in the buffer.
Run fullTransfer(SimulatedRadio &radio, TransferKind kind, int busyMs = 0)
{
    RadioImage image;
    const bool isRead = isReadTransfer(kind);
    if (!isRead) {
        for (int w = 0; w < RadioImage::WordCount; ++w)
            image.WriteImageWord(w, qint32(0x01020304u * quint32(w + 1)));
    }
    TransferEngine engine(image);
    radio.clearRecords();

    QEventLoop loop;
    bool success = false;
    QObject::connect(&engine, &TransferEngine::finished, &loop, [&](bool ok) {
        success = ok;
        loop.quit();
    });
    QObject::connect(&engine, &TransferEngine::retryQuestion, &loop, [&] { engine.cancel(); });
    if (busyMs > 0) {
        QObject::connect(&engine, &TransferEngine::debugLine, &loop, [busyMs](const QString &line) {
            if (line.startsWith(QStringLiteral("TX")))
                QThread::msleep(static_cast<unsigned long>(busyMs));
        });
    }
    QTimer::singleShot(GiveUpMs, &loop, &QEventLoop::quit);

    QElapsedTimer clock;
    clock.start();
    if (!engine.start(ComPort, kind).ok())
        return {};
    loop.exec();
    const qint64 ns = clock.nsecsElapsed();

    Run run;
    run.ok = success;
    for (const BlockPlan::Block &block : BlockPlan(kind).blocks()) {
        for (int w = block.firstWord; w < block.firstWord + block.count; ++w)
            run.ok = run.ok && image.ReadImageWord(w) == radio.memoryWord(w);
    }
    run.requests = int(radio.requests().size());
    run.seconds = ns / 1e9;
    run.bytes = radio.receivedBytes().size() + radio.sentByteCount();
    return run;
}

// The probe as the dialog did it before: one settings lookup and one open attempt per number.
int probeEveryNumber()
{
    QSerialPort port;
    int listed = 0;
    for (int n = 1; n <= PortMap::HighestPort; ++n) {
        if (openSerialPort(port, n).ok()) {
            port.close();
            ++listed;
        }
    }
    return listed;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    // The radio's COM entry goes to a throw-away settings store, never the user's.
    QTemporaryDir settingsDir;
    SettingsStore::useFolder(settingsDir.path());

    SimulatedRadio radio;
    if (!radio.isOpen()) {
        out << "no pseudo-terminal: " << radio.errorString() << Qt::endl;
        return 1;
    }
    for (int i = 0; i < SimulatedRadio::MemorySize; ++i)
        radio.memory()[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    radio.registerAsComPort(ComPort);

    const int blocks = static_cast<int>(BlockPlan(BlockPlan::Range::Full).blocks().size());
    out << "full transfers, " << blocks << " blocks, " << Runs << " runs each (median)" << Qt::endl;

    // One row per case: the transfer, paced or not, and the fault of the sixth request, if any.
    struct Case
    {
        const char *name;
        TransferKind kind;
        bool paced;
        SimulatedRadio::Fault fault;
        SimulatedRadio::Line line = SimulatedRadio::Line::Clean;
        int busyMs = 0;
    };
    using F = SimulatedRadio::Fault;
    using L = SimulatedRadio::Line;
    const Case cases[] = {
        {"read, paced at 115200 baud", TransferKind::FullRead, true, F::None},
        {"write, paced at 115200 baud", TransferKind::FullWrite, true, F::None},
        {"read, unpaced", TransferKind::FullRead, false, F::None},
        // Two replies in one window: that block is asked again until two windows agree.
        {"read, paced, a reply doubled at block 6", TransferKind::FullRead, true, F::Duplicate},
        {"write, paced, a reply doubled at block 6", TransferKind::FullWrite, true, F::Duplicate},
        // What real cables do around every reply.
        {"read, paced, echoing cable", TransferKind::FullRead, true, F::None, L::Echo},
        {"write, paced, echoing cable", TransferKind::FullWrite, true, F::None, L::Echo},
        {"read, paced, carriage return after every reply", TransferKind::FullRead, true, F::None,
         L::Trailer},
        {"read, paced, 0xFF 0x00 before every reply", TransferKind::FullRead, true, F::None,
         L::Junk},
        // A slow window: the answer is read late, but came in time.
        {"read, paced, the window busy 30 ms after every request", TransferKind::FullRead, true,
         F::None, L::Clean, 30},
        {"read, unpaced, the window busy 30 ms after every request", TransferKind::FullRead,
         false, F::None, L::Clean, 30},
    };
    for (const Case &c : cases) {
        radio.setPaced(c.paced);
        radio.setLine(c.line);
        radio.setFaultPlan([&c](int i) { return i == 5 ? c.fault : SimulatedRadio::Fault::None; });
        QList<double> times;
        Run run;
        for (int i = 0; i < Runs; ++i) {
            run = fullTransfer(radio, c.kind, c.busyMs);
            if (!run.ok) {
                out << c.name << ": transfer failed" << Qt::endl;
                return 1;
            }
            times.append(run.seconds);
        }
        const double elapsed = median(times);
        // The time the bytes this transfer moved need at 115200 baud.
        const double floor
            = run.bytes * double(SimulatedRadio::BitsPerByte) / SimulatedRadio::BaudRate;
        out << Qt::fixed << qSetRealNumberPrecision(4) << c.name << ": elapsed " << elapsed
            << " s, " << run.requests << " requests, bytes " << run.bytes;
        if (c.paced) {
            out << ", wire floor " << floor << " s, ratio " << qSetRealNumberPrecision(3)
                << elapsed / floor << Qt::endl;
        } else {
            out << ", per block " << qSetRealNumberPrecision(2) << elapsed * 1000.0 / blocks
                << " ms" << Qt::endl;
        }
    }
    radio.setFaultPlan({});
    radio.setLine(SimulatedRadio::Line::Clean);

    QList<double> before, after;
    int listedBefore = 0, listedAfter = 0;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        listedBefore = probeEveryNumber();
        before.append(clock.nsecsElapsed() / 1e6);
        clock.restart();
        listedAfter = static_cast<int>(PortProbe::run().ports.size());
        after.append(clock.nsecsElapsed() / 1e6);
    }
    out << qSetRealNumberPrecision(2) << "COM port probe of COM1-COM99: " << median(after)
        << " ms (" << listedAfter << " listed); opening every number as before: " << median(before)
        << " ms (" << listedBefore << " listed)" << Qt::endl;
    return 0;
}
