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
// One byte at 115200 baud: a start bit, eight data bits and a stop bit.
constexpr qint64 WireNsPerByte = (1'000'000'000LL * 10 + 115200 / 2) / 115200;
// Reply time-outs after which a request without an answer is taken as missed: well past the
// latest answer a radio was seen to give (2.3 time-outs).
constexpr int OwedTimeouts = 3;
// Ways to read one window beyond which it says nothing.
constexpr int MaxReadings = 8;
// Answers in a row that show a line of 115200 baud.
constexpr int WireVotes = 3;
// Bytes of a request and its reply (after the acknowledgement) that it takes before their times
// say how fast the line is.
constexpr qint64 MinTimedBytes = 48;
// While a request waits, the thread checks in this often; a gap of more than ListenGapNs between
// two check-ins means it was busy elsewhere.
constexpr int ListenTickMs = 1;
constexpr qint64 ListenGapNs = 3'000'000;
// Answer times kept to tell this radio's usual time.
constexpr int AnswerSamples = 15;
} // namespace

TransferEngine::TransferEngine(RadioImage &image, QObject *parent)
    : QObject(parent)
    , m_image(image)
    , m_port(new QSerialPort(this))
    , m_timer(new QTimer(this))
    , m_listen(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_listen->setTimerType(Qt::PreciseTimer);
    m_listen->setInterval(ListenTickMs);
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
        // The caller shows its message first and the finishing step follows.
        finishSoon(TransferEnd::PortFailed);
        return result;
    }
    // Whatever a previous session left in the buffers is not ours; what is still coming in is
    // shown before the first request.
    m_port->clear(QSerialPort::Input);
    quietThenSend(m_timings.handOverUs);
    return result;
}

void TransferEngine::begin(int comPortNumber, TransferKind kind)
{
    m_timer->stop();
    m_listen->stop();
    closePort();
    connectPort();

    m_state = State::Quieting;
    m_end = TransferEnd::Cancelled;
    m_comPortNumber = comPortNumber;
    m_operation = isReadTransfer(kind) ? RequestOperation::Read : RequestOperation::Write;
    m_plan = BlockPlan(kind);
    m_before = m_image;
    m_tookAny = false;
    m_noise.resize(0);
    m_retryCount = 0;
    m_previous = {};
    m_rechecking = false;
    m_lateCopies.clear();
    m_owed.clear();
    m_transferClock.start();
    m_samples.clear();
    m_wireVotes = 0;
    m_wireTimed = false;
    m_succeeded = false;
    enterBlock(m_plan.firstBlock());
}

void TransferEngine::enterBlock(const BlockPlan::Block &block)
{
    m_block = block;
    m_seen.clear();
    m_inDoubt = false;
    m_blockRequests = 0;
    m_blockAnswers = 0;
    m_previousIndicted = false;
}

void TransferEngine::retry()
{
    if (m_state != State::Asking)
        return;
    if (!m_port->isOpen()) {
        // The user has put the cable back: the COM number is looked up again, and whoever
        // answers now may not be the radio that gave the words taken so far.
        const PortOpenResult result = openSerialPort(*m_port, m_comPortNumber);
        m_device = result.device;
        if (m_operation == RequestOperation::Read && m_tookAny) {
            for (const BlockPlan::Block &block : m_plan.blocks()) {
                for (int w = block.firstWord; w < block.firstWord + block.count; ++w)
                    m_image.WriteImageWord(w, m_before.ReadImageWord(w));
            }
        }
        if (m_port->isOpen())
            m_port->clear(QSerialPort::Input);
        m_tookAny = false;
        m_previous = {};
        m_rechecking = false;
        m_owed.clear();
        m_samples.clear();
        m_wireVotes = 0;
        m_wireTimed = false;
        enterBlock(m_plan.firstBlock());
    }
    quietThenSend(qint64(m_timings.quietMs) * 1000);
}

void TransferEngine::cancel()
{
    if (!alive() || m_state == State::Finishing)
        return;
    m_timer->stop();
    m_listen->stop();
    closePort();
    finishSoon(TransferEnd::Cancelled);
}

void TransferEngine::stop()
{
    if (m_state == State::Stopped)
        return;
    if (alive())
        dropDoubted();
    m_state = State::Stopped;
    m_timer->stop();
    m_listen->stop();
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
    m_connections.append(
        connect(m_listen, &QTimer::timeout, this, &TransferEngine::onListenTick));
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
}

