#include "livetunesender.h"

#include "portopen.h"

#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {
// How often the kernel's output queue is looked at while a frame drains: a 16-byte frame takes
// 1.4 ms on the wire at 115200 baud.
constexpr int DrainPollMs = 1;

LiveFrameOutcome outcomeOf(PortOpenError error)
{
    switch (error) {
    case PortOpenError::NoSuchDevice:
    case PortOpenError::NoDeviceForNumber:
        return LiveFrameOutcome::PortMissing;
    case PortOpenError::InUse:
        return LiveFrameOutcome::PortInUse;
    default:
        return LiveFrameOutcome::PortRefused;
    }
}
} // namespace

LiveTuneSender::LiveTuneSender(QObject *parent)
    : QObject(parent)
    , m_port(new QSerialPort(this))
    , m_drainTimer(new QTimer(this))
{
    m_drainTimer->setTimerType(Qt::PreciseTimer);
    m_drainTimer->setInterval(DrainPollMs);
    connect(m_drainTimer, &QTimer::timeout, this, &LiveTuneSender::checkDrained);
    connect(m_port, &QSerialPort::bytesWritten, this, &LiveTuneSender::checkDrained);
    // Errors of the live link are ignored; a broken port simply ends the frame.
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError)
            finishFrame(LiveFrameOutcome::PortMissing);
        else if (e == QSerialPort::WriteError)
            finishFrame(LiveFrameOutcome::NeverDrained);
    });
}

LiveTuneSender::~LiveTuneSender()
{
    m_queue.clear();
    if (m_port->isOpen()) {
#ifdef Q_OS_UNIX
        // Whatever is still queued would hold close() until the line drains.
        ::tcflush(static_cast<int>(m_port->handle()), TCOFLUSH);
#endif
        m_port->close();
    }
}

void LiveTuneSender::send(int comPortNumber, int key, FrameBuilder build)
{
    for (Pending &p : m_queue) {
        if (p.key == key && p.comPortNumber == comPortNumber) {
            p.build = std::move(build);
            return;
        }
    }
    m_queue.append({comPortNumber, key, std::move(build)});
    if (!m_sending)
        startNext();
}

bool LiveTuneSender::isBusy() const
{
    return m_sending || !m_queue.isEmpty();
}

bool LiveTuneSender::waitUntilIdle(int timeoutMs)
{
    if (!isBusy())
        return true;
    QEventLoop loop;
    connect(this, &LiveTuneSender::idle, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return !isBusy();
}

void LiveTuneSender::startNext()
{
    while (!m_queue.isEmpty()) {
        const Pending next = m_queue.takeFirst();
        const PortOpenResult opened = openSerialPort(*m_port, next.comPortNumber);
        if (!opened.ok()) {
            // The change stays in the image and the window; the owner tells the user.
            m_frame.clear();
            emit frameFinished(next.key, outcomeOf(opened.error));
            continue;
        }
        m_sending = true;
        m_currentKey = next.key;
        m_sinceWrite.start();
        // The port writes when the driver has room; a line that never takes the bytes keeps
        // them here, where the drain limit gives them up.
        m_frame = next.build();
        m_port->write(m_frame);
        m_drainTimer->start();
        return;
    }
    m_sending = false;
    emit idle();
}

qint64 LiveTuneSender::bytesInKernelQueue() const
{
#ifdef Q_OS_UNIX
    int queued = 0;
    if (m_port->isOpen() && ::ioctl(static_cast<int>(m_port->handle()), TIOCOUTQ, &queued) == 0)
        return queued;
#endif
    return 0;
}

void LiveTuneSender::checkDrained()
{
    if (!m_sending)
        return;
    if (m_port->bytesToWrite() == 0 && bytesInKernelQueue() == 0)
        finishFrame(LiveFrameOutcome::Sent);
    else if (m_sinceWrite.elapsed() >= m_drainLimitMs)
        finishFrame(LiveFrameOutcome::NeverDrained);
}

void LiveTuneSender::finishFrame(LiveFrameOutcome outcome)
{
    const bool drained = outcome == LiveFrameOutcome::Sent;
    if (!m_sending)
        return;
    m_sending = false;
    m_drainTimer->stop();
    if (m_port->isOpen()) {
#ifdef Q_OS_UNIX
        const int fd = static_cast<int>(m_port->handle());
        // Closing restores the old line settings at once, so the last byte must have left the
        // transmitter by then; the queue is empty here, so this waits for one character at
        // most. A port that never drained is flushed instead, or close() would wait for it.
        if (drained)
            ::tcdrain(fd);
        else
            ::tcflush(fd, TCOFLUSH);
#endif
        m_port->close();
    }
    emit frameFinished(m_currentKey, outcome);
    // The next frame starts from the event loop, so a caller's send() never recurses.
    QTimer::singleShot(0, this, [this] {
        if (!m_sending)
            startNext();
    });
}
