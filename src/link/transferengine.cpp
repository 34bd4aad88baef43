#include "transferengine.h"

#include "debugtext.h"
#include "radioimage.h"

#include <QFileInfo>
#include <QMetaMethod>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>

namespace {
// Guards shorter than this are timed by polling the event loop: a millisecond timer would
// round them up to a whole millisecond or more.
constexpr qint64 PollBelowUs = 2000;
// How much sooner than its quickest answer so far a radio cannot answer.
constexpr qint64 EarlyMarginNs = 2'000'000;
// One byte at 115200 baud: a start bit, eight data bits and a stop bit.
constexpr qint64 WireNsPerByte = (1'000'000'000LL * 10 + 115200 / 2) / 115200;
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
    m_before = m_image;
    m_imageTouched = false;
    m_reply = ReplyReceiver();
    m_noise.resize(0);
    m_retryCount = 0;
    m_careful = false;
    m_mustDrain = false;
    m_unproved.clear();
    m_longestAnswerNs = 0;
    m_shortestAnswerNs = 0;
    m_answerSamples = 0;
    m_lineWireTimed = false;
    m_deviceLost = false;
    m_succeeded = false;
    enterBlock(m_plan.firstBlock());
}

void TransferEngine::enterBlock(const BlockPlan::Block &block)
{
    m_block = block;
    m_blockTries = 0;
    m_candidate.clear();
    m_readingBack = false;
}

void TransferEngine::restart()
{
    // Whoever answers now may not be the radio that gave the words taken so far.
    if (m_imageTouched) {
        for (const BlockPlan::Block &block : m_plan.blocks())
            restoreWords(block);
        m_imageTouched = false;
    }
    m_unproved.clear();
    enterBlock(m_plan.firstBlock());
}

void TransferEngine::restoreWords(const BlockPlan::Block &block)
{
    if (m_operation != RequestOperation::Read)
        return;
    for (int w = block.firstWord; w < block.firstWord + block.count; ++w)
        m_image.WriteImageWord(w, m_before.ReadImageWord(w));
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
    restart();
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
    // The radio cannot answer before it has the whole request, so the silence that fails a block
    // counts from when the request is off the wire, not from when it was handed to the port.
    const qint64 sinceSendMs = m_sinceSend.elapsed();
    const qint64 wireMs = (m_requestWireNs + 999'999) / 1'000'000;
    const qint64 wireLeftMs = std::max<qint64>(0, wireMs - sinceSendMs);
    const qint64 left = m_timings.maxReplyWaitMs + wireMs - sinceSendMs;
    m_timer->start(static_cast<int>(
        std::clamp<qint64>(left, 0, wireLeftMs + m_timings.replyTimeoutMs)));
}

void TransferEngine::sendRequest()
{
    const RequestOperation operation = m_readingBack ? RequestOperation::Read : m_operation;
    const int replyLength
        = buildRequestFrame(m_request, operation, m_block.firstWord, m_block.count, m_image);
    m_reply.beginRequest(replyLength);
    m_firstByteNs = -1;
    m_requestWireNs = m_request.size() * WireNsPerByte;
    m_replyUntrusted = m_talkedOver;
    m_talkedOver = false;
    ++m_blockTries;
    m_phase = Phase::Awaiting;
    m_sinceSend.start();
    armTimeout();
    if (m_port->isOpen())
        m_port->write(m_request);
    if (debugWanted())
        emit debugLine(DebugText::hexLine(DebugText::TxPrefix, m_request));
}

bool TransferEngine::debugWanted() const
{
    // Only the transfer window shows the list; the command line and Auto Align have no use for
    // lines that would cost more to format than the bytes took to arrive.
    static const QMetaMethod signal = QMetaMethod::fromSignal(&TransferEngine::debugLine);
    return isSignalConnected(signal);
}

void TransferEngine::showReply()
{
    const QString line = debugWanted() ? m_reply.DebugLine() : QString();
    m_reply.restartDebugLine();
    if (!line.isEmpty())
        emit debugLine(line);
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
        // Bytes before a request belong to no request of ours; the quiet time starts again, and
        // from now on every block must be proved.
        doubtUnproved();
        m_mustDrain = true;
        m_noise.append(data);
        if (m_phaseClock.elapsed() < m_timings.replyTimeoutMs)
            armGuard(m_guardUs);
        else
            m_talkedOver = true;
        return;
    case Phase::Awaiting: {
        m_timer->stop();
        const bool first = m_firstByteNs < 0;
        m_lastByteNs = m_sinceSend.nsecsElapsed();
        if (first)
            m_firstByteNs = m_lastByteNs;
        m_reply.feed(data);
        if (first && !m_careful && m_lineWireTimed && m_firstByteNs < earliestAnswerNs()) {
            // The radio cannot have heard the whole request yet: these bytes were on their way
            // before it, the tail of something the last reply did not end.
            failBlock();
        } else if (!m_reply.isComplete()) {
            armTimeout();
        } else if (!extraIsHarmless()) {
            failBlock();
        } else {
            noteLineKind();
            if (!m_careful && m_lineWireTimed && !isLastBlock() && m_reply.isAccepted()
                && strayQuietLeftUs() <= 0) {
                // Anything that follows this reply arrives before the radio can have heard the
                // next request, which fails that one and puts this block in doubt; so the next
                // request goes out at once, and the wait for silence overlaps its time on the
                // wire.
                acceptBlock();
            } else {
                m_phase = Phase::HandingOver;
                armHandOver();
            }
        }
        return;
    }
    case Phase::HandingOver:
        m_timer->stop();
        m_reply.feed(data);
        if (extraIsHarmless())
            armHandOver();
        else
            failBlock();
        return;
    case Phase::Asking:
    case Phase::Finishing:
        // Given up or done: these bytes answer nothing, and a Retry waits for quiet first.
        return;
    }
}

bool TransferEngine::extraIsHarmless() const
{
    // On the normal path any byte past the reply fails it. Once the line has been out of step the
    // radio may still answer the earlier tries of this same block, late; such copies are
    // harmless as long as they repeat the reply byte for byte, since the block is proved anyway.
    return !m_reply.isOverlong() || (m_careful && m_reply.extraRepeatsReply(false) && copiesFit());
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
    if (m_mustDrain) {
        // Every earlier request was sent before this one, so any answer to them that comes
        // within the longest wait is due before that wait for this one has passed: the answer is
        // taken only then, and after a quiet time since the last byte. Later than that only a
        // stale answer can come, which the second, agreeing answer shows up.
        const qint64 leftMs = m_timings.maxReplyWaitMs + (m_requestWireNs + 999'999) / 1'000'000
                              - m_sinceSend.elapsed();
        armGuard(1000 * std::max<qint64>(m_timings.quietMs, leftMs));
        return;
    }
    if (!isLastBlock()) {
        // A line that hands a reply over faster than 115200 baud would gives no such proof as
        // the next request's time on the wire: a byte nobody asked for that follows this reply
        // could come after the next request and be taken for its answer, should the radio miss
        // that request. So the line must first stay silent long enough for such a byte to show.
        armGuard(std::max<qint64>(m_timings.handOverUs, strayQuietLeftUs()));
        return;
    }
    // Nothing follows the last reply that could show it was not the answer: the real answer, if
    // this was something else, is due within the radio's answer time, so the line must stay
    // quiet until twice the longest answer time seen has passed since the request was out.
    const qint64 dueNs = m_requestWireNs + 2 * m_longestAnswerNs - m_sinceSend.nsecsElapsed();
    armGuard(std::max<qint64>(m_timings.handOverUs, dueNs / 1000));
}

qint64 TransferEngine::strayQuietLeftUs() const
{
    // A byte nobody asked for that follows this reply must show before the next request's answer
    // can be taken, or the radio missing that request would let it pass for the answer. On a
    // line shown to run at 115200 baud the next request's own time on the wire gives some:
    // a byte before its end fails it. A read's request is short, and waiting after each read
    // reply would cost a fifth of a read's time, so a stray read reply later than the next
    // request's time on the wire is the risk left there. A write's line is never shown to run at
    // 115200 baud (see noteLineKind()), so every acknowledgement is followed by the quiet time.
    if (m_careful || m_readingBack)
        return 0;
    return m_lineWireTimed ? 0 : m_timings.strayQuietUs;
}

void TransferEngine::noteLineKind()
{
    // A read's answer tells what kind of line this is. On one that runs at 115200 baud (a real
    // cable, or a paced simulation) a reply cannot begin before the request is out, and takes
    // its own time on the wire; a pseudo-terminal hands over a whole reply at once. A busy
    // machine only delays bytes, so it cannot make the one look like the other. A write's
    // one-byte answer shows nothing of the sort: one delayed by a busy machine looks like one
    // that came over a cable.
    if (!m_reply.isAccepted() || m_firstByteNs < 0 || m_reply.ExpectedReplyLength() <= 1)
        return;
    const qint64 replyWireNs = (m_reply.ExpectedReplyLength() - 1) * WireNsPerByte;
    m_lineWireTimed = m_firstByteNs >= earliestAnswerNs()
                      && 10 * (m_lastByteNs - m_firstByteNs) >= 9 * replyWireNs;
}

qint64 TransferEngine::earliestAnswerNs() const
{
    // One byte short of the request's time on the wire: the clock started before the write.
    return std::max<qint64>(0, m_requestWireNs - WireNsPerByte);
}

bool TransferEngine::isLastBlock() const
{
    if (m_operation == RequestOperation::Write && (m_careful) && !m_readingBack)
        return false; // the read-back comes last
    return m_plan.advance(m_block).finished;
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
            failBlock();
        else
            acceptBlock();
        return;
    }
    // Quieting: the line is silent, or has talked for a whole reply time-out, so that waiting
    // longer is pointless; then the stray bytes run into the reply and fail it.
    if (!m_noise.isEmpty()) {
        const QString noise
            = debugWanted() ? DebugText::hexLine(DebugText::RxPrefix, m_noise) : QString();
        m_noise.resize(0);
        if (!noise.isEmpty()) {
            emit debugLine(noise);
            if (!alive())
                return;
        }
    }
    sendRequest();
}

void TransferEngine::onReplyTimeout()
{
    // Some serial layers keep a port whose device node has gone without reporting any error.
    if (m_port->isOpen() && deviceGone())
        loseDevice();

    // Nothing acknowledged: "No Data". A reply broken off after its acknowledgement is shown.
    failBlock(m_reply.countedAny() ? FailShows::Reply : FailShows::NoData);
}

void TransferEngine::acceptBlock()
{
    const bool exact = m_reply.isAccepted();
    const bool withCopies = m_reply.isComplete() && m_reply.ReplyBuffer()[0] == ReplyReceiver::Ack
                            && m_careful && m_reply.extraRepeatsReply(true) && copiesFit();
    if ((!exact && !withCopies) || m_replyUntrusted) {
        failBlock();
        return;
    }
    // The radio's own time to answer, once the request was out.
    const qint64 answerNs
        = m_firstByteNs >= 0 ? std::max<qint64>(0, m_firstByteNs - m_requestWireNs) : -1;
    if (exact && m_firstByteNs >= 0)
        m_longestAnswerNs = std::max(m_longestAnswerNs, answerNs);

    if (!m_careful) {
        // Bytes nobody asked for came first: something else is running into the line (a reply
        // nobody asked for, taken for the last block, and its real counterpart never came, looks
        // just like this), so the blocks taken on one answer are doubted.
        // The same if the answer came far sooner than this radio has answered so far: radios
        // answer in their own steady time, and a busy machine only makes answers later, so a
        // reply that early is something else (an unasked reply whose real counterpart never
        // came). Two answers at least, and by a wide margin.
        const bool early = m_answerSamples >= 2 && answerNs >= 0
                           && answerNs < m_shortestAnswerNs / 2
                           && answerNs < m_shortestAnswerNs - EarlyMarginNs;
        if (m_reply.strayBefore() > 0 || early) {
            failBlock();
            return;
        }
        if (exact && answerNs >= 0) {
            m_shortestAnswerNs
                = m_answerSamples == 0 ? answerNs : std::min(m_shortestAnswerNs, answerNs);
            ++m_answerSamples;
        }
        m_mustDrain = false;
        m_unproved.append(m_block);
        takeBlock();
        return;
    }
    m_mustDrain = false;
    const QByteArray answer(reinterpret_cast<const char *>(m_reply.ReplyBuffer().data()),
                            m_reply.ExpectedReplyLength());
    if (m_operation == RequestOperation::Write) {
        if (!m_readingBack) {
            // Acknowledged; whether the words arrived is for the radio's own memory to say.
            showReply();
            if (!alive())
                return;
            m_readingBack = true;
            sendRequest();
            return;
        }
        if (!readBackMatches()) {
            failBlock();
            return;
        }
        takeBlock();
        return;
    }
    if (m_candidate.isEmpty() || m_candidate != answer) {
        // A first answer, or one that disagrees with the last: the line is asked again, and the
        // disagreement counts as a failure.
        const bool disagreed = !m_candidate.isEmpty();
        m_candidate = answer;
        if (disagreed) {
            failBlock();
            return;
        }
        showReply();
        if (!alive())
            return;
        sendRequest();
        return;
    }
    takeBlock();
}

bool TransferEngine::readBackMatches() const
{
    for (int i = 0; i < m_block.count; ++i) {
        if (m_reply.replyWord(i) != m_image.ReadImageWord(m_block.firstWord + i))
            return false;
    }
    return true;
}

void TransferEngine::takeBlock()
{
    if (m_operation == RequestOperation::Read) {
        for (int i = 0; i < m_block.count; ++i)
            m_image.WriteImageWord(m_block.firstWord + i, m_reply.replyWord(i));
        m_imageTouched = true;
    }
    showReply();
    if (!alive())
        return;

    const BlockPlan::Step step = m_plan.advance(m_block);
    enterBlock({step.nextWord, step.blockCount});
    if (step.finished) {
        m_succeeded = true;
        finishSoon();
    }
    emit progress(step.fraction);
    if (!alive() || step.finished)
        return;
    sendRequest();
}

void TransferEngine::doubtUnproved()
{
    m_careful = true;
    if (m_unproved.isEmpty())
        return;
    for (const BlockPlan::Block &block : std::as_const(m_unproved))
        restoreWords(block);
    enterBlock(m_unproved.first());
    m_unproved.clear();
}

void TransferEngine::failBlock(FailShows shows)
{
    m_timer->stop();
    m_phase = Phase::Quieting; // nothing is taken while the line shows
    if (shows == FailShows::NoData) {
        m_reply.restartDebugLine();
        if (debugWanted())
            emit debugLine(QString::fromLatin1(DebugText::NoData));
    } else {
        showReply();
    }
    if (!alive())
        return;
    doubtUnproved();
    m_mustDrain = true;
    // A write whose read-back failed is written again: the radio may not hold it.
    m_readingBack = false;
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
