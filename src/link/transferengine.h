#pragma once

#include "blockplan.h"
#include "portopen.h"
#include "radioimage.h"
#include "replywindow.h"
#include "requestframe.h"
#include "transferkind.h"
#include "transfertimings.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class QSerialPort;
class QTimer;

// How a transfer ended.
enum class TransferEnd {
    Succeeded,
    Cancelled,  // the user gave up at the Retry/Cancel question, or cancel() was called
    PortFailed, // the port could not be opened; nothing was sent
};

// Runs one read or write transfer of the radio image over a serial port, block by block, without
// any widget. One request is out at a time; its window is every byte that arrives until the
// block is decided.
//
// The contract of the line. Real cables echo, pad and add noise, and a radio may answer late or
// twice; a reply is refused only on evidence that it is not the answer:
// 1. Bytes before the first 0x06 are shown in the debug list and not counted. An exact echo of
//    the request just sent is skipped, even when the request's bytes hold 0x06.
// 2. Bytes after a complete reply are shown and left behind: the next request's window starts
//    afresh. In the same window they put the block in doubt (a trailer, noise), and the block is
//    asked again: a second answer that agrees settles it, so a radio that always appends the
//    same byte costs one extra request per block, never a failure.
//    On a line that runs at 115200 baud, bytes that arrive before the radio could have heard
//    the next request are the tail of the last window, and that block is asked once more.
// 3. Evidence that two answers are on the line: a second complete reply in the window, a 0x06
//    in the bytes before a complete reply that ends the window, or, on a line that runs at
//    115200 baud, an answer that began before its request was off the wire. Such a window
//    offers two readings (the reply counted and the reply that ends it); the block is asked
//    again until two windows offer the same reading, and only one. A line that keeps talking
//    offers none.
// 4. An answer that comes far later (or sooner) than this radio's confirmed answers is judged
//    only once the line has stayed silent for a reply time-out: an unasked reply of the right
//    length looks like this, and the real answer behind it then shows as a second reply, the
//    last block included. A machine that was merely busy costs that wait; only while an earlier
//    request has had no answer is the block also asked again, as in 2, since that request's
//    late answer may have come in place of this one's.
//    Whatever puts a window in doubt also has the block before asked once more, if that one was
//    taken on one answer.
//    A radio answers in order: a reply equal to that of a block taken while some of its
//    requests were unanswered is a late copy as long as such copies can still come, and is
//    evidence as well.
// 5. A window with no complete reply within the reply time-out (silence counted from the send
//    or the last counted byte; noise does not hold it open) fails the block, which is sent
//    again as itself once the line has been quiet (quietMs, at most one reply time-out).
//    Ten repeats, then the Retry/Cancel question; Retry sends the same block again. Only when
//    the port had to be opened again (the device went away) does Retry start from the first
//    block, putting back the words read so far: another radio may be behind it.
// 6. A write whose acknowledgement is in doubt is written again; nothing is ever read back. An
//    acknowledgement is in doubt, too, while an earlier request of the last few reply time-outs
//    has had none: it may be that one's, late.
// 7. Cancel keeps every block taken so far, in the image (a read) and in the radio (a write),
//    except a read block in doubt that was not yet asked again: its words go back.
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

    // Opens the port of COM number comPortNumber (115200,N,8,1) and sends the first request. On
    // failure nothing is sent and the reason returned; finished() follows from the event loop.
    PortOpenResult start(int comPortNumber, TransferKind kind);

    // Answers to retryQuestion(); ignored at any other time.
    void retry();
    // Also abandons a running transfer.
    void cancel();

    // The owner is going away: close the port, stop the timer; no signal is emitted afterwards and
    // the image is not touched again. The image keeps the blocks already read.
    void stop();

    bool succeeded() const { return m_succeeded; }
    TransferEnd end() const { return m_end; }
    // Between start() and finished().
    bool isRunning() const { return alive(); }
    bool isPortOpen() const;

signals:
    void debugLine(const QString &line);
    // After each block taken: the progress fraction, capped at 1.
    void progress(double fraction);
    void retryQuestion();
    void finished(bool success);

