#include "transferengine.h"

#include "debugtext.h"
#include "radioimage.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>

namespace {
// Guards shorter than this are timed by polling the event loop: a millisecond timer would
// round them up to a whole millisecond or more.
constexpr qint64 PollBelowUs = 2000;
} // namespace

TransferEngine::TransferEngine(RadioImage &image, QObject *parent)
    : QObject(parent)
    , m_image(image)
    , m_port(new QSerialPort(this))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
}

TransferEngine::~TransferEngine()
{
    stop();
}

PortOpenResult TransferEngine::start(int comPortNumber, TransferKind kind)
{
    begin(comPortNumber, kind);
    const PortOpenResult result = openSerialPort(*m_port, m_comPortNumber);
    m_device = result.device;
    if (!result.ok()) {
        // Like a cancel: the window shows its message first and the finishing step follows.
        finishSoon();
        return result;
    }
    // Whatever a previous session left in the buffers is not ours. A reply still coming in (the
    // window was closed in the middle of it) shows up within the first quiet check.
    m_port->clear(QSerialPort::Input);
    waitForQuiet(m_timings.handOverUs);
    return result;
}

void TransferEngine::begin(int comPortNumber, TransferKind kind)
{
    m_timer->stop();
    closePort();
    connectPort();

    m_state = State::Running;
    m_comPortNumber = comPortNumber;
    m_operation = isReadTransfer(kind) ? RequestOperation::Read : RequestOperation::Write;
    m_plan = BlockPlan(kind);
    m_block = m_plan.firstBlock();
    m_reply = ReplyReceiver();
    m_noise.clear();
    m_retryCount = 0;
    m_blockFailed = false;
    m_blockTries = 0;
    m_deviceLost = false;
    m_succeeded = false;
}

void TransferEngine::retry()
{
    if (!alive() || m_phase != Phase::Asking)
        return;
    if (!m_port->isOpen()) {
        const PortOpenResult result = openSerialPort(*m_port, m_comPortNumber);
        m_device = result.device;
        m_deviceLost = !result.ok();
    }
    waitForQuiet(qint64(m_timings.quietMs) * 1000);
}

void TransferEngine::cancel()
{
    if (!alive() || m_phase == Phase::Finishing)
        return;
    m_timer->stop();
    closePort();
    finishSoon();
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
    m_connections.append(connect(m_timer, &QTimer::timeout, this, &TransferEngine::onTimer));
}

void TransferEngine::disconnectAll()
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
}

void TransferEngine::closePort()
{
    if (m_port->isOpen())
        m_port->close();
}

void TransferEngine::loseDevice()
{
    // The device number may be handed to another device at once (a freed pseudo-terminal, a
    // second adapter plugged in), so the repeats never open it again: they fail at their
    // time-outs as with a silent radio, and only the user's Retry reopens the port.
    closePort();
    m_deviceLost = true;
}

bool TransferEngine::deviceGone() const
{
#ifdef Q_OS_WIN
    return false;
#else
    return m_device.startsWith(QLatin1Char('/')) && !QFileInfo::exists(m_device);
#endif
}

void TransferEngine::waitForQuiet(qint64 quietUs)
{
    m_phase = Phase::Quieting;
    m_talkedOver = false;
    m_phaseClock.start();
    armGuard(quietUs);
}

void TransferEngine::armGuard(qint64 us)
{
    m_guardUs = us;
    m_guardPassed = false;
    m_guardClock.start();
    m_timer->start(us < PollBelowUs ? 0 : static_cast<int>(us / 1000));
}

void TransferEngine::armTimeout()
{
    const qint64 left = m_timings.maxReplyWaitMs - m_sinceSend.elapsed();
    m_timer->start(static_cast<int>(std::clamp<qint64>(left, 0, m_timings.replyTimeoutMs)));
}

void TransferEngine::sendRequest()
{
    const RequestFrame frame
        = buildRequestFrame(m_operation, m_block.firstWord, m_block.count, m_image);
    m_reply.beginRequest(frame.expectedReplyLength);
    m_replyUntrusted = m_talkedOver;
    m_talkedOver = false;
    ++m_blockTries;
    m_phase = Phase::Awaiting;
    m_sinceSend.start();
    armTimeout();
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
            loseDevice();
        return;
    }
    takeBytes(data);
}

void TransferEngine::takeBytes(const QByteArray &data)
{
    switch (m_phase) {
    case Phase::Quieting:
        // Bytes before a request belong to no request of ours; the quiet time starts again.
        if (m_noise.isEmpty())
            m_noise = QString::fromLatin1(DebugText::RxPrefix);
        for (const char c : data)
            DebugText::appendByte(m_noise, static_cast<quint8>(c));
        if (m_phaseClock.elapsed() < m_timings.replyTimeoutMs)
            armGuard(m_guardUs);
        else
            m_talkedOver = true;
        return;
    case Phase::Awaiting:
        m_timer->stop();
        m_reply.feed(data);
        if (!m_reply.isComplete()) {
            armTimeout();
        } else if (!extraIsHarmless()) {
            failBlock(m_reply.DebugLine());
        } else {
            m_phase = Phase::HandingOver;
            armHandOver();
        }
        return;
    case Phase::HandingOver:
        m_timer->stop();
        m_reply.feed(data);
        if (extraIsHarmless())
            armHandOver();
        else
            failBlock(m_reply.DebugLine());
        return;
    case Phase::Asking:
    case Phase::Finishing:
        // Given up or done: these bytes answer nothing, and a Retry waits for quiet first.
        return;
    }
}

