#include "alignrun.h"

#include "alignsearch.h"

#include <QTimer>

namespace {

// The last word the tune data window's write moves; a value beyond it needs the whole region.
constexpr int LastTuneDataWord = 71;

AlignSearch::Range rangeOf(const AlignStepResult &s)
{
    AlignSearch::Range r;
    r.low = s.step.value.rangeLow;
    r.high = s.step.value.rangeHigh;
    r.start = s.oldValue;
    r.target = s.step.target;
    r.limitLow = s.step.low;
    r.limitHigh = s.step.high;
    r.maxTries = s.step.maxTries;
    return r;
}

QList<AlignSearch::Try> searchTries(const QList<AlignTry> &tries)
{
    QList<AlignSearch::Try> out;
    for (const AlignTry &t : tries)
        out.append({t.value, t.reading});
    return out;
}

QString number(double v)
{
    return QString::number(v, 'g', 6);
}

} // namespace

AlignRun::AlignRun(AlignProcedure procedure, AlignRadio &radio, Instrument &instrument,
                   Options options, QObject *parent)
    : QObject(parent)
    , m_procedure(std::move(procedure))
    , m_radio(radio)
    , m_instrument(instrument)
    , m_options(options)
    , m_settle(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setTimerType(Qt::PreciseTimer);
    connect(m_settle, &QTimer::timeout, this, &AlignRun::measure);
    m_result.procedureName = m_procedure.name;
    for (const AlignStep &step : std::as_const(m_procedure.steps)) {
        AlignStepResult s;
        s.step = step;
        m_result.steps.append(s);
    }
}

AlignRun::~AlignRun()
{
    if (m_running) {
        ++m_generation;
        m_radio.cancel();
    }
}

AlignRadio::Done AlignRun::guarded(std::function<void(const AlignRadio::Outcome &)> f)
{
    return [self = QPointer<AlignRun>(this), generation = m_generation,
            f = std::move(f)](const AlignRadio::Outcome &outcome) {
        if (self && self->m_generation == generation)
            f(outcome);
    };
}

void AlignRun::start()
{
    if (m_running)
        return;
    m_running = true;
    m_result.outcome = AlignRunResult::Outcome::Running;
    m_result.instrument = m_instrument.description();
    m_result.started = QDateTime::currentDateTime();
    emit message(tr("Reading the whole radio..."));
    m_radio.readWholeRadio(guarded([this](const AlignRadio::Outcome &o) {
        if (!o.ok) {
            finish(o.portFault ? AlignRunResult::Outcome::PortFault
                               : AlignRunResult::Outcome::NoAnswer,
                   o.why);
            return;
        }
        m_result.backupPath = o.detail;
        if (!o.detail.isEmpty())
            emit message(tr("Backup of the radio: %1").arg(o.detail));
        else if (!o.why.isEmpty())
            emit message(o.why);
        startStep(0);
    }));
}

void AlignRun::stop()
{
    if (!m_running)
        return;
    ++m_generation;
    m_settle->stop();
    disconnect(m_replyConnection);
    m_radio.cancel();
    if (m_stepIndex >= 0 && m_stepIndex < m_result.steps.size()) {
        AlignStepResult &s = current();
        if (s.outcome == AlignStepResult::Outcome::Running) {
            s.outcome = AlignStepResult::Outcome::Stopped;
            s.newValue = m_lastSent;
            s.why = tr("Stopped; the radio keeps the value last sent, %1.").arg(m_lastSent);
            emit stepChanged(m_stepIndex);
        }
    }
    finish(AlignRunResult::Outcome::Stopped, tr("The run was stopped."));
}

void AlignRun::startStep(int index)
{
    m_stepIndex = index;
    if (index >= m_result.steps.size()) {
        const bool allPassed
            = std::all_of(m_result.steps.cbegin(), m_result.steps.cend(), [](const auto &s) {
                  return s.outcome == AlignStepResult::Outcome::Passed;
              });
        if (!allPassed) {
            finish(AlignRunResult::Outcome::Outside,
                   tr("Some step ended outside its limits; nothing was written to the radio."));
        } else if (m_options.writeAtEnd) {
            writeBack();
        } else {
            finish(AlignRunResult::Outcome::Passed);
        }
        return;
    }
    AlignStepResult &s = current();
    s.outcome = AlignStepResult::Outcome::Running;
    s.oldValue = m_radio.word(s.step.value.word);
    s.newValue = s.oldValue;
    m_lastSent = s.oldValue;
    emit stepChanged(index);
    emit message(tr("Step %1: %2, now %3").arg(index + 1).arg(s.step.value.name).arg(s.oldValue));
    for (const QString &command : std::as_const(s.step.setup))
        m_instrument.send(command);
    tryValue(AlignSearch::next(rangeOf(s), {}).next);
}

void AlignRun::tryValue(std::int32_t value)
{
    AlignStepResult &s = current();
    m_radio.setWordLive(s.step.value.word, value, s.step.txSeconds,
                        guarded([this, value](const AlignRadio::Outcome &o) {
                            if (!o.ok) {
                                endStep(AlignStepResult::Outcome::RadioFault, o.why);
                                finish(AlignRunResult::Outcome::PortFault, o.why);
                                return;
                            }
                            m_lastSent = value;
                            m_settle->start(current().step.settleMs);
                        }));
}

