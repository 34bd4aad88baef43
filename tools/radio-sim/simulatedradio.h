#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QSocketNotifier;

// A radio on the far end of a pseudo-terminal, for tests, the benchmark and manual runs. It keeps
// its own 2048-byte memory, answers read and write requests, records live tune frames and can
// pace its replies at 115200 baud or misbehave on purpose. It runs in the caller's event loop.
class SimulatedRadio : public QObject
{
    Q_OBJECT
public:
    static constexpr int MemorySize = 2048;
    static constexpr int BaudRate = 115200;
    static constexpr int BitsPerByte = 10; // start, 8 data, stop
    static constexpr quint8 Ack = 0x06;
    static constexpr quint8 Nak = 0x15;
    // Bytes sent after a reply by Fault::Trailing: more than the tool's reply buffer holds.
    static constexpr int TrailingBytes = 600;
    // The tool's reply time-out the radio's pauses are measured against; setReplyTimeoutMs()
    // scales every pause with it, so a test with short time-outs sees the same story faster.
    static constexpr int DefaultReplyTimeoutMs = 1000;
    // Pauses in thousandths of the reply time-out.
    static constexpr int SplitPausePerMille = 150;  // between the pieces of a Split reply
    static constexpr int BabblePerMille = 100;      // between Babble bytes: each restarts it
    static constexpr int LatePerMille = 1300;       // Late: just over the time-out
    static constexpr int VeryLatePerMille = 2300;   // VeryLate: over twice the time-out
    static constexpr int VanishDelayPerMille = 50;  // from Vanish's partial reply to the end
    static constexpr int ReturnPerMille = 1000;     // Replaced: from vanishing to coming back
    static constexpr int StaleAfterPerMille = 1000; // Stale: the tool has given up by then
    // Stale and Unasked: when the stray reply comes, and how long the real one waits behind it.
    static constexpr qint64 StrayLeadNs = 5'000'000;
    static constexpr qint64 StrayGapNs = 10'000'000;

    enum class Fault {
        None,
        Silent,        // no answer; a write is not stored
        Refuse,        // 0x15 instead of 0x06, then the data; a write is not stored
        JunkBeforeAck, // 0xFF 0x00, then the normal reply
        Split,         // the reply in three pieces with pauses well below the tool's time-out
        CutShort,      // 0x06 and half of the data, then nothing; a write gets no answer at all
        Trailing,      // the normal reply followed by TrailingBytes further bytes
        Vanish,        // part of a read reply, then the pseudo-terminal disappears; no write stored
        Babble,        // no answer, but a junk byte every so often until the next request
        Late,          // the normal reply, but only after a bit more than the reply time-out
        VeryLate,      // the normal reply, after more than twice the reply time-out
        Duplicate,     // the normal reply, sent twice
        AckStorm,      // 0x06 at line speed instead of a reply, until the next request
        // No answer in time (a write is stored only when answered): the answer comes StrayLeadNs
        // after the first later request for another block whose reply has the same length and
        // which comes after the tool has given up (one reply time-out); that request's own
        // answer follows StrayGapNs after it.
        Stale,
        // The normal reply, then StrayLeadNs after it a reply nobody asked for, as long as the
        // reply to the block the tool asks for next: this request's words (a write: 0x06).
        Unasked,
        // Like Vanish, and the radio comes back after ReturnPerMille as another radio: the other
        // memory, on the same device number when it is free.
        Replaced,
    };

    // What the cable and the radio do around every reply, whatever the fault of the request.
    enum class Line {
        Clean,
        Echo,        // a one-wire cable: every request comes back as the radio hears it
        Trailer,     // every reply ends with a carriage return
        LateNoise,   // a few bytes of noise LateNoiseNs after every reply
        Junk,        // 0xFF 0x00 before every reply
        JunkWithAck, // three bytes before every reply, the middle one 0x06, the last the
                     // request's number
    };
    static constexpr qint64 LateNoiseNs = 20'000'000;

    struct Request
    {
        int operation = 0; // 4 read, 5 write
        int firstWord = 0;
        int count = 0;
        QByteArray data;  // the words of a write
        QByteArray frame; // every byte of the request
    };

    struct LiveFrame
    {
        int command = 0;
        int wordAddress = 0;
        QList<qint32> words;
        int transmitSeconds = 0; // 0 when the command does not key the transmitter
        QByteArray frame;
    };

    explicit SimulatedRadio(QObject *parent = nullptr);
    ~SimulatedRadio() override;

    // The pseudo-terminal is created by the constructor and by reappear().
    bool isOpen() const;
    // The device the tool opens; empty while the radio has vanished.
    QString devicePath() const;
    QString errorString() const;

    // Writes "Ports/COMn" = devicePath() into the tool's settings, so COM number n reaches this
    // radio. vanish() withdraws the entry and reappear() writes it again with the new device;
    // unregisterComPort() and the destructor remove it, unless it names another device by then.
    bool registerAsComPort(int comPortNumber);
    void unregisterComPort();
    int registeredComPort() const;

