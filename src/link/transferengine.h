#pragma once

#include "blockplan.h"
#include "portopen.h"
#include "radioimage.h"
#include "replyreceiver.h"
#include "requestframe.h"
#include "transferkind.h"
#include "transfertimings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QSerialPort;
class QTimer;

// Runs one read or write transfer of the radio image over a serial port, block by block, without
// any widget: the transfer window is its view and answers the Retry/Cancel question.
//
// A transfer reports success only if every word it took is the radio's answer to the request for
// that word, from the radio the transfer started with. No timing rule alone can promise that (a
// radio may answer a request long after the longest wait, or say something nobody asked for at
// just the length of the next reply), so the engine acts on evidence:
// - While the line has behaved, a reply of exactly the expected length is taken on one answer and
//   stays open to doubt. On a line that runs at 115200 baud it is taken at once and the next
//   request follows: a byte after the reply would arrive before the radio could have heard that
//   request, which gives it away. On a line that answers faster than that (a pseudo-terminal),
//   and after a write's one-byte answer, which shows nothing of the line, the line must first
//   stay silent for the stray quiet time: a byte nobody asked for that follows the reply within
//   it fails the block instead of passing for the answer to a request the radio missed.
// - Anything else is evidence that the line is out of step: no reply, a refused, short or
//   overlong one, bytes before a request, bytes after the last reply. Then every block taken on
//   one answer is doubted: its words go back to what the image held before (a read), the transfer
//   resumes from the first of them, and from then on a block counts only when it is proved: two
//   answers to two requests for it agree byte for byte (a read), or a read-back of the block
//   returns exactly the image's words (a write). A late answer to an earlier request or an
//   unasked reply can only pass if another wrong answer repeats it exactly.
// - The last block is taken only once the line has stayed quiet past twice the longest answer
//   time seen, so that the real answer to a request cannot arrive after success was reported.
// - A Retry after the question starts the transfer again from its first block: the cable may
//   have been moved to another radio, and a read restores every word it had taken.
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

    // Answers to retryQuestion(); ignored at any other time. Retry starts again from the first
    // block, and opens the port again if the device went away, under the device the COM number
    // names now: the user has just put the cable back. Cancel may also be used to abandon a
    // running transfer.
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
    // After each block taken: the progress fraction, capped at 1. It goes back when blocks are
    // doubted and taken again, or when a Retry starts the transfer again.
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
    bool isLastBlock() const;
    // From the reply just completed: does the line run at 115200 baud.
    void noteLineKind();
    // How long the line must stay silent after the reply just taken before the next request.
    qint64 strayQuietLeftUs() const;
    // The earliest a reply can begin after the send on a line that runs at 115200 baud.
    qint64 earliestAnswerNs() const;
    void acceptBlock();
    void takeBlock();
    bool readBackMatches() const;
    // Evidence that the line is out of step: every block taken on one answer is doubted.
    void doubtUnproved();
    void restoreWords(const BlockPlan::Block &block);
    void restart();
    void enterBlock(const BlockPlan::Block &block);
    // What the debug list shows of the failed block: the bytes that came, or that none did.
    enum class FailShows { Reply, NoData };
    void failBlock(FailShows shows = FailShows::Reply);
    bool debugWanted() const;
    void showReply(); // the reply's debug line, and a new one begins
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
    QByteArray m_request; // the frame now out, its buffer reused for the next
    QByteArray m_noise; // bytes that arrived while the line should have been quiet

    RadioImage m_before;         // the image as the transfer found it
    bool m_imageTouched = false; // a block has been read into it since
    int m_retryCount = 0;
    int m_blockTries = 0; // requests sent for the current block
    // The line has shown evidence of being out of step: every block must be proved.
    bool m_careful = false;
    // A request has failed: the next answer is taken only once every earlier answer due within
    // the longest wait has come.
    bool m_mustDrain = false;
    QList<BlockPlan::Block> m_unproved; // taken on one answer since the transfer (re)started
    QByteArray m_candidate;             // a first answer to the current block, awaiting a second
    bool m_readingBack = false;         // a write's block is acknowledged; its read-back is out
    qint64 m_firstByteNs = -1;          // since the send, of the reply being counted
    qint64 m_requestWireNs = 0;         // the request's own time on the wire
    qint64 m_longestAnswerNs = 0;       // first byte after the request was out, over the transfer
    qint64 m_shortestAnswerNs = 0;      // the same, of the blocks taken on one answer
    int m_answerSamples = 0;            // how many of those
    qint64 m_lastByteNs = 0;            // since the send, of the latest arrival
    bool m_lineWireTimed = false;       // the last answer came as a 115200 baud line brings it
    bool m_succeeded = false;
    // The line was still talking when the request went out: a radio may talk until it hears a
    // request (a stream of acknowledgements), and its talk cannot be told from an answer, so no
    // answer to that request is taken.
    bool m_talkedOver = false;
    bool m_replyUntrusted = false;
};
