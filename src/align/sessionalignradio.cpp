#include "sessionalignradio.h"

#include "imagesession.h"
#include "portopen.h"

#include <QTimer>

SessionAlignRadio::SessionAlignRadio(ImageSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
{
    connect(&m_session, &ImageSession::liveFrameFinished, this,
            [this](int key, LiveFrameOutcome outcome) {
                if (key != m_pendingWord || !m_pending || m_cancelled)
                    return;
                m_pendingWord = -1;
                Done done = std::exchange(m_pending, {});
                Outcome result;
                result.ok = outcome == LiveFrameOutcome::Sent;
                result.portFault = !result.ok;
                if (!result.ok)
                    result.why = tr("The frame did not leave the port %1.")
                                     .arg(portDeviceName(m_session.state().ComPortNumber));
                done(result);
            });
}

void SessionAlignRadio::readWholeRadio(Done done)
{
    transfer(TransferKind::FullRead, std::move(done));
}

std::int32_t SessionAlignRadio::word(int address) const
{
    return m_session.word(address);
}

void SessionAlignRadio::setWordLive(int address, std::int32_t value, int txSeconds, Done done)
{
    if (m_cancelled)
        return;
    if (!m_touched.contains(address))
        m_touched.append(address);
    m_session.setWord(address, value);
    m_pendingWord = address;
    m_pending = std::move(done);
    m_session.sendTuneValue(address, txSeconds > 0 ? txSeconds - 1 : -1);
}

void SessionAlignRadio::writeTuneData(bool wholeRegion, Done done)
{
    transfer(wholeRegion ? TransferKind::FullWrite : TransferKind::TuneDataWrite, std::move(done));
}

void SessionAlignRadio::transfer(TransferKind kind, Done done)
{
    if (m_cancelled)
        return;
    // From the event loop: the run expects its answer after the call, as from the link.
    QTimer::singleShot(0, this, [this, kind, done = std::move(done)] {
        if (m_cancelled)
            return;
        const TransferOutcome outcome = m_session.transfer(kind, runnerWithoutWindow(m_timings));
        if (m_cancelled)
            return;
        Outcome result;
        result.ok = outcome.succeeded;
        if (!outcome.succeeded)
            result.why = isReadTransfer(kind)
                             ? tr("The radio did not answer; the read was given up.")
                             : tr("The radio did not answer; the write was given up. The radio "
                                  "may hold part of the new data: write it again before use.");
        else if (outcome.backup && outcome.backup->ok())
            result.detail = outcome.backup->path;
        done(result);
    });
}

void SessionAlignRadio::cancel()
{
    m_cancelled = true;
    m_pending = {};
}

void SessionAlignRadio::finish()
{
    // However the run ended, the transmitter it keyed stops now, not when its seconds run out.
    m_session.stopTransmitting();
    // The whole run is one step: undo puts every value back as it was before the run, with its
    // frame, as an edit's undo would.
    if (!m_touched.isEmpty())
        m_session.commitEdit(std::exchange(m_touched, {}), ImageSession::LiveKind::None);
}