    QByteArray &memory();
    const QByteArray &memory() const;
    qint32 memoryWord(int w) const;
    void setMemoryWord(int w, qint32 value);

    void setReplyTimeoutMs(int ms);
    int replyTimeoutMs() const { return m_replyTimeoutMs; }
    // A pause of perMille thousandths of the reply time-out.
    qint64 pauseNs(int perMille) const;

    // Paced replies take as long as at 115200 baud: the request's wire time, then one byte every
    // 86.8 microseconds.
    void setPaced(bool paced);
    bool isPaced() const;
    // A slow radio: every reply starts this much later (after the request's wire time if paced).
    void setAnswerDelayUs(qint64 us);
    qint64 answerDelayUs() const { return m_answerDelayNs / 1000; }
    // The memory the radio has after Fault::Replaced; by default every byte of the present one
    // inverted.
    void setOtherMemory(const QByteArray &memory);

    // Decides the fault of each read or write request; requestIndex counts them from 0 (the index
    // into requests()). Without a plan every request is answered normally.
    using FaultPlan = std::function<Fault(int requestIndex)>;
    void setFaultPlan(FaultPlan plan);
    void setLine(Line line) { m_line = line; }
    Line line() const { return m_line; }
    static Line lineFromName(const QString &name, bool *ok = nullptr);
    static QString lineName(Line line);
    static Fault faultFromName(const QString &name, bool *ok = nullptr);
    static QString faultName(Fault fault);

    const QByteArray &receivedBytes() const;
    qint64 sentByteCount() const;
    // Every byte the radio has put on the line, in order.
    const QByteArray &sentBytes() const { return m_sentBytes; }
    const QList<Request> &requests() const;
    const QList<LiveFrame> &liveFrames() const;
    void clearRecords();
    // Takes what the tool has written and not yet been read, now rather than at the next turn of
    // the event loop: an instrument beside the radio sees a frame the moment it is on the line.
    void takeWaitingInput() { onMasterReadable(); }

    // The cable is pulled: the pseudo-terminal is closed entirely, pending replies are dropped.
    void vanish();
    // The cable is plugged back in: a new pseudo-terminal, registered under the same COM number.
    // sameDevice: a few terminals are tried for the device number the radio had.
    bool reappear(bool sameDevice = false);

signals:
    void requestReceived(int index);
    void liveFrameReceived(int index);
    void vanished();
    void reappeared(const QString &devicePath);

private:
    struct Outgoing
    {
        qint64 startNs = 0;
        qint64 nsPerByte = 0; // 0: all at once
        QByteArray bytes;
        qsizetype sent = 0;
        bool vanishAfter = false;
        bool dropOnRequest = false; // babble stops when the tool sends again
    };

    bool openTerminal();
    void closeTerminal();
    void onMasterReadable();
    void parse();
    void handleRequest(const QByteArray &frame);
    void handleLiveFrame(const QByteArray &frame);
    void storeWrite(const Request &request);
    // Sends a Stale answer now due before the reply to request, if any; returns when its end is.
    qint64 releaseStale(const Request &request, qint64 now);
    void comeBackReplaced();
    QByteArray readReply(int firstWord, int count) const;
    // The reply as the line brings it: with what comes before and after it.
    QByteArray dressed(const QByteArray &reply, int requestIndex) const;
    // pacing: nanoseconds per byte; -1 for the radio's own pacing.
    void schedule(qint64 startNs, const QByteArray &bytes, bool vanishAfter = false,
                  bool dropOnRequest = false, qint64 pacing = -1);
    void pump();
    void armPump(qint64 now, bool terminalFull);
    qint64 nextDueNs() const;
    qint64 nsPerByte() const;
    void withdrawComPort();

    int m_masterFd = -1;
    int m_heldSlaveFd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QString m_devicePath;
    QString m_errorString;
    int m_comPortNumber = 0;
    QString m_registeredPath; // what the settings entry was last set to
    int m_replyTimeoutMs = DefaultReplyTimeoutMs;

    QByteArray m_memory;
    bool m_paced = false;
    qint64 m_answerDelayNs = 0;
    FaultPlan m_faultPlan;
    Line m_line = Line::Clean;
    QByteArray m_otherMemory;
    QString m_lastDevicePath;

    struct Held
    {
        Request request;
        qint64 receivedNs = 0;
    };
    QList<Held> m_stale;

    QByteArray m_pending;
    QByteArray m_received;
    qint64 m_sent = 0;
    QByteArray m_sentBytes;
    QList<Request> m_requests;
    QList<LiveFrame> m_liveFrames;

    QElapsedTimer m_clock;
    QTimer m_pumpTimer;
    QList<Outgoing> m_queue;
    QList<QPair<qint64, QByteArray>> m_noise; // when, in the clock's time, and what
    qint64 m_queueEndNs = 0;
};
