#pragma once

#include "alignradio.h"
#include "transferkind.h"
#include "transfertimings.h"

#include <QCoreApplication>
#include <QObject>

class LiveTuneSender;
class RadioImage;
class TransferEngine;

// The radio of an alignment run over the tool's own link: the transfer engine for the read and
// the write, the live link for the tries. A failing transfer is given up at once: nobody is
// there to answer the Retry question during a run.
class LinkAlignRadio : public QObject, public AlignRadio
{
    Q_OBJECT
public:
    // image is where the read puts the radio's data and where every try is written; a non-empty
    // backupFolder keeps a backup of each full read there, with tuneTxTime.
    LinkAlignRadio(RadioImage &image, int comPortNumber, QObject *parent = nullptr);
    ~LinkAlignRadio() override;

    void setTimings(const TransferTimings &timings);
    void setBackup(const QString &folder, std::int32_t tuneTxTime);

    void readWholeRadio(Done done) override;
    std::int32_t word(int address) const override;
    void setWordLive(int address, std::int32_t value, int txSeconds, Done done) override;
    void writeTuneData(bool wholeRegion, Done done) override;
    void cancel() override;

private:
    void transfer(TransferKind kind, Done done);

    RadioImage &m_image;
    int m_comPortNumber;
    TransferEngine *m_engine;
    LiveTuneSender *m_sender;
    QString m_backupFolder;
    std::int32_t m_tuneTxTime = 5;
    Done m_pending;
    bool m_pendingRead = false;
    bool m_cancelled = false;
};
