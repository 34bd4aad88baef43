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
    // Pause between the pieces of a reply under Fault::Split.
    static constexpr int SplitPauseMs = 150;
    // Well below the tool's time-out, so every byte restarts it.
    static constexpr int BabbleIntervalMs = 100;

    enum class Fault {
        None,
        Silent,        // no answer; a write is not stored
        Refuse,        // 0x15 instead of 0x06, then the data; a write is not stored
        JunkBeforeAck, // 0xFF 0x00, then the normal reply
        Split,         // the reply in three pieces with pauses well below the tool's time-out
        CutShort,      // 0x06 and half of the data, then nothing; a write gets no answer at all
        Trailing,      // the normal reply followed by TrailingBytes further bytes
        Vanish,        // part of a read reply, then the pseudo-terminal disappears; no write stored
        Babble,        // no answer, but a junk byte every BabbleIntervalMs until the next request
    };

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
    // radio; reappear() keeps the entry up to date. unregisterComPort() removes it.
    bool registerAsComPort(int comPortNumber);
    void unregisterComPort();
    int registeredComPort() const;

    QByteArray &memory();
    const QByteArray &memory() const;
    qint32 memoryWord(int w) const;
    void setMemoryWord(int w, qint32 value);

    // Paced replies take as long as at 115200 baud: the request's wire time, then one byte every
    // 86.8 microseconds.
    void setPaced(bool paced);
    bool isPaced() const;

    // Decides the fault of each read or write request; requestIndex counts them from 0 (the index
    // into requests()). Without a plan every request is answered normally.
    using FaultPlan = std::function<Fault(int requestIndex)>;
    void setFaultPlan(FaultPlan plan);
    static Fault faultFromName(const QString &name, bool *ok = nullptr);
    static QString faultName(Fault fault);

    const QByteArray &receivedBytes() const;
    qint64 sentByteCount() const;
    const QList<Request> &requests() const;
    const QList<LiveFrame> &liveFrames() const;
    void clearRecords();

    // The cable is pulled: the pseudo-terminal is closed entirely, pending replies are dropped.
    void vanish();
    // The cable is plugged back in: a new pseudo-terminal, registered under the same COM number.
    bool reappear();

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
    QByteArray readReply(int firstWord, int count) const;
    void schedule(qint64 startNs, const QByteArray &bytes, bool vanishAfter = false,
                  bool dropOnRequest = false);
    void pump();
    qint64 nsPerByte() const;

    int m_masterFd = -1;
    int m_heldSlaveFd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QString m_devicePath;
    QString m_errorString;
    int m_comPortNumber = 0;

    QByteArray m_memory;
    bool m_paced = false;
    FaultPlan m_faultPlan;

    QByteArray m_pending;
    QByteArray m_received;
    qint64 m_sent = 0;
    QList<Request> m_requests;
    QList<LiveFrame> m_liveFrames;

    QElapsedTimer m_clock;
    QTimer m_pumpTimer;
    QList<Outgoing> m_queue;
    qint64 m_queueEndNs = 0;
};
