#include "transferengine.h"

#include "debugtext.h"
#include "radioimage.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>

TransferEngine::TransferEngine(RadioImage &image, QObject *parent)
    : QObject(parent)
    , m_image(image)
    , m_port(new QSerialPort(this))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
}

TransferEngine::~TransferEngine()
{
    stop();
}

PortOpenResult TransferEngine::start(int comPortNumber, bool isRead, bool tuneDataRange,
                                     bool squelchDataRange)
{
    m_timer->stop();
    closePort();
    connectPort();

    m_state = State::Running;
    m_comPortNumber = comPortNumber;
    m_operation = isRead ? RequestOperation::Read : RequestOperation::Write;
    m_plan = BlockPlan(BlockPlan::kindFor(tuneDataRange, squelchDataRange));
    m_block = m_plan.firstBlock();
    m_reply = ReplyReceiver();
    m_retryCount = 0;
    m_retryPending = false;
    m_questionPending = false;
    m_finishPending = false;
    m_succeeded = false;

    const PortOpenResult result = openSerialPort(*m_port, m_comPortNumber);
    m_device = result.device;
    if (!result.ok()) {
        // Like a cancel: the window shows its message first and the finishing step follows.
        m_finishPending = true;
        m_timer->start(HandOverMs);
        return result;
    }
    sendRequest();
    return result;
}

void TransferEngine::retry()
{
    if (!alive() || !m_questionPending)
        return;
    m_questionPending = false;
    m_retryPending = false;
    sendRequest();
}

void TransferEngine::cancel()
{
    if (!alive() || m_finishPending)
        return;
    m_questionPending = false;
    m_timer->stop();
    closePort();
    m_finishPending = true;
    m_timer->start(HandOverMs);
}

void TransferEngine::stop()
{
    if (m_state == State::Stopped)
        return;
    m_state = State::Stopped;
    m_timer->stop();
    disconnectAll();
    closePort();
}

bool TransferEngine::succeeded() const
{
    return m_succeeded;
}

bool TransferEngine::isRunning() const
{
    return alive();
}

bool TransferEngine::isPortOpen() const
{
    return m_port->isOpen();
}

void TransferEngine::connectPort()
{
    if (!m_connections.isEmpty())
        return;
    m_connections.append(
        connect(m_port, &QSerialPort::readyRead, this, &TransferEngine::onReadyRead));
    m_connections.append(connect(m_port, &QSerialPort::errorOccurred, this,
                                 [this](QSerialPort::SerialPortError e) { onPortError(e); }));
    m_connections.append(connect(m_timer, &QTimer::timeout, this, &TransferEngine::onTimeout));
}

void TransferEngine::disconnectAll()
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
}

void TransferEngine::openPort()
{
    m_device = openSerialPort(*m_port, m_comPortNumber).device;
}

bool TransferEngine::deviceGone() const
{
#ifdef Q_OS_WIN
    return false;
#else
    return m_device.startsWith(QLatin1Char('/')) && !QFileInfo::exists(m_device);
#endif
}

void TransferEngine::closePort()
{
    if (m_port->isOpen())
        m_port->close();
}

void TransferEngine::sendRequest()
{
    // A port lost since the last try (cable pulled) is opened anew, under the device the COM
    // number names now; if it is still missing the request simply goes unanswered.
    if (!m_port->isOpen())
        openPort();

    if (m_port->isOpen()) {
        m_port->readAll();
        m_port->clear(QSerialPort::Input);
    }

    const RequestFrame frame
        = buildRequestFrame(m_operation, m_block.firstWord, m_block.count, m_image);
    m_timer->start(ReplyTimeoutMs);
    m_sinceSend.start();
    m_reply.beginRequest(frame.expectedReplyLength);
    if (m_port->isOpen())
        m_port->write(frame.bytes);

    emit debugLine(DebugText::hexLine(DebugText::TxPrefix, frame.bytes));
}

void TransferEngine::onReadyRead()
{
    if (!alive())
        return;
    const qint64 available = m_port->bytesAvailable();
    const QByteArray data = m_port->readAll();
    if (data.isEmpty()) {
        // Woken with nothing to read and no error: the device went away silently. Closing stops
        // further wake-ups; the outstanding block fails at its time-out.
        if (available == 0)
            closePort();
        return;
    }
    // Bytes of an exchange that has been given up, or that arrive after the last block, belong
    // to no request; the next send flushes anything later.
    if (m_questionPending || m_finishPending)
        return;

    if (m_reply.isComplete() && m_timer->isActive()) {
        // The hand-over of a completed reply is already due; later bytes do not postpone it.
        m_reply.feed(data);
        return;
    }
    m_timer->stop();
    if (m_reply.feed(data)) {
        m_timer->start(HandOverMs);
        return;
    }
    const qint64 left = MaxReplyWaitMs - m_sinceSend.elapsed();
    m_timer->start(static_cast<int>(std::clamp<qint64>(left, 0, ReplyTimeoutMs)));
}

void TransferEngine::onPortError(int error)
{
    if (!alive())
        return;
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        // The device is gone or broken; a closed port cannot wake us in a loop, and the next send
        // opens it again.
        closePort();
        break;
    default:
        break;
    }
}

void TransferEngine::onTimeout()
{
    if (!alive())
        return;
    m_timer->stop();

    if (m_finishPending) {
        m_finishPending = false;
        m_state = State::Finished;
        closePort();
        emit finished(m_succeeded);
        return;
    }
    if (m_questionPending)
        return;

    // Some serial layers keep a port whose device node has gone without reporting any error;
    // it is closed so that the repeat opens whatever the COM number names now.
    if (m_port->isOpen() && deviceGone())
        closePort();

    if (!m_reply.countedAny()) {
        m_reply.restartDebugLine();
        emit debugLine(QString::fromLatin1(DebugText::NoData));
        if (alive())
            failBlock();
        return;
    }

    const QString line = m_reply.DebugLine();
    m_reply.restartDebugLine();
    emit debugLine(line);
    if (!alive())
        return;
    if (m_reply.isAccepted())
        acceptBlock();
    else
        failBlock();
}

void TransferEngine::acceptBlock()
{
    if (m_operation == RequestOperation::Read) {
        for (int i = 0; i < m_block.count; ++i)
            m_image.WriteImageWord(m_block.firstWord + i, m_reply.replyWord(i));
    }

    const BlockPlan::Step step = m_plan.advance(m_block);
    if (step.finished) {
        m_finishPending = true;
        m_succeeded = true;
        m_timer->start(HandOverMs);
    }
    m_block = {step.nextWord, step.blockCount};

    emit progress(step.fraction);
    if (!alive() || step.finished)
        return;
    sendRequest();
}

void TransferEngine::failBlock()
{
    if (m_retryPending)
        return;
    m_retryPending = true;
    ++m_retryCount;
    if (m_retryCount <= MaxRepeats) {
        m_retryPending = false;
        sendRequest();
        return;
    }
    m_retryCount = 0;
    m_questionPending = true;
    emit retryQuestion();
}
