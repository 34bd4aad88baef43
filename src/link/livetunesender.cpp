#include "livetunesender.h"

#include "portopen.h"

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
        if (e == QSerialPort::ResourceError || e == QSerialPort::WriteError)
            finishFrame();
    });
}

LiveTuneSender::~LiveTuneSender()
{
    m_queue.clear();
    if (m_port->isOpen())
        m_port->close();
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

void LiveTuneSender::startNext()
{
    while (!m_queue.isEmpty()) {
        const Pending next = m_queue.takeFirst();
        if (!openSerialPort(*m_port, next.comPortNumber).ok())
            continue; // dropped silently: the change stays in the image and the window
        m_sending = true;
        m_port->write(next.build());
        m_sinceWrite.start();
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
    const bool drained = m_port->bytesToWrite() == 0 && bytesInKernelQueue() == 0;
    if (drained || m_sinceWrite.elapsed() >= m_drainLimitMs)
        finishFrame();
}

void LiveTuneSender::finishFrame()
{
    if (!m_sending)
        return;
    m_drainTimer->stop();
    if (m_port->isOpen()) {
#ifdef Q_OS_UNIX
        // Closing restores the old line settings at once; the last byte must have left the
        // transmitter by then. The queue is empty here, so this waits for one character at most.
        if (m_port->bytesToWrite() == 0 && bytesInKernelQueue() == 0)
            ::tcdrain(static_cast<int>(m_port->handle()));
#endif
        m_port->close();
    }
    m_sending = false;
    // The next frame starts from the event loop, so a caller's send() never recurses.
    QTimer::singleShot(0, this, [this] {
        if (!m_sending)
            startNext();
    });
}
