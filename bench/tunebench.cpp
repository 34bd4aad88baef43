// rq73-tune-bench: how quickly a committed change of the tune data window reaches the radio, how
// long the window takes to open on a full image, and what the program's start-up costs against a
// bare MDI frame.

#include "appstate.h"
#include "demoimage.h"
#include "formtune.h"
#include "imagesession.h"
#include "livetunesender.h"
#include "mdiformmain.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "translations.h"
#include "tunevaluerow.h"
#include "tunewindowhost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int ComPort = 1;
constexpr int Changes = 600;
constexpr int OpenRuns = 15;
constexpr int StartRuns = 15;
constexpr int GiveUpMs = 5000;

class BenchHost : public TuneWindowHost
{
public:
    void childLoaded(TuneChildWindow &) override {}
    void childUnloaded(TuneChildWindow &) override {}
    void childActivated(TuneChildWindow &) override {}
    void recordChildWindowState(int) override {}
    bool runTransfer(TransferKind, bool) override { return false; }
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double worst(const QList<double> &values)
{
    return *std::max_element(values.begin(), values.end());
}

// Waits in the event loop until done() holds; false after GiveUpMs.
template<typename Done> bool waitFor(Done done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > GiveUpMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// Each change is one up or down step of a row, committed the moment the previous frame has
// arrived; the time runs from the commit to the radio's record of the frame's last byte.
bool liveFrames(SimulatedRadio &radio, bool paced, QList<double> &ms)
{
    radio.setPaced(paced);
    radio.clearRecords();
    AppState state;
    state.ComPortNumber = ComPort;
    state.image.assign(demoImage());
    BenchHost host;
    ImageSession session(state);
    FormTune form(session, host);
    form.AnalyseTuneData();
    const char *names[] = {"freq-adjust", "am.mid.high.power", "volume.pa", "mic.usb"};

    QElapsedTimer clock;
    qint64 committedAt = 0;
    qint64 arrivedAt = 0;
    QObject::connect(&radio, &SimulatedRadio::liveFrameReceived, &form,
                     [&](int) { arrivedAt = clock.nsecsElapsed(); });
    clock.start();
    for (int i = 0; i < Changes; ++i) {
        TuneValueRow *row = form.row(QString::fromLatin1(names[i % 4]));
        const int before = static_cast<int>(radio.liveFrames().size());
        committedAt = clock.nsecsElapsed();
        if ((i / 4) % 2 == 0)
            row->stepUp();
        else
            row->stepDown();
        if (!waitFor([&] { return radio.liveFrames().size() > before; }))
            return false;
        ms.append((arrivedAt - committedAt) / 1e6);
        if (!waitFor([&] { return !form.liveSender().isBusy(); }))
            return false;
    }
    return radio.receivedBytes().size() == qsizetype(12) * Changes;
}

// From nothing to a painted window.
double openFormTune(AppState &state)
{
    BenchHost host;
    ImageSession session(state);
    QElapsedTimer clock;
    clock.start();
    auto form = std::make_unique<FormTune>(session, host);
    form->resize(1100, 680);
    form->show();
    form->AnalyseTuneData();
    form->grab();
    const double ms = clock.nsecsElapsed() / 1e6;
    form.reset();
    QCoreApplication::processEvents();
    return ms;
}

// A tab's rows are built when it is first shown: the first switch to each pays for them.
double firstTabSwitch(AppState &state)
{
    BenchHost host;
    ImageSession session(state);
    auto form = std::make_unique<FormTune>(session, host);
    form->resize(1100, 680);
    form->show();
    form->AnalyseTuneData();
    form->grab();
    auto *tabs = form->findChild<QTabBar *>(QStringLiteral("TabStrip1"));
    QElapsedTimer clock;
    clock.start();
    tabs->setCurrentIndex(1);
    form->grab();
    const double ms = clock.nsecsElapsed() / 1e6;
    form.reset();
    QCoreApplication::processEvents();
    return ms;
}

double startProgram()
{
    AppState state;
    Translations translations;
    QElapsedTimer clock;
    clock.start();
    auto frame = std::make_unique<MDIFormMain>(state, translations);
    frame->resize(1280, 800);
    frame->show();
    QCoreApplication::processEvents();
    frame->grab();
    const double ms = clock.nsecsElapsed() / 1e6;
    frame->close();
    frame.reset();
    QCoreApplication::processEvents();
    return ms;
}

double startBareFrame()
{
    QElapsedTimer clock;
    clock.start();
    auto frame = std::make_unique<QMainWindow>();
    frame->setCentralWidget(new QMdiArea);
    frame->resize(1280, 800);
    frame->show();
    QCoreApplication::processEvents();
    frame->grab();
    const double ms = clock.nsecsElapsed() / 1e6;
    frame.reset();
    QCoreApplication::processEvents();
    return ms;
}

// A whole process, as a user starts it: it says when its frame is painted and leaves at once,
// so the parent's clock covers launch, libraries, fonts, construction and the first paint only.
int runChild(const QString &what)
{
    AppState state;
    Translations translations;
    std::unique_ptr<QMainWindow> frame;
    BenchHost host;
    ImageSession session(state);
    if (what == QStringLiteral("program")) {
        frame = std::make_unique<MDIFormMain>(state, translations);
    } else {
        frame = std::make_unique<QMainWindow>();
        auto *area = new QMdiArea;
        frame->setCentralWidget(area);
        // The window alone in a bare frame: its own share of the program's start-up.
        if (what == QStringLiteral("window"))
            area->addSubWindow(new FormTune(session, host))->showMaximized();
        // Any text at all: the font system starts, which the bare frame never does.
        if (what == QStringLiteral("text"))
            area->addSubWindow(new QLabel(QStringLiteral("AM选项 Tune Data")))->showMaximized();
    }
    frame->resize(1280, 800);
    frame->show();
    QCoreApplication::processEvents();
    frame->grab();
    std::fputs("painted\n", stdout);
    std::fflush(stdout);
    std::_Exit(0);
}

double startProcess(const QString &what)
{
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), what});
    QByteArray said;
    while (!said.contains("painted")) {
        if (!child.waitForReadyRead(GiveUpMs))
            return -1.0;
        said += child.readAllStandardOutput();
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    child.waitForFinished(GiveUpMs);
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QStringLiteral("--child"))
        return runChild(args.at(2));
    out << Qt::fixed << qSetRealNumberPrecision(3);

    QTemporaryDir settingsDir;
    SettingsStore::useFolder(settingsDir.path());

    SimulatedRadio radio;
    if (!radio.isOpen()) {
        out << "no pseudo-terminal: " << radio.errorString() << Qt::endl;
        return 1;
    }
    radio.registerAsComPort(ComPort);

    const double wireMs = 12.0 * SimulatedRadio::BitsPerByte * 1000.0 / SimulatedRadio::BaudRate;
    out << "live frame, committed change to last byte at the radio, " << Changes
        << " changes (the line itself takes " << wireMs << " ms for 12 bytes at 115200 baud)"
        << Qt::endl;
    for (const bool paced : {false, true}) {
        QList<double> ms;
        if (!liveFrames(radio, paced, ms)) {
            out << (paced ? "paced" : "unpaced") << ": frames went missing" << Qt::endl;
            return 1;
        }
        out << (paced ? "  radio paced:   " : "  radio unpaced: ") << "median " << median(ms)
            << " ms, worst " << worst(ms) << " ms" << Qt::endl;
    }

    AppState state;
    state.image.assign(demoImage());
    openFormTune(state); // first run pays for fonts and styles
    QList<double> open;
    for (int i = 0; i < OpenRuns; ++i)
        open.append(openFormTune(state));
    out << "open FormTune on a full image, painted: median " << median(open) << " ms, worst "
        << worst(open) << " ms (" << OpenRuns << " runs)" << Qt::endl;
    QList<double> tabSwitch;
    for (int i = 0; i < OpenRuns; ++i)
        tabSwitch.append(firstTabSwitch(state));
    out << "  first switch to another tab, its rows built and painted: median " << median(tabSwitch)
        << " ms, worst " << worst(tabSwitch) << " ms" << Qt::endl;

    startProgram();
    startBareFrame();
    QList<double> program, bare;
    for (int i = 0; i < StartRuns; ++i) {
        program.append(startProgram());
        bare.append(startBareFrame());
    }
    const double p = median(program);
    const double b = median(bare);
    out << "start-up to a painted frame: with FormTune " << p << " ms, bare QMainWindow+QMdiArea "
        << b << " ms, ratio " << qSetRealNumberPrecision(2) << p / b << " (" << StartRuns
        << " runs, medians, in one process)" << Qt::endl;

    QList<double> programProcess, bareProcess, windowProcess, textProcess;
    for (int i = 0; i < StartRuns; ++i) {
        programProcess.append(startProcess(QStringLiteral("program")));
        bareProcess.append(startProcess(QStringLiteral("bare")));
        windowProcess.append(startProcess(QStringLiteral("window")));
        textProcess.append(startProcess(QStringLiteral("text")));
    }
    if (median(programProcess) < 0 || median(bareProcess) < 0) {
        out << "a start-up process failed" << Qt::endl;
        return 1;
    }
    const double pp = median(programProcess);
    const double bp = median(bareProcess);
    out << qSetRealNumberPrecision(1) << "start-up as a process, launch to painted frame, "
        << "with FormTune " << pp << " ms, bare " << bp << " ms, ratio "
        << qSetRealNumberPrecision(2) << pp / bp << " (" << StartRuns << " runs, medians)"
        << Qt::endl;
    const double wp = median(windowProcess);
    const double tp = median(textProcess);
    out << qSetRealNumberPrecision(1) << "  bare frame holding only FormTune " << wp
        << " ms, ratio " << qSetRealNumberPrecision(2) << wp / bp << Qt::endl;
    out << qSetRealNumberPrecision(1) << "  bare frame holding one label with Chinese text " << tp
        << " ms; the program against it: ratio " << qSetRealNumberPrecision(2) << pp / tp
        << Qt::endl;
    return 0;
}
