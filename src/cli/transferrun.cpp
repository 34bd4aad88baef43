#include "transferrun.h"

#include "transfertexts.h"

#include "climessages.h"
#include "console.h"
#include "progressreport.h"
#include "transferengine.h"

#include <QCoreApplication>
#include <QEventLoop>

TransferRun::TransferRun(RadioImage &image, int comPortNumber, std::optional<int> retries,
                         QObject *parent)
    : QObject(parent)
    , m_image(image)
    , m_engine(new TransferEngine(image, this))
    , m_comPortNumber(comPortNumber)
    , m_retriesLeft(retries)
{
    m_engine->setTimings(timingsFromEnvironment());
    // The question is answered from the event loop, never inside the engine's own handler.
    connect(m_engine, &TransferEngine::retryQuestion, this, &TransferRun::answerQuestion,
            Qt::QueuedConnection);
}

TransferRun::~TransferRun()
{
    m_engine->stop();
}

TransferTimings TransferRun::timingsFromEnvironment()
{
    TransferTimings timings;
    const QString text = qEnvironmentVariable("RQ73_TRANSFER_TIMINGS");
    for (const QString &entry : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList pair = entry.split(QLatin1Char('='));
        bool ok = false;
        const int value = pair.size() == 2 ? pair.at(1).trimmed().toInt(&ok) : 0;
        if (!ok || value < 0)
            continue;
        const QString key = pair.at(0).trimmed();
        if (key == QLatin1String("reply"))
            timings.replyTimeoutMs = value;
        else if (key == QLatin1String("quiet"))
            timings.quietMs = value;
        else if (key == QLatin1String("handover"))
            timings.handOverUs = value;
    }
    return timings;
}

ExitCode TransferRun::run(TransferKind kind)
{
    const bool isRead = isReadTransfer(kind);
    ProgressReport progress(Console::isTerminal(Console::Stream::Err));
    connect(m_engine, &TransferEngine::progress, this,
            [&progress](double fraction) { progress.update(fraction); });

    QEventLoop loop;
    bool success = false;
    connect(m_engine, &TransferEngine::finished, &loop, [&](bool ok) {
        success = ok;
        loop.quit();
    });

    const PortOpenResult opened = m_engine->start(m_comPortNumber, kind);
    if (!opened.ok()) {
        m_engine->stop();
        QTextStream &err = Console::err();
        err << TransferTexts::reselectPort() << '\n' << portOpenReason(opened) << '\n';
        err.flush();
        return ExitCode::PortFailed;
    }
    loop.exec();
    progress.finish();

    QTextStream &err = Console::err();
    if (success) {
        err << (isRead ? TransferTexts::readOk() : TransferTexts::writeOk()) << '\n';
    } else {
        err << tr("The radio did not answer; the transfer was given up.") << '\n';
        if (!isRead)
            err << tr("The radio may hold part of the new data: write it again before use.")
                << '\n';
    }
    err.flush();
    return success ? ExitCode::Success : ExitCode::NoAnswer;
}

void TransferRun::answerQuestion()
{
    QTextStream &err = Console::err();
    const QString question = TransferTexts::retryQuestion();
    bool retry = false;
    if (m_retriesLeft) {
        retry = *m_retriesLeft > 0;
        if (retry)
            --*m_retriesLeft;
        err << '\n' << question << ' ' << (retry ? tr("Retry") : tr("Cancel")) << '\n';
        err.flush();
    } else if (Console::isTerminal(Console::Stream::In)) {
        retry = askAtTerminal();
    } else {
        // Nobody can answer: a script must not hang on a question.
        err << '\n' << question << ' ' << tr("Cancel") << '\n';
        err.flush();
    }
    if (retry)
        m_engine->retry();
    else
        m_engine->cancel();
}

bool TransferRun::askAtTerminal()
{
    const QString keys = tr("[r = retry, c = cancel]");
    QTextStream &err = Console::err();
    err << '\n' << TransferTexts::retryQuestion() << ' ' << keys << ' ';
    err.flush();
    const QString answer = Console::readLine().trimmed().toLower();
    return answer == QLatin1String("r") || answer == QLatin1String("retry")
           || answer == tr("Retry").toLower();
}
