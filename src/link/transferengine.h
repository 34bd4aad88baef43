#pragma once

#include "blockplan.h"
#include "portopen.h"
#include "replyreceiver.h"
#include "requestframe.h"
#include "transferkind.h"
#include "transfertimings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QSerialPort;
class QTimer;
class RadioImage;

// Runs one read or write transfer of the radio image over a serial port, block by block, without
// any widget: the transfer window is its view and answers the Retry/Cancel question.
//
// A block is taken only when its reply came after its own request, was exactly as long as asked
// for, and the line then stayed silent for the hand-over time. Anything else (no reply, a reply
// cut short, bytes beyond the reply, bytes waiting before the request) fails the block, and the
// repeat goes out only once the line has been quiet, so a late or doubled reply can never be taken
// for the answer to another request.
//
// A slot may call stop(), retry() or cancel() from inside any of the signals; the engine does no
// further work in the handler that emitted it.
class TransferEngine : public QObject
{
    Q_OBJECT
public:
    // Failed blocks repeated before the question is asked.
    static constexpr int MaxRepeats = 10;

    explicit TransferEngine(RadioImage &image, QObject *parent = nullptr);
    ~TransferEngine() override;

    // Takes effect at the next start().
    void setTimings(const TransferTimings &timings) { m_timings = timings; }
    const TransferTimings &timings() const { return m_timings; }

    // Opens the port of COM number comPortNumber (115200,N,8,1) and sends the first request once
    // the line is quiet. On failure nothing is sent, the engine is finished without success and
    // the reason returned; finished(false) follows from the event loop, as after a cancel.
    PortOpenResult start(int comPortNumber, TransferKind kind);

    // Answers to retryQuestion(); ignored at any other time. Retry opens the port again if the
    // device went away, under the device the COM number names now: the user has just put the
    // cable back. Cancel may also be used to abandon a running transfer.
    void retry();
    void cancel();

    // The window is going away: close the port, stop the timer; no signal is emitted afterwards and
    // the image is not touched again. The image keeps the blocks already read.
    void stop();

    bool succeeded() const { return m_succeeded; }
    // Between start() and finished().
    bool isRunning() const { return alive(); }
    bool isPortOpen() const;

signals:
    void debugLine(const QString &line);
    // After each accepted block: the progress fraction, capped at 1.
    void progress(double fraction);
    void retryQuestion();
    void finished(bool success);

private:
    // The fuzz target drives reception, port errors and the timer itself, without a port.
    friend struct TransferEngineDriver;

    enum class State { Idle, Running, Finished, Stopped };
    enum class Phase {
        Quieting,    // waiting for a silent line before the request goes out
        Awaiting,    // the request is out, its reply is being counted
        HandingOver, // the reply is complete; the line must stay silent a little longer
        Asking,      // the Retry/Cancel question is up
        Finishing,   // finished() is due
    };

    // Everything start() does before it opens the port.
    void begin(int comPortNumber, TransferKind kind);
    void connectPort();
    void disconnectAll();
    void closePort();
    void loseDevice();
    bool deviceGone() const;

    void waitForQuiet(qint64 quietUs);
    void armGuard(qint64 us);
    void armTimeout();
    void sendRequest();
    void onReadyRead();
    void onPortError(int error);
    void onTimer();
    void onGuardElapsed();
    void onReplyTimeout();
    void takeBytes(const QByteArray &data);
    bool extraIsHarmless() const;
    bool copiesFit() const;
    void armHandOver();
    void acceptBlock();
    // line is taken by value: it is often the receiver's own line, which this restarts.
    void failBlock(QString line);
    void finishSoon();
    bool alive() const { return m_state == State::Running; }

    RadioImage &m_image;
    TransferTimings m_timings;
    QSerialPort *m_port = nullptr;
    QTimer *m_timer = nullptr;
    QElapsedTimer m_sinceSend;
    QElapsedTimer m_guardClock; // since the guard was armed or the line last spoke
    QElapsedTimer m_phaseClock; // since the current phase began
    qint64 m_guardUs = 0;
    bool m_guardPassed = false;
    QList<QMetaObject::Connection> m_connections;

    State m_state = State::Idle;
    Phase m_phase = Phase::Quieting;
    int m_comPortNumber = 1;
    QString m_device;          // what the port was last opened as
    bool m_deviceLost = false; // went away during this transfer; only Retry reopens
    RequestOperation m_operation = RequestOperation::Read;
    BlockPlan m_plan;
    BlockPlan::Block m_block;
    ReplyReceiver m_reply;
    QString m_noise; // bytes that arrived while the line should have been quiet

    int m_retryCount = 0;
    bool m_blockFailed = false; // the current block has failed at least once
    int m_blockTries = 0;       // requests sent for the current block
    bool m_succeeded = false;
    // The line was still talking when the request went out: a radio may talk until it hears a
    // request (a stream of acknowledgements), and its talk cannot be told from an answer, so no
    // answer to that request is taken.
    bool m_talkedOver = false;
    bool m_replyUntrusted = false;
};
