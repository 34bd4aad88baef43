#pragma once

#include "alignradio.h"
#include "transferkind.h"
#include "transfertimings.h"

#include <QList>
#include <QObject>

class ImageSession;

// The radio of an alignment run in the window program: every try is a word of the session's
// image sent over the session's live link, so the tune data window follows each value, the marks
// show what changed and the whole run becomes one step of the undo history. Transfers run without
// a window and are given up at once: nobody is there to answer Retry during a run.
class SessionAlignRadio : public QObject, public AlignRadio
{
    Q_OBJECT
public:
    explicit SessionAlignRadio(ImageSession &session, QObject *parent = nullptr);

    void setTimings(const TransferTimings &timings) { m_timings = timings; }

    void readWholeRadio(Done done) override;
    std::int32_t word(int address) const override;
    void setWordLive(int address, std::int32_t value, int txSeconds, Done done) override;
    void writeTuneData(bool wholeRegion, Done done) override;
    void cancel() override;
    void finish() override;

private:
    void transfer(TransferKind kind, Done done);

    ImageSession &m_session;
    TransferTimings m_timings;
    QList<int> m_touched;
    int m_pendingWord = -1;
    Done m_pending;
    bool m_cancelled = false;
};