private:
    // The fuzz target drives reception, port errors and the timer itself, without a port.
    friend struct TransferEngineDriver;

    enum class State {
        Idle,
        Quieting,  // nothing is sent until the line has been silent a while
        Awaiting,  // the request is out, its window is being read
        Settling,  // a reply is complete; the line must stay silent a little before it is judged
        Asking,    // the Retry/Cancel question is up
        Finishing, // finished() is due
        Finished,
        Stopped,
    };

    // A block taken on one answer, until the next block's window shows no evidence against it.
    struct Taken
    {
        BlockPlan::Block block;
        QByteArray reply;
        bool single = false;
        // Its request and window, with the bytes that turned up early in the next window.
        QByteArray request;
        QByteArray window;
    };

    void begin(int comPortNumber, TransferKind kind);
    void connectPort();
    void disconnectAll();
    void closePort();
    void loseDevice();
    bool deviceGone() const;

    void enterBlock(const BlockPlan::Block &block);
    void quietThenSend(qint64 quietUs);
    void armGuard(qint64 us);
    void armTimeout();
    void sendRequest();
    void onReadyRead();
    void onPortError(int error);
    void onTimer();
    void onGuardElapsed();
    void onReplyTimeout();
    void takeBytes(const QByteArray &data);
    void judgeWindow();
    bool settleFirst() const;
    qint64 settleUs() const;
    // The radio's time to answer this request: from when it could have heard it to the ack.
    qint64 answerNs() const;
    // The median of the confirmed answer times.
    qint64 usualAnswerNs() const;
    void onListenTick();
    bool answerIsEarly() const;
    bool answerIsOdd() const;
    // Read so late that it would be odd, but after a gap in the ticks: it may have come in time.
    bool answerMayBeOdd() const;
    // A radio that keeps talking after its reply is not waited out past this.
    qint64 settleLimitNs() const;
    void noteLineKind();
    void noteAnswerTime();
    bool isLateCopy(QByteArrayView reading);
    static bool isAllAcks(QByteArrayView reply);
    void takeReply(QByteArrayView reply, bool single);
    void goOn(const BlockPlan::Step &step);
    // Asks a block taken on one answer once more, then goes on with resume.
    void recheck(const Taken &block, const BlockPlan::Step &resume);
    void failBlock();
    bool debugWanted() const;
    void showWindow();
    void showNoise();
    void dropDoubted();
    void finishSoon(TransferEnd end);
    bool alive() const
    {
        return m_state != State::Idle && m_state != State::Finished && m_state != State::Stopped;
    }

    RadioImage &m_image;
    TransferTimings m_timings;
    QSerialPort *m_port = nullptr;
    QTimer *m_timer = nullptr;
    // Ticks while a request waits for its answer, to tell when this thread was listening: the
    // moment bytes are read is not the moment they came when the thread was busy elsewhere.
    QTimer *m_listen = nullptr;
    qint64 m_lastTickNs = 0;  // since the send
    qint64 m_listenedNs = 0;  // since the send, the last tick of an unbroken run of them
    qint64 m_earliestAckNs = -1; // the earliest the acknowledgement can have come
    QElapsedTimer m_sinceSend;
    QElapsedTimer m_guardClock; // since the guard was armed or the line last spoke
    QElapsedTimer m_stateClock; // since the quiet wait began
    qint64 m_guardUs = 0;
    bool m_guardPassed = false;
    QList<QMetaObject::Connection> m_connections;

    State m_state = State::Idle;
    TransferEnd m_end = TransferEnd::Cancelled;
    int m_comPortNumber = 1;
    QString m_device; // what the port was last opened as
    RequestOperation m_operation = RequestOperation::Read;
    BlockPlan m_plan;
    BlockPlan::Block m_block;
    QByteArray m_request; // the frame now out, its buffer reused for the next
    ReplyWindow m_window;
    QByteArray m_noise; // bytes that arrived while no request was out
    qint64 m_requestWireNs = 0;
    qint64 m_ackNs = -1;      // since the send, of the arrival that brought the acknowledgement
    qint64 m_countedNs = 0;   // since the send, of the latest arrival that added counted bytes
    bool m_oddAnswer = false; // the reply being settled came at an odd time
    bool m_unsureAnswer = false; // it was read late, after a gap in the ticks
    bool m_settleCut = false; // the line never fell silent after it
    bool m_allAcks = false;   // it is nothing but acknowledgements

    RadioImage m_before; // the image as the transfer found it
    bool m_tookAny = false;
    int m_retryCount = 0;
    // This block's answers so far, when one was in doubt: the readings each window offered.
    QList<QByteArray> m_seen;
    bool m_inDoubt = false;
    Taken m_previous;
    bool m_previousIndicted = false;
    // Asking a block once more; then the transfer goes on with m_resume.
    bool m_rechecking = false;
    BlockPlan::Step m_resume;
    // When the requests that no reply has been seen for were sent, oldest first.
    QList<qint64> m_owed;
    QElapsedTimer m_transferClock;
    // Requests sent and replies seen in this block's windows.
    int m_blockRequests = 0;
    int m_blockAnswers = 0;
    // Replies of blocks taken while some of their requests had no answer yet, and how many late
    // copies of each can still come.
    struct LateCopies
    {
        BlockPlan::Block block;
        QByteArray reply;
        int left = 0;
    };
    static constexpr int MaxLateCopies = 8;
    QList<LateCopies> m_lateCopies;
    // The radio's latest confirmed answer times, and what kind of line this is.
    QList<qint64> m_samples;
    int m_wireVotes = 0;
    bool m_wireTimed = false;
    bool m_succeeded = false;
};
