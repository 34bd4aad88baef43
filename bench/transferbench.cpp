// rq73-bench: how close a full read comes to the time the bytes need on the wire at 115200 baud,
// what each block costs on top when the radio answers at once, and how long the COM port
// dialog's probe of COM1 to COM99 takes.

#include "blockplan.h"
#include "settingsstore.h"
#include "portopen.h"
#include "portprobe.h"
#include "radioimage.h"
#include "simulatedradio.h"
#include "transferengine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
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
};

Run fullRead(SimulatedRadio &radio)
{
    RadioImage image;
    TransferEngine engine(image);
    radio.clearRecords();

    QEventLoop loop;
    bool success = false;
    QObject::connect(&engine, &TransferEngine::finished, &loop, [&](bool ok) {
        success = ok;
        loop.quit();
    });
    QObject::connect(&engine, &TransferEngine::retryQuestion, &loop, [&] { engine.cancel(); });
    QTimer::singleShot(GiveUpMs, &loop, &QEventLoop::quit);

    QElapsedTimer clock;
    clock.start();
    if (!engine.start(ComPort, TransferKind::FullRead).ok())
        return {};
    loop.exec();
    const qint64 ns = clock.nsecsElapsed();

    Run run;
    run.ok = success;
    for (const BlockPlan::Block &block : BlockPlan(BlockPlan::Range::Full).blocks()) {
        for (int w = block.firstWord; w < block.firstWord + block.count; ++w)
            run.ok = run.ok && image.ReadImageWord(w) == radio.memoryWord(w);
    }
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
    out << "full read, " << blocks << " blocks, " << Runs << " runs each (median)" << Qt::endl;

    for (const bool paced : {true, false}) {
        radio.setPaced(paced);
        QList<double> times;
        qint64 bytes = 0;
        for (int i = 0; i < Runs; ++i) {
            const Run run = fullRead(radio);
            if (!run.ok) {
                out << (paced ? "paced" : "unpaced") << ": transfer failed" << Qt::endl;
                return 1;
            }
            times.append(run.seconds);
            bytes = run.bytes;
        }
        const double elapsed = median(times);
        const double floor = bytes * double(SimulatedRadio::BitsPerByte) / SimulatedRadio::BaudRate;
        out << Qt::fixed << qSetRealNumberPrecision(4);
        if (paced) {
            out << "paced at 115200 baud: elapsed " << elapsed << " s, bytes " << bytes
                << ", wire floor " << floor << " s, ratio " << qSetRealNumberPrecision(3)
                << elapsed / floor << Qt::endl;
        } else {
            out << "unpaced: elapsed " << elapsed << " s, bytes " << bytes << ", per block "
                << qSetRealNumberPrecision(2) << elapsed * 1000.0 / blocks << " ms" << Qt::endl;
        }
    }

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