bool TransferEngine::deviceGone() const
{
#ifdef Q_OS_WIN
    return false;
#else
    return m_device.startsWith(QLatin1Char('/')) && !QFileInfo::exists(m_device);
#endif
}

void TransferEngine::quietThenSend(qint64 quietUs)
{
    m_state = State::Quieting;
    m_stateClock.start();
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
    // Silence counts from when the request is off the wire (the radio cannot answer before it
    // has all of it) or from the last counted byte; noise before the acknowledgement does not
    // hold the block open.
    const qint64 fromNs = std::max(m_requestWireNs, m_countedNs);
    const qint64 leftNs
        = fromNs + qint64(m_timings.replyTimeoutMs) * 1'000'000 - m_sinceSend.nsecsElapsed();
    m_timer->start(static_cast<int>(std::max<qint64>(0, (leftNs + 999'999) / 1'000'000)));
}

void TransferEngine::sendRequest()
{
    const int replyLength
        = buildRequestFrame(m_request, m_operation, m_block.firstWord, m_block.count, m_image);
    m_window.begin(m_request, replyLength);
    m_ackNs = -1;
    m_countedNs = 0;
    m_oddAnswer = false;
    m_unsureAnswer = false;
    m_allAcks = false;
    m_settleCut = false;
    m_requestWireNs = m_request.size() * WireNsPerByte;
    m_state = State::Awaiting;
    ++m_blockRequests;
    m_owed.append(m_transferClock.nsecsElapsed());
    m_sinceSend.start();
    m_lastTickNs = 0;
    m_listenedNs = 0;
    m_earliestAckNs = -1;
    m_listen->start();
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

void TransferEngine::showWindow()
{
    if (m_window.receivedAny() && debugWanted())
        emit debugLine(m_window.DebugLine());
}

void TransferEngine::showNoise()
{
    if (m_noise.isEmpty())
        return;
    const QString line
        = debugWanted() ? DebugText::hexLine(DebugText::RxPrefix, m_noise) : QString();
    m_noise.resize(0);
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
    switch (m_state) {
    case State::Awaiting: {
        m_timer->stop();
        const qint64 now = m_sinceSend.nsecsElapsed();
        // Bytes read after a gap in the ticks may have waited since it began: for deciding
        // whether they came too soon they count as early as they can have come.
        const qint64 earliest = now - m_lastTickNs <= ListenGapNs ? now : m_listenedNs;
        const bool hadAck = m_window.ackSeen();
        const int noiseBefore = m_window.noiseBefore();
        m_window.feed(data);
        // Bytes that were on their way before the radio could have heard this request are the
        // end of something the last window did not hold: the block before may have been taken
        // from a reply that noise cut short or ran into.
        // Until the line's kind is known, and for a write, each window is settled before the
        // next request, so none can run on into the next.
        if (m_operation == RequestOperation::Read && m_wireTimed
            && m_window.noiseBefore() > noiseBefore && earliest + WireNsPerByte < m_requestWireNs
            && m_previous.single && !(m_previous.block == m_block)) {
            m_previousIndicted = true;
            m_previous.window.append(data);
        }
        if (m_window.ackSeen()) {
            m_countedNs = now;
            if (!hadAck) {
                m_ackNs = now;
                m_earliestAckNs = earliest;
            }
        }
        if (!m_window.isComplete()) {
            if (m_window.overflowed())
                failBlock();
            else
                armTimeout();
            return;
        }
        m_listen->stop();
        noteLineKind();
        m_oddAnswer = answerIsOdd();
        m_unsureAnswer = !m_oddAnswer && answerMayBeOdd();
        m_allAcks = isAllAcks(m_window.counted());
        if (settleFirst()) {
            m_state = State::Settling;
            armGuard(settleUs());
        } else {
            judgeWindow();
        }
        return;
    }
    case State::Settling:
        m_timer->stop();
        m_window.feed(data);
        // A radio that keeps talking is not waited out: what it said is no answer.
        if (m_window.overflowed() || m_sinceSend.nsecsElapsed() >= settleLimitNs()) {
            m_settleCut = true;
            judgeWindow();
        } else {
            armGuard(settleUs());
        }
        return;
    case State::Quieting:
    case State::Asking:
        // Shown before the next request. While quieting, the wait starts again, but a line that
        // talks for a whole reply time-out is not waited out.
        if (m_noise.size() < ReplyWindow::MaxBytes)
            m_noise.append(data.first(
                std::min<qsizetype>(data.size(), ReplyWindow::MaxBytes - m_noise.size())));
        if (m_state == State::Quieting && m_stateClock.elapsed() < m_timings.replyTimeoutMs)
            armGuard(m_guardUs);
        return;
    case State::Idle:
    case State::Finishing:
    case State::Finished:
    case State::Stopped:
        return;
    }
}

bool TransferEngine::settleFirst() const
{
    // On the quick path the next request goes out the moment a reply is complete: whatever
    // follows the reply lands in the next window before its acknowledgement, where it is noise.
    // Anything unusual, and the last block (nothing after it would show a stranger), waits for
    // the line to fall silent first.
    if (m_inDoubt || m_rechecking || m_window.extraCount() > 0 || m_oddAnswer || m_unsureAnswer
        || m_allAcks || answerIsEarly())
        return true;
    // A write's answer is a single 0x06, which any stray acknowledgement matches: only the
    // silence after it tells it from a stream of them. Until the line is known to run at 115200
    // baud, nothing that follows a reply would give itself away by coming too soon, either.
    return m_operation == RequestOperation::Write || (!m_wireTimed && m_wireVotes >= 0)
           || m_plan.advance(m_block).finished;
}

qint64 TransferEngine::settleUs() const
{
    // An answer at an odd time may be a stranger with the real answer behind it, which is due
    // within a reply time-out; a machine that was only busy for a moment costs that wait, not a
    // request.
    if (m_oddAnswer)
        return qint64(m_timings.replyTimeoutMs) * 1000;
    // Read late by a busy thread, the answer may have come at its usual time or as a stranger;
    // the real answer behind a stranger would have followed it at once, so a margin and one more
    // reply's time on the wire show it without holding the line for a time-out.
    if (m_unsureAnswer)
        return std::min<qint64>(qint64(m_timings.oddAnswerMarginUs)
                                    + m_window.expectedLength() * WireNsPerByte / 1000
                                    + m_timings.handOverUs,
                                qint64(m_timings.replyTimeoutMs) * 1000);
    const qint64 us = std::max<qint64>(2 * usualAnswerNs() / 1000, m_timings.handOverUs);
    return std::min<qint64>(us, qint64(m_timings.replyTimeoutMs) * 1000);
}

qint64 TransferEngine::settleLimitNs() const
{
    // Long enough for two more replies of this length at 115200 baud after the time-out.
    return m_requestWireNs + 3 * m_window.expectedLength() * WireNsPerByte
           + qint64(m_timings.replyTimeoutMs) * 1'000'000;
}

qint64 TransferEngine::answerNs() const
{
    if (m_ackNs < 0)
        return -1;
    // On a line that runs at 115200 baud (or may still prove to) the radio hears the request only
    // once it is off the wire; on one shown not to (a pseudo-terminal) at once.
    const bool wire = m_wireTimed || m_wireVotes >= 0;
    return std::max<qint64>(0, m_ackNs - (wire ? m_requestWireNs : 0));
}

bool TransferEngine::answerMayBeOdd() const
{
    if (m_samples.isEmpty() || m_ackNs < 0)
        return false;
    return answerNs() > 4 * usualAnswerNs() + qint64(m_timings.oddAnswerMarginUs) * 1000;
}

void TransferEngine::onListenTick()
{
    if (m_state != State::Awaiting) {
        m_listen->stop();
        return;
    }
    // A tick that comes on time shows the thread was free to read since the one before; a late
    // one, that it was busy (or not running) and bytes may have waited meanwhile.
    const qint64 now = m_sinceSend.nsecsElapsed();
    if (now - m_lastTickNs <= ListenGapNs)
        m_listenedNs = now;
    m_lastTickNs = now;
}

qint64 TransferEngine::usualAnswerNs() const
{
    if (m_samples.isEmpty())
        return 0;
    QList<qint64> sorted = m_samples;
    std::sort(sorted.begin(), sorted.end());
    return sorted.at(sorted.size() / 2);
}

bool TransferEngine::answerIsEarly() const
{
    // The acknowledgement was on its way before the radio could have heard the whole request:
    // the tail of something else, not this request's answer.
    return m_wireTimed && m_ackNs >= 0 && m_ackNs + WireNsPerByte < m_requestWireNs;
}

bool TransferEngine::answerIsOdd() const
{
    // Radios answer in their own steady time, and a busy machine only makes answers later: an
    // answer far later than usual may be a stranger that the real one follows, and one far
    // sooner than usual something that was on its way already.
    // Lateness is judged by the earliest the answer can have come: a thread busy elsewhere reads
    // it late, and that says nothing of the radio.
    if (m_samples.isEmpty() || m_ackNs < 0)
        return false;
    const qint64 ns = answerNs();
    const qint64 usual = usualAnswerNs();
    const qint64 margin = qint64(m_timings.oddAnswerMarginUs) * 1000;
    if (ns - (m_ackNs - m_earliestAckNs) > 4 * usual + margin)
        return true;
    return ns < usual / 2 && ns < usual - margin;
}

void TransferEngine::noteLineKind()
{
    // A real line cannot bring an answer before its request is off the wire, nor a long reply
    // faster than 115200 baud carries it (a USB adapter hands bytes on in packets of up to 62,
    // hence only a quarter of its time is asked for); a pseudo-terminal does both. A busy machine
    // can delay any answer past the request's wire time, but it cannot stretch a reply written at
    // once: three answers in a row that came no sooner and took their reply's time make the line one
    // of 115200 baud, and one that did not (or an early answer that proved to be the answer)
    // makes it not. A short request with a short reply gives no vote.
    if (m_ackNs < 0)
        return;
    const qint64 replyBytes = m_window.expectedLength() - 1;
    if (m_request.size() + replyBytes < MinTimedBytes)
        return;
    const qint64 spanNs = m_sinceSend.nsecsElapsed() - m_ackNs;
    const bool timed
        = 10 * m_ackNs >= 9 * m_requestWireNs && 4 * spanNs >= replyBytes * WireNsPerByte;
    if (m_wireVotes >= 0 && timed) {
        m_wireTimed = ++m_wireVotes >= WireVotes;
    } else if (!m_wireTimed) {
        m_wireVotes = -1;
    }
}

void TransferEngine::noteAnswerTime()
{
    if (m_ackNs < 0)
        return;
    if (answerIsEarly()) {
        m_wireTimed = false;
        m_wireVotes = -1;
    }
    if (m_samples.size() >= AnswerSamples)
        m_samples.removeFirst();
    m_samples.append(answerNs());
}

void TransferEngine::judgeWindow()
{
    m_timer->stop();
    if (!m_window.isComplete()) {
        failBlock();
        return;
    }
    const int replies = m_window.hasSecondReply() ? 2 : 1;
    m_blockAnswers += replies;
    // This request's reply and, before it, the oldest unanswered one's: a radio answers in order.
    m_owed.remove(0, std::min<qsizetype>(replies, m_owed.size()));
    // A request unanswered for several reply time-outs is one the radio missed.
    const qint64 horizon = m_transferClock.nsecsElapsed()
                           - qint64(OwedTimeouts) * m_timings.replyTimeoutMs * 1'000'000;
    while (!m_owed.isEmpty() && m_owed.first() < horizon)
        m_owed.removeFirst();
    // Still unanswered, besides this request: its late answer may be what came.
    const bool owed = !m_owed.isEmpty();
    // Talk that never stopped offers no reading at all.
    const bool cut = m_settleCut || m_window.overflowed();
    // Every way to read the window as one reply: the counted one, and one from each later 0x06
    // with a whole reply after it (the tail among them). One of them may be the answer. A late
    // copy of a block taken earlier is none.
    QList<QByteArrayView> readings = m_window.readings(MaxReadings + 1);
    const bool tooMany = readings.size() > MaxReadings;
    bool stale = false;
    for (qsizetype i = readings.size() - 1; i >= 0; --i) {
        if (isLateCopy(readings.at(i))) {
            readings.removeAt(i);
            stale = true;
        } else if (readings.indexOf(readings.at(i)) < i) {
            readings.removeAt(i); // the same bytes twice: one reading
        }
    }
    const bool evidence = cut || tooMany || stale || m_window.hasSecondReply()
                          || m_window.hasTailReply() || answerIsEarly();
    // An answer at an odd time that the line stayed silent after is still asked for again while
    // some earlier request has had no answer: that one's late answer can come in place of this
    // request's, which the radio may have missed.
    const bool doubtful = evidence || m_window.extraCount() > 0 || (m_oddAnswer && owed)
                          || m_allAcks || (owed && m_operation == RequestOperation::Write);
    // Whatever put this window in doubt may have been the real answer to the block before, if
    // that one was taken on one answer: it is asked once more after this one.
    if (doubtful && m_previous.single && !(m_previous.block == m_block))
        m_previousIndicted = true;

    if (!doubtful && !m_inDoubt) {
        noteAnswerTime();
        takeReply(readings.first(), true);
        return;
    }
    m_inDoubt = true;
    if (cut || tooMany)
        readings.clear();
    int agreeing = 0;
    QByteArrayView agreed;
    for (const QByteArrayView reading : std::as_const(readings)) {
        if (m_seen.contains(reading)) {
            ++agreeing;
            agreed = reading;
        }
    }
    // Copies of one reply, back to back, read many ways in between; the reply they begin and
    // end with is the one that agrees.
    const QByteArrayView copies
        = m_window.counted() == m_window.tail() ? m_window.counted() : QByteArrayView();
    if (agreeing > 1 && !copies.isEmpty() && readings.contains(copies) && m_seen.contains(copies)) {
        agreeing = 1;
        agreed = copies;
    }
    if (agreeing == 1) {
        noteAnswerTime();
        takeReply(agreed, false);
        return;
    }
    const bool disagreed = !m_seen.isEmpty();
    for (const QByteArrayView reading : std::as_const(readings)) {
        if (!m_seen.contains(reading))
            m_seen.append(reading.toByteArray());
    }
    if (readings.isEmpty() || disagreed || agreeing > 1) {
        // No reading, a different one, or the same bytes read more ways than one twice: a
        // failure, so that a line that never agrees with itself ends at the question.
        failBlock();
        return;
    }
    showWindow();
    if (!alive())
        return;
    sendRequest();
}

bool TransferEngine::isAllAcks(QByteArrayView reply)
{
    // A radio stuck sending acknowledgements looks like a read reply of nothing but 0x06 until
    // the line has stayed silent after it; a memory that reads so costs one more request.
    return reply.size() > 1 && std::all_of(reply.begin(), reply.end(), [](char c) {
               return std::uint8_t(c) == ReplyWindow::Ack;
           });
}

bool TransferEngine::isLateCopy(QByteArrayView reading)
{
    // A radio answers in order and may answer a request it was given up on after all: each
    // request of a read block that had no answer in its own windows may still bring one, a copy
    // of that block's reply, into a later window. Such a copy is no answer to the block asked;
    // where two blocks read alike, taking it would do no harm, and it is only skipped as many
    // times as copies can still come.
    if (reading.isEmpty())
        return false;
    for (LateCopies &copies : m_lateCopies) {
        // A late answer to a request for this very block is an answer to it all the same.
        if (copies.block == m_block)
            continue;
        if (copies.left > 0 && copies.reply == reading) {
            --copies.left;
            return true;
        }
    }
    return false;
}

void TransferEngine::takeReply(QByteArrayView reply, bool single)
{
    if (m_operation == RequestOperation::Read) {
        for (int i = 0; i < m_block.count; ++i)
            m_image.WriteImageWord(m_block.firstWord + i, ReplyWindow::replyWord(reply, i));
    }
    m_tookAny = true;
    const Taken taken{m_block, reply.toByteArray(), single && !m_rechecking, m_request,
                      m_window.bytes()};
    if (m_operation == RequestOperation::Read && m_blockRequests > m_blockAnswers) {
        if (m_lateCopies.size() >= MaxLateCopies)
            m_lateCopies.removeFirst();
        m_lateCopies.append({m_block, taken.reply, m_blockRequests - m_blockAnswers});
    }
    showWindow();
    if (!alive())
        return;

    const bool indicted = m_previousIndicted && m_previous.single;
    if (m_rechecking) {
        // The block asked once more is settled; the block taken before it may be in doubt now.
        m_rechecking = false;
        if (m_previous.block == taken.block)
            m_previous.single = false;
        if (indicted && !(m_previous.block == taken.block)) {
            recheck(m_previous, m_resume);
            return;
        }
        goOn(m_resume);
        return;
    }
    const BlockPlan::Step step = m_plan.advance(m_block);
    emit progress(step.fraction);
    if (!alive())
        return;
    const Taken previous = m_previous;
    m_previous = taken;
    if (indicted) {
        // This block's window held what may have been the real answer (or the rest of the reply)
        // of the block before, taken on one answer, so that block is asked once more.
        recheck(previous, step);
        return;
    }
    goOn(step);
}

void TransferEngine::recheck(const Taken &block, const BlockPlan::Step &resume)
{
    m_resume = resume;
    m_rechecking = true;
    enterBlock(block.block);
    if (m_operation == RequestOperation::Read) {
        // What was taken, and what its window reads as now that its end has come: the block is
        // settled by an answer that agrees with one of them, or by two that agree. A single new
        // answer is not enough: it may be a late answer to another block.
        m_inDoubt = true;
        m_seen.append(block.reply);
        ReplyWindow whole;
        whole.begin(block.request, int(block.reply.size()));
        whole.feed(block.window);
        const QByteArray tail = whole.tail().toByteArray();
        if (!tail.isEmpty() && tail != block.reply)
            m_seen.append(tail);
    }
    sendRequest();
}

void TransferEngine::goOn(const BlockPlan::Step &step)
{
    if (step.finished) {
        m_succeeded = true;
        finishSoon(TransferEnd::Succeeded);
        return;
    }
    enterBlock({step.nextWord, step.blockCount});
    sendRequest();
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
    switch (m_state) {
    case State::Quieting:
    case State::Settling:
        onGuardElapsed();
        return;
    case State::Awaiting:
        onReplyTimeout();
        return;
    case State::Finishing:
        m_state = State::Finished;
        closePort();
        emit finished(m_succeeded);
        return;
    case State::Idle:
    case State::Asking:
    case State::Finished:
    case State::Stopped:
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
    // come in through takeBytes(), which may start the wait again.
    const State state = m_state;
    if (m_port->isOpen()) {
        m_port->waitForReadyRead(0);
        if (m_port->isOpen() && m_port->error() == QSerialPort::TimeoutError)
            m_port->clearError();
    }
    if (m_state != state || m_timer->isActive())
        return;
    if (m_state == State::Settling) {
        judgeWindow();
        return;
    }
    showNoise();
    if (!alive())
        return;
    sendRequest();
}

void TransferEngine::onReplyTimeout()
{
    // Some serial layers keep a port whose device node has gone without reporting any error.
    if (m_port->isOpen() && deviceGone())
        loseDevice();
    failBlock();
}

void TransferEngine::failBlock()
{
    m_timer->stop();
    m_state = State::Quieting; // nothing is taken while the line shows
    const bool counted = m_window.ackSeen();
    // Whatever came instead of an answer may be the rest of the last block's window.
    if (m_window.receivedAny() && m_previous.single && !(m_previous.block == m_block))
        m_previousIndicted = true;
    showWindow();
    if (!alive())
        return;
    if (!counted && debugWanted()) {
        emit debugLine(QString::fromLatin1(DebugText::NoData));
        if (!alive())
            return;
    }
    ++m_retryCount;
    if (m_retryCount <= MaxRepeats) {
        quietThenSend(qint64(m_timings.quietMs) * 1000);
        return;
    }
    m_retryCount = 0;
    m_state = State::Asking;
    emit retryQuestion();
}

void TransferEngine::dropDoubted()
{
    // A transfer that ends early keeps every block read so far, but not one whose reply is in
    // doubt and was never settled: that one goes back to what the image held.
    if (m_operation != RequestOperation::Read || m_succeeded)
        return;
    const auto restore = [this](const BlockPlan::Block &block) {
        for (int w = block.firstWord; w < block.firstWord + block.count; ++w)
            m_image.WriteImageWord(w, m_before.ReadImageWord(w));
    };
    if (m_rechecking)
        restore(m_block);
    if (m_previousIndicted && m_previous.single)
        restore(m_previous.block);
    m_rechecking = false;
    m_previousIndicted = false;
}

void TransferEngine::finishSoon(TransferEnd end)
{
    if (end != TransferEnd::Succeeded)
        dropDoubted();
    m_end = end;
    m_state = State::Finishing;
    m_timer->start(0);
}
