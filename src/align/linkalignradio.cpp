#include "linkalignradio.h"

#include "backupstore.h"
#include "livetuneframe.h"
#include "livetunesender.h"
#include "portopen.h"
#include "radioimage.h"
#include "transferengine.h"
#include "transferkind.h"

#include <QDateTime>
#include <QSerialPort>

LinkAlignRadio::LinkAlignRadio(RadioImage &image, int comPortNumber, QObject *parent)
    : QObject(parent)
    , m_image(image)
    , m_comPortNumber(comPortNumber)
    , m_engine(new TransferEngine(image, this))
    , m_sender(new LiveTuneSender(this))
{
    connect(
        m_engine, &TransferEngine::retryQuestion, this, [this] { m_engine->cancel(); },
        Qt::QueuedConnection);
    connect(m_engine, &TransferEngine::finished, this, [this](bool success) {
        Done done = std::exchange(m_pending, {});
        if (!done || m_cancelled)
            return;
        Outcome outcome;
        outcome.ok = success;
        if (!success) {
            outcome.why = m_pendingRead
                              ? tr("The radio did not answer; the read was given up.")
                              : tr("The radio did not answer; the write was given up. The radio "
                                   "may hold part of the new data: write it again before use.");
        } else if (m_pendingRead && !m_backupFolder.isEmpty()) {
            const BackupStore::SaveResult saved
                = BackupStore(m_backupFolder)
                      .save(m_image, m_tuneTxTime, BackupStore::Kind::FullRead,
                            QDateTime::currentDateTime(), BackupStore::storedLimit());
            outcome.detail = saved.ok() ? saved.path : QString();
            if (!saved.ok())
                outcome.why = tr("No backup could be written: %1").arg(saved.errorText);
        }
        done(outcome);
    });
    connect(m_sender, &LiveTuneSender::frameFinished, this, [this](int, LiveFrameOutcome result) {
        const bool drained = result == LiveFrameOutcome::Sent;
        Done done = std::exchange(m_pending, {});
        if (!done || m_cancelled)
            return;
        Outcome outcome;
        outcome.ok = drained;
        outcome.portFault = !drained;
        if (!drained) {
            // The live link does not say why; a port that cannot be opened says it here.
            QSerialPort probe;
            const PortOpenResult opened = openSerialPort(probe, m_comPortNumber);
            outcome.why = opened.ok() ? tr("The frame did not leave the port %1.")
                                            .arg(portDeviceName(m_comPortNumber))
                                      : portOpenReason(opened);
        }
        done(outcome);
    });
}

LinkAlignRadio::~LinkAlignRadio()
{
    m_engine->stop();
}

void LinkAlignRadio::setTimings(const TransferTimings &timings)
{
    m_engine->setTimings(timings);
}

void LinkAlignRadio::setBackup(const QString &folder, std::int32_t tuneTxTime)
{
    m_backupFolder = folder;
    m_tuneTxTime = tuneTxTime;
}

void LinkAlignRadio::readWholeRadio(Done done)
{
    transfer(TransferKind::FullRead, std::move(done));
}

std::int32_t LinkAlignRadio::word(int address) const
{
    return m_image.ReadImageWord(address);
}

void LinkAlignRadio::setWordLive(int address, std::int32_t value, int txSeconds, Done done)
{
    if (m_cancelled)
        return;
    m_image.WriteImageWord(address, value);
    m_pending = std::move(done);
    const int txIndex = txSeconds > 0 ? txSeconds - 1 : -1;
    m_sender->send(m_comPortNumber, address, [this, address, txIndex] {
        return LiveTune::tuneDataFrame(address, txIndex, m_image);
    });
}

void LinkAlignRadio::writeTuneData(bool wholeRegion, Done done)
{
    transfer(wholeRegion ? TransferKind::FullWrite : TransferKind::TuneDataWrite, std::move(done));
}

void LinkAlignRadio::transfer(TransferKind kind, Done done)
{
    if (m_cancelled)
        return;
    m_pending = std::move(done);
    m_pendingRead = isReadTransfer(kind);
    const PortOpenResult opened = m_engine->start(m_comPortNumber, kind);
    if (!opened.ok()) {
        Done failed = std::exchange(m_pending, {});
        m_engine->stop();
        QMetaObject::invokeMethod(
            this,
            [this, failed, opened] {
                if (!m_cancelled)
                    failed({false, true, portOpenReason(opened), QString()});
            },
            Qt::QueuedConnection);
    }
}

void LinkAlignRadio::cancel()
{
    m_cancelled = true;
    m_pending = {};
    m_engine->stop();
}