bool TransferEngine::extraIsHarmless() const
{
    // On the normal path any byte past the reply fails it. After a failure the radio may still
    // answer the earlier tries of this same block, late; such copies are harmless as long as
    // they repeat the reply byte for byte.
    return !m_reply.isOverlong()
           || (m_blockFailed && m_reply.extraRepeatsReply(false) && copiesFit());
}

bool TransferEngine::copiesFit() const
{
    // One copy at most per earlier try: a radio that keeps repeating itself (a stream of
    // acknowledgements looks like endless copies of a write's reply) answers nothing.
    const qsizetype length = std::max(1, m_reply.ExpectedReplyLength());
    const qsizetype copies = (m_reply.extra().size() + length - 1) / length;
    return copies <= m_blockTries - 1;
}

void TransferEngine::armHandOver()
{
    if (!m_blockFailed) {
        armGuard(m_timings.handOverUs);
        return;
    }
    // Every earlier try of this block was sent before the last one, so any answer to them is due
    // before the longest wait for a reply to the last one has passed: the block is taken only
    // then, and after a quiet time since the last byte.
    const qint64 leftMs = m_timings.maxReplyWaitMs - m_sinceSend.elapsed();
    armGuard(1000 * std::max<qint64>(m_timings.quietMs, leftMs));
}

void TransferEngine::onPortError(int error)
{
    if (!alive())
        return;
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        loseDevice();
        break;
    default:
        break;
    }
}

void TransferEngine::onTimer()
{
    if (!alive())
        return;
    switch (m_phase) {
    case Phase::Quieting:
    case Phase::HandingOver:
        onGuardElapsed();
        return;
    case Phase::Awaiting:
        onReplyTimeout();
        return;
    case Phase::Asking:
        return;
    case Phase::Finishing:
        m_state = State::Finished;
        closePort();
        emit finished(m_succeeded);
        return;
    }
}

void TransferEngine::onGuardElapsed()
{
    const qint64 elapsedUs = m_guardClock.nsecsElapsed() / 1000;
    if (elapsedUs < m_guardUs) {
        const qint64 left = m_guardUs - elapsedUs;
        m_timer->start(left < PollBelowUs ? 0 : static_cast<int>((left + 999) / 1000));
        return;
    }
    // One more pass of the event loop first: whatever became due in this process while the
    // thread was held up (a radio simulated beside us) gets to run before the line is judged.
    if (!m_guardPassed) {
        m_guardPassed = true;
        m_timer->start(0);
        return;
    }
    // Bytes the device has delivered but whose notification is still queued count as well; they
    // come in through takeBytes(), which fails the reply or starts the quiet time again.
    const Phase phase = m_phase;
    if (m_port->isOpen()) {
        m_port->waitForReadyRead(0);
        if (m_port->isOpen() && m_port->error() == QSerialPort::TimeoutError)
            m_port->clearError();
    }
    if (!alive() || m_phase != phase || m_guardClock.nsecsElapsed() / 1000 < m_guardUs)
        return;

    if (m_phase == Phase::HandingOver) {
        if (m_reply.isOverlong() && !(m_reply.extraRepeatsReply(true) && copiesFit()))
            failBlock(m_reply.DebugLine());
        else
            acceptBlock();
        return;
    }
    // Quieting: the line is silent, or has talked for a whole reply time-out, so that waiting
    // longer is pointless; then the stray bytes run into the reply and fail it.
    if (!m_noise.isEmpty()) {
        const QString noise = m_noise;
        m_noise.clear();
        emit debugLine(noise);
        if (!alive())
            return;
    }
    sendRequest();
}

void TransferEngine::onReplyTimeout()
{
    // Some serial layers keep a port whose device node has gone without reporting any error.
    if (m_port->isOpen() && deviceGone())
        loseDevice();

    // Nothing acknowledged: "No Data". A reply broken off after its acknowledgement is shown.
    failBlock(m_reply.countedAny() ? m_reply.DebugLine() : QString::fromLatin1(DebugText::NoData));
}

void TransferEngine::acceptBlock()
{
    const bool exact = m_reply.isAccepted();
    const bool withCopies = m_reply.isComplete() && m_reply.ReplyBuffer()[0] == ReplyReceiver::Ack
                            && m_blockFailed && m_reply.extraRepeatsReply(true) && copiesFit();
    if ((!exact && !withCopies) || m_replyUntrusted) {
        failBlock(m_reply.DebugLine());
        return;
    }
    if (m_operation == RequestOperation::Read) {
        for (int i = 0; i < m_block.count; ++i)
            m_image.WriteImageWord(m_block.firstWord + i, m_reply.replyWord(i));
    }
    const QString line = m_reply.DebugLine();
    m_reply.restartDebugLine();
    emit debugLine(line);
    if (!alive())
        return;

    m_blockFailed = false;
    m_blockTries = 0;
    const BlockPlan::Step step = m_plan.advance(m_block);
    m_block = {step.nextWord, step.blockCount};
    if (step.finished) {
        m_succeeded = true;
        finishSoon();
    }
    emit progress(step.fraction);
    if (!alive() || step.finished)
        return;
    sendRequest();
}

void TransferEngine::failBlock(QString line)
{
    m_timer->stop();
    m_reply.restartDebugLine();
    m_phase = Phase::Quieting; // nothing is taken while the line shows
    emit debugLine(line);
    if (!alive())
        return;
    m_blockFailed = true;
    ++m_retryCount;
    if (m_retryCount <= MaxRepeats) {
        waitForQuiet(qint64(m_timings.quietMs) * 1000);
        return;
    }
    m_retryCount = 0;
    m_phase = Phase::Asking;
    emit retryQuestion();
}

void TransferEngine::finishSoon()
{
    m_phase = Phase::Finishing;
    m_timer->start(0);
}
