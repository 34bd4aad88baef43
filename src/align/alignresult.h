#pragma once

#include "alignprocedure.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// What an alignment run did, try by try: what the reports are written from and the window shows.
struct AlignTry
{
    std::int32_t value = 0;
    double reading = 0.0;
};

struct AlignStepResult
{
    Q_DECLARE_TR_FUNCTIONS(AlignStepResult)

public:
    enum class Outcome {
        Waiting, // not reached yet
        Running,
        Passed,          // within the limits
        Outside,         // no value brought the reading within the limits
        InstrumentFault, // the instrument failed during the step
        RadioFault,      // a frame did not leave the port
        Stopped,         // the run was stopped during the step
        Skipped,         // the run ended before the step
    };

    AlignStep step;
    std::int32_t oldValue = 0;
    std::int32_t newValue = 0;
    std::optional<double> oldReading;
    std::optional<double> newReading;
    QList<AlignTry> tries;
    Outcome outcome = Outcome::Waiting;
    QString why; // what went wrong, in the current language

    // "passed", "outside"...: the report's machine-readable result.
    static QString outcomeKey(Outcome outcome);
    // In the current language.
    static QString outcomeText(Outcome outcome);
};

struct AlignRunResult
{
    enum class Outcome {
        Running,
        Passed,  // every step within its limits (and written, unless told not to)
        Outside, // some step outside its limits
        InstrumentFault,
        NoAnswer,  // the radio did not answer the read or the write
        PortFault, // the radio's port cannot be opened, or a frame did not leave it
        Stopped,
    };

    QString procedureName;
    QString instrument;
    QDateTime started;
    QDateTime finished;
    QList<AlignStepResult> steps;
    Outcome outcome = Outcome::Running;
    bool written = false;
    QString backupPath;
    QString why;
};
