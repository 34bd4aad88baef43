#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMetaType>
#include <QObject>

#include <functional>

class QSerialPort;
class QTimer;

// What became of one live frame. Only Sent means the bytes left the machine.
enum class LiveFrameOutcome {
    Sent,
    PortMissing,  // no device for the COM number, or it went away
    PortInUse,    // another program holds the port
    PortRefused,  // no permission, or the system refused it for another reason
    NeverDrained, // the port took the bytes but never let them out within the drain limit
};

// The live link to the radio: it owns one port object, opens it for one frame, waits without
// blocking the event loop until the frame has left the machine, and closes it again. Nothing is
// read; what became of each frame is reported, so a frame that could not go is never silent.
//
// A change that comes while a frame is still draining is queued; a queued frame for the same
// words is replaced, and every frame is built only when it goes out, so the radio always ends
// with the image's latest value and no frame carries a stale one.
class LiveTuneSender : public QObject
{
    Q_OBJECT
public:
    // Builds the frame from the image at the moment it goes out.
    using FrameBuilder = std::function<QByteArray()>;

    // A port that never drains (a cable whose adapter hangs) is closed after this and its frame
    // given up.
    static constexpr int DefaultDrainLimitMs = 3000;

    explicit LiveTuneSender(QObject *parent = nullptr);
    ~LiveTuneSender() override;

    void setDrainLimitMs(int ms) { m_drainLimitMs = ms; }
    int drainLimitMs() const { return m_drainLimitMs; }

    // key names the words the frame carries (their first word address).
    void send(int comPortNumber, int key, FrameBuilder build);

    // True while a frame is going out, or waiting to.
    bool isBusy() const;
    // The bytes of the frame frameFinished() is about; empty when it was never built (its port
    // could not be opened).
    const QByteArray &finishedFrame() const { return m_frame; }

    // Lets the frames still waiting go out before something else needs the port (a transfer on
    // the same cable). User input is held back meanwhile; false when the port was still busy
    // after timeoutMs.
    bool waitUntilIdle(int timeoutMs);

signals:
    // Every queued frame has gone out or been given up; the port is closed.
    void idle();
    // One frame is finished, sent or not.
    void frameFinished(int key, LiveFrameOutcome outcome);

private:
    QByteArray m_frame;

    struct Pending
    {
        int comPortNumber = 0;
        int key = 0;
        FrameBuilder build;
    };

    void startNext();
    void checkDrained();
    void finishFrame(LiveFrameOutcome outcome);
    qint64 bytesInKernelQueue() const;

    QSerialPort *m_port;
    QTimer *m_drainTimer;
    QElapsedTimer m_sinceWrite;
    QList<Pending> m_queue;
    int m_drainLimitMs = DefaultDrainLimitMs;
    int m_currentKey = -1;
    bool m_sending = false;
};

Q_DECLARE_METATYPE(LiveFrameOutcome)
