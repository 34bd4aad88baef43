// rq73-bench-squelch: how long the squelch tune window takes to open over a full image, from the
// click to its first painted frame, and how much memory it holds while open.
//
// Run it under the platform the figures are meant for, e.g. QT_QPA_PLATFORM=offscreen or an X
// server.

#include "appstate.h"
#include "settingsstore.h"
#include "formtunesq.h"
#include "mdiformmain.h"
#include "translations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(Q_OS_LINUX)
#include <QFile>
#include <unistd.h>
#endif

namespace {

constexpr int DefaultRuns = 21;

// Bytes the allocator has handed out and not had back; -1 where it cannot say.
qint64 heapInUse()
{
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return static_cast<qint64>(info.uordblks + info.hblkhd);
#else
    return -1;
#endif
}

qint64 residentBytes()
{
#if defined(Q_OS_LINUX)
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
#else
    return -1;
#endif
}

void fillImage(RadioImage &image)
{
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, (w * 7919) % 65000 - (w % 13 == 0 ? 70000 : 0));
}

struct Open
{
    double ms = 0.0;
    qint64 heap = 0;
    qint64 resident = 0;
};

Open openOnce(MDIFormMain &window)
{
    QCoreApplication::processEvents();
    const qint64 heapBefore = heapInUse();
    const qint64 residentBefore = residentBytes();

    QElapsedTimer clock;
    clock.start();
    window.openFormTuneSq();
    FormTuneSq *form = window.formTuneSq();
    // The first frame on screen: layout and paint of the whole sub-window.
    form->parentWidget()->repaint();
    QCoreApplication::processEvents();
    Open result;
    result.ms = clock.nsecsElapsed() / 1e6;
    result.heap = heapBefore < 0 ? -1 : heapInUse() - heapBefore;
    result.resident = residentBefore < 0 ? -1 : residentBytes() - residentBefore;

    form->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return result;
}

QString kib(qint64 bytes)
{
    return bytes < 0 ? QStringLiteral("n/a") : QString::number(bytes / 1024.0, 'f', 1) + " KiB";
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    // rq73-bench-squelch [runs]: more runs show whether memory creeps from one open to the next.
    const int Runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : DefaultRuns;

    QTemporaryDir settingsDir;
    SettingsStore::useFolder(settingsDir.path());

    AppState state;
    Translations translations;
    MDIFormMain window(state, translations);
    window.resize(1280, 800);
    window.show();
    fillImage(state.image);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    const qint64 heapStart = heapInUse();
    const Open first = openOnce(window);
    QList<double> times;
    QList<qint64> heaps;
    for (int i = 0; i < Runs; ++i) {
        const Open run = openOnce(window);
        times << run.ms;
        heaps << run.heap;
    }
    const qint64 heapEnd = heapInUse();
    std::sort(times.begin(), times.end());
    std::sort(heaps.begin(), heaps.end());

    out << "platform: " << QGuiApplication::platformName() << "\n";
    out << "open FormTuneSq over a full image (construct, fill 152 boxes, lay out, first paint)\n";
    out << "  first open:  " << QString::number(first.ms, 'f', 1) << " ms, heap " << kib(first.heap)
        << ", resident " << kib(first.resident) << "\n";
    out << "  later opens: median " << QString::number(times.at(times.size() / 2), 'f', 1)
        << " ms, fastest " << QString::number(times.first(), 'f', 1) << " ms, slowest "
        << QString::number(times.last(), 'f', 1) << " ms (" << Runs << " runs)\n";
    out << "  heap held while open: median " << kib(heaps.at(heaps.size() / 2)) << "\n";
    out << "  heap after " << Runs + 1 << " open/close cycles: " << kib(heapEnd - heapStart)
        << " more than before\n";
    out << "  goal: 50 ms; median/goal "
        << QString::number(times.at(times.size() / 2) / 50.0, 'f', 2) << "\n";
    return 0;
}
