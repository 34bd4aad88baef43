#pragma once

#include "alignradio.h"
#include "alignresult.h"
#include "instrument.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>

class QTimer;

// One alignment run: a full read of the radio, then each step of the procedure in order (setup,
// tries, the final value sent live), then, when every step passed, the tune data written back.
// The run owns neither the radio nor the instrument; the instrument must be open.
class AlignRun : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        bool writeAtEnd = true;
    };

    AlignRun(AlignProcedure procedure, AlignRadio &radio, Instrument &instrument, Options options,
             QObject *parent = nullptr);
    ~AlignRun() override;

    void start();
    // Ends the run at once: no frame goes out after it, the radio keeps what was last sent.
    void stop();

    bool isRunning() const { return m_running; }
    const AlignRunResult &result() const { return m_result; }

signals:
    // A step changed: started, tried a value, read a reading, finished.
    void stepChanged(int index);
    // A line of progress for a log, in the current language.
    void message(const QString &text);
    void finished(AlignRunResult::Outcome outcome);

private:
    void startStep(int index);
    void tryValue(std::int32_t value);
    void measure();
    void onReply(const Instrument::Reading &reading);
    void endStep(AlignStepResult::Outcome outcome, const QString &why);
    void sendFinal(std::int32_t value, std::function<void()> then);
    void nextStep();
    void writeBack();
    void finish(AlignRunResult::Outcome outcome, const QString &why = {});
    AlignRadio::Done guarded(std::function<void(const AlignRadio::Outcome &)> f);
    AlignStepResult &current() { return m_result.steps[m_stepIndex]; }

    AlignProcedure m_procedure;
    AlignRadio &m_radio;
    Instrument &m_instrument;
    Options m_options;
    AlignRunResult m_result;
    QTimer *m_settle;
    QMetaObject::Connection m_replyConnection;
    int m_stepIndex = -1;
    std::int32_t m_lastSent = 0;
    bool m_running = false;
    // Each callback belongs to the run generation it was made in; stop() makes them stale.
    int m_generation = 0;
};
