#pragma once

#include "exitcode.h"
#include "transferkind.h"
#include "transfertimings.h"

#include <QObject>

#include <optional>

class RadioImage;
class TransferEngine;
class ProgressReport;

// One transfer of the command line, run to its end: the transfer engine of the window program,
// its progress on standard error, and the window's Retry/Cancel question answered by the
// --retries count, by the technician at a terminal, or else with Cancel.
class TransferRun : public QObject
{
    Q_OBJECT
public:
    // retries: how many times the question is answered Retry before Cancel; without a count the
    // question is asked at a terminal and answered Cancel anywhere else.
    TransferRun(RadioImage &image, int comPortNumber, std::optional<int> retries,
                QObject *parent = nullptr);
    ~TransferRun() override;

    // Success, NoAnswer or PortFailed; the reason is on standard error by then.
    ExitCode run(TransferKind kind);

    // The product's timings, unless the environment variable RQ73_TRANSFER_TIMINGS changes some
    // of them ("reply=50,quiet=10,handover=350": milliseconds, the hand-over in
    // microseconds). Tests use it so that a silent radio costs milliseconds; entries that are not
    // understood are left at their defaults.
    static TransferTimings timingsFromEnvironment();

private:
    void answerQuestion();
    bool askAtTerminal();

    RadioImage &m_image;
    TransferEngine *m_engine;
    int m_comPortNumber;
    std::optional<int> m_retriesLeft;
    bool m_questionAsked = false;
};
