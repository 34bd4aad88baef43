#include "alignresult.h"

QString AlignStepResult::outcomeKey(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Waiting:
        return QStringLiteral("waiting");
    case Outcome::Running:
        return QStringLiteral("running");
    case Outcome::Passed:
        return QStringLiteral("passed");
    case Outcome::Outside:
        return QStringLiteral("outside");
    case Outcome::InstrumentFault:
        return QStringLiteral("instrument-fault");
    case Outcome::RadioFault:
        return QStringLiteral("radio-fault");
    case Outcome::Stopped:
        return QStringLiteral("stopped");
    case Outcome::Skipped:
        return QStringLiteral("skipped");
    }
    return {};
}

QString AlignStepResult::outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Waiting:
        return tr("waiting");
    case Outcome::Running:
        return tr("running");
    case Outcome::Passed:
        return tr("passed");
    case Outcome::Outside:
        return tr("outside the limits");
    case Outcome::InstrumentFault:
        return tr("instrument fault");
    case Outcome::RadioFault:
        return tr("frame not sent");
    case Outcome::Stopped:
        return tr("stopped");
    case Outcome::Skipped:
        return tr("skipped");
    }
    return {};
}
