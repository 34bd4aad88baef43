// rq73-align-bench: how many tries the search needs on a noisy linear response, and where the time
// of one alignment step goes on the simulated radio and instrument (unpaced).

#include "alignrun.h"
#include "alignsearch.h"
#include "demoimage.h"
#include "instrument.h"
#include "linkalignradio.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "simulatedmeter.h"
#include "simulatedradio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int SearchRuns = 5000;
constexpr int ComPort = 1;
constexpr int StepRuns = 3;

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// Random straight lines of either sign over the frequency adjustment's range, the target
// somewhere inside, noise uniform within ±1 % of the reading's span over the range, limits at
// ±3 % of that span.
void searchFigures()
{
    QRandomGenerator random(73);
    QList<int> counts;
    int passed = 0;
    for (int run = 0; run < SearchRuns; ++run) {
        AlignSearch::Range range;
        range.low = -300;
        range.high = 300;
        range.start = random.bounded(-300, 301);
        const double slope = (random.generateDouble() * 4.5 + 0.5) * (random.bounded(2) ? 1 : -1);
        const double best = random.bounded(-250, 251);
        const double span = std::abs(slope) * (range.high - range.low);
        range.target = 0;
        range.limitLow = -0.03 * span;
        range.limitHigh = 0.03 * span;
        range.maxTries = 12;
        QList<AlignSearch::Try> tries;
        for (;;) {
            const AlignSearch::Decision d = AlignSearch::next(range, tries);
            if (d.stop)
                break;
            const double noise = (random.generateDouble() * 2 - 1) * 0.01 * span;
            tries.append({d.next, slope * (d.next - best) + noise});
        }
        counts.append(int(tries.size()));
        passed += AlignSearch::withinLimits(range,
                                            tries.at(AlignSearch::bestTry(range, tries)).reading);
    }
    std::sort(counts.begin(), counts.end());
    QList<int> histogram(13);
    for (const int c : counts)
        ++histogram[c];
    out() << "search, noisy linear response (" << SearchRuns << " steps):\n"
          << "  tries per step: median " << counts.at(counts.size() / 2) << ", 90th percentile "
          << counts.at(counts.size() * 9 / 10) << ", max " << counts.last() << '\n'
          << "  steps passed: " << passed << " of " << SearchRuns << '\n'
          << "  distribution:";
    for (int i = 1; i < histogram.size(); ++i) {
        if (histogram.at(i))
            out() << ' ' << i << ":" << histogram.at(i);
    }
    out() << Qt::endl;
}

// Measures each frame the run sends, from the request to the moment it left the port.
class TimedRadio : public AlignRadio
{
public:
    explicit TimedRadio(AlignRadio &inner)
        : m_inner(inner)
    {}
    void readWholeRadio(Done done) override { m_inner.readWholeRadio(std::move(done)); }
    std::int32_t word(int address) const override { return m_inner.word(address); }
    void setWordLive(int address, std::int32_t value, int txSeconds, Done done) override
    {
        m_clock.start();
        m_inner.setWordLive(address, value, txSeconds, [this, done](const Outcome &o) {
            frameNs += m_clock.nsecsElapsed();
            ++frames;
            lastFrameDone.start();
            done(o);
        });
    }
    void writeTuneData(bool whole, Done done) override
    {
        m_inner.writeTuneData(whole, std::move(done));
    }
    void cancel() override { m_inner.cancel(); }

    qint64 frameNs = 0;
    int frames = 0;
    QElapsedTimer lastFrameDone;

private:
    AlignRadio &m_inner;
    QElapsedTimer m_clock;
};

void stepFigures()
{
    SimulatedRadio radio;
    radio.memory() = demoImage();
    radio.registerAsComPort(ComPort);
    SimulatedMeter meter(radio);
    meter.listen();

    AlignProcedure procedure;
    procedure.name = QStringLiteral("bench");
    AlignStep step;
    step.value = {QStringLiteral("freq-adjust"), 0, -300, 300, true};
    step.measure = QStringLiteral("MEAS:FERR?");
    step.target = 0;
    step.low = -50;
    step.high = 50;
    step.txSeconds = 3;
    procedure.steps = {step};

    for (int run = 0; run < StepRuns; ++run) {
        radio.setMemoryWord(0, 200 - 150 * run);
        RadioImage image;
        LinkAlignRadio link(image, ComPort);
        TimedRadio timed(link);
        std::unique_ptr<Instrument> instrument = Instrument::create(
            *Instrument::parseAddress(QStringLiteral("tcp:127.0.0.1:%1").arg(meter.port())));
        QEventLoop opened;
        QObject::connect(instrument.get(), &Instrument::opened, &opened, &QEventLoop::quit);
        instrument->open();
        opened.exec();

        qint64 replyNs = 0;
        QObject::connect(instrument.get(), &Instrument::replied, instrument.get(),
                         [&](const Instrument::Reading &) {
                             replyNs += timed.lastFrameDone.nsecsElapsed()
                                        - qint64(step.settleMs) * 1000000;
                         });
        AlignRun alignRun(procedure, timed, *instrument, {false});
        QElapsedTimer stepClock;
        qint64 stepNs = 0;
        QObject::connect(&alignRun, &AlignRun::stepChanged, &alignRun, [&](int) {
            const AlignStepResult &s = alignRun.result().steps.first();
            if (s.outcome == AlignStepResult::Outcome::Running && !stepClock.isValid())
                stepClock.start();
            else if (s.outcome != AlignStepResult::Outcome::Running)
                stepNs = stepClock.nsecsElapsed();
        });
        QEventLoop done;
        QObject::connect(&alignRun, &AlignRun::finished, &done, &QEventLoop::quit);
        alignRun.start();
        done.exec();

        const int tries = int(alignRun.result().steps.first().tries.size());
        const double settleMs = tries * step.settleMs;
        const double replyMs = replyNs / 1e6;
        const double stepMs = stepNs / 1e6;
        const double frameMs = timed.frameNs / 1e6;
        out() << "step on the simulated pair, run " << run + 1 << ": " << tries << " tries, "
              << timed.frames << " frames, step " << QString::number(stepMs, 'f', 1)
              << " ms; settle " << settleMs << " ms + instrument replies "
              << QString::number(replyMs, 'f', 2) << " ms; ratio "
              << QString::number(stepMs / (settleMs + replyMs), 'f', 3) << "; frames "
              << QString::number(frameMs, 'f', 2) << " ms; the rest "
              << QString::number(stepMs - settleMs - replyMs - frameMs, 'f', 2) << " ms"
              << Qt::endl;
        instrument->close();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    searchFigures();
    stepFigures();
    return 0;
}
