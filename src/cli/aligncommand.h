#pragma once

#include "alignprocedure.h"
#include "cliarguments.h"
#include "exitcode.h"

#include <QCoreApplication>

#include <optional>

// rq73tune-cli align: a procedure run against the radio and a measuring instrument. Progress
// goes to standard error, one line per step's result to standard output.
class AlignCommand
{
    Q_DECLARE_TR_FUNCTIONS(AlignCommand)

public:
    explicit AlignCommand(CliArguments arguments);

    ExitCode run();

    // The values a procedure can align: those of the tune data window that a user edits.
    static std::optional<AlignValueInfo> resolveValue(const QString &text);
    // The nearest value name within a few typing errors; empty when none is near.
    static QString suggestName(const QString &text);
    // The instrument's reply time-out, unless RQ73_ALIGN_TIMINGS gives another ("reply=100",
    // milliseconds): tests use it so that a silent instrument costs milliseconds.
    static int instrumentTimeoutFromEnvironment();
    // True when the command line asks for an HTML or PDF report of a run, which is drawn with
    // Qt Gui; looked at before any application object exists.
    static bool drawsReport(int argc, char *argv[]);

private:
    ExitCode usageError(const QString &text) const;

    CliArguments m_args;
};