void AlignRun::measure()
{
    disconnect(m_replyConnection);
    m_replyConnection = connect(&m_instrument, &Instrument::replied, this, &AlignRun::onReply);
    m_instrument.query(current().step.measure);
}

void AlignRun::onReply(const Instrument::Reading &reading)
{
    disconnect(m_replyConnection);
    AlignStepResult &s = current();
    if (!reading.ok()) {
        QString why = Instrument::faultText(reading.fault);
        if (!reading.detail.isEmpty())
            why += QStringLiteral(" (%1)").arg(reading.detail);
        emit message(tr("Step %1: %2").arg(m_stepIndex + 1).arg(why));
        // The radio goes back to where the step found it.
        sendFinal(s.oldValue, [this, why] {
            endStep(AlignStepResult::Outcome::InstrumentFault, why);
            finish(AlignRunResult::Outcome::InstrumentFault, why);
        });
        return;
    }

    s.tries.append({m_lastSent, *reading.value});
    if (s.tries.size() == 1 && m_lastSent == s.oldValue)
        s.oldReading = *reading.value;
    emit stepChanged(m_stepIndex);
    emit message(tr("Step %1: try %2, value %3, reading %4 %5")
                     .arg(m_stepIndex + 1)
                     .arg(s.tries.size())
                     .arg(m_lastSent)
                     .arg(number(*reading.value), s.step.unit));

    const AlignSearch::Range range = rangeOf(s);
    const QList<AlignSearch::Try> tries = searchTries(s.tries);
    const AlignSearch::Decision decision = AlignSearch::next(range, tries);
    if (!decision.stop) {
        tryValue(decision.next);
        return;
    }
    const AlignTry &best = s.tries.at(AlignSearch::bestTry(range, tries));
    if (AlignSearch::withinLimits(range, best.reading)) {
        s.newValue = best.value;
        s.newReading = best.reading;
        sendFinal(best.value, [this] {
            endStep(AlignStepResult::Outcome::Passed, QString());
            nextStep();
        });
        return;
    }
    s.newValue = s.oldValue;
    s.newReading = s.oldReading;
    const QString why
        = tr("No value brought the reading within %1 to %2 %3; the nearest was %4 "
             "at %5.")
              .arg(number(s.step.low), number(s.step.high), s.step.unit, number(best.reading))
              .arg(best.value);
    sendFinal(s.oldValue, [this, why] {
        endStep(AlignStepResult::Outcome::Outside, why);
        nextStep();
    });
}

void AlignRun::sendFinal(std::int32_t value, std::function<void()> then)
{
    if (value == m_lastSent) {
        then();
        return;
    }
    AlignStepResult &s = current();
    m_radio.setWordLive(s.step.value.word, value, s.step.txSeconds,
                        guarded([this, value, then](const AlignRadio::Outcome &o) {
                            if (!o.ok) {
                                endStep(AlignStepResult::Outcome::RadioFault, o.why);
                                finish(AlignRunResult::Outcome::PortFault, o.why);
                                return;
                            }
                            m_lastSent = value;
                            then();
                        }));
}

void AlignRun::endStep(AlignStepResult::Outcome outcome, const QString &why)
{
    AlignStepResult &s = current();
    s.outcome = outcome;
    s.why = why;
    if (outcome == AlignStepResult::Outcome::RadioFault)
        s.newValue = m_lastSent;
    emit stepChanged(m_stepIndex);
    emit message(tr("Step %1: %2, value %3")
                     .arg(m_stepIndex + 1)
                     .arg(AlignStepResult::outcomeText(outcome))
                     .arg(s.newValue));
}

void AlignRun::nextStep()
{
    // From the event loop, so that a long procedure does not nest every step in the last.
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        if (generation == m_generation && m_running)
            startStep(m_stepIndex + 1);
    });
}

void AlignRun::writeBack()
{
    const bool wholeRegion
        = std::any_of(m_result.steps.cbegin(), m_result.steps.cend(),
                      [](const auto &s) { return s.step.value.word > LastTuneDataWord; });
    emit message(tr("Writing the tune data to the radio..."));
    m_radio.writeTuneData(wholeRegion, guarded([this](const AlignRadio::Outcome &o) {
                              if (!o.ok) {
                                  finish(o.portFault ? AlignRunResult::Outcome::PortFault
                                                     : AlignRunResult::Outcome::NoAnswer,
                                         o.why);
                                  return;
                              }
                              m_result.written = true;
                              finish(AlignRunResult::Outcome::Passed);
                          }));
}

void AlignRun::finish(AlignRunResult::Outcome outcome, const QString &why)
{
    if (!m_running)
        return;
    m_running = false;
    ++m_generation;
    m_settle->stop();
    m_result.outcome = outcome;
    m_result.why = why;
    m_result.finished = QDateTime::currentDateTime();
    for (AlignStepResult &s : m_result.steps) {
        if (s.outcome == AlignStepResult::Outcome::Waiting)
            s.outcome = AlignStepResult::Outcome::Skipped;
    }
    if (!why.isEmpty())
        emit message(why);
    emit finished(outcome);
}
