#pragma once

#include "cliarguments.h"
#include "exitcode.h"
#include "namedword.h"
#include "transferkind.h"

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <optional>

class RadioImage;

// The subcommands of rq73tune-cli. Results go to standard output, messages and progress to
// standard error; every command ends with one of the exit codes.
class CliCommands
{
    Q_DECLARE_TR_FUNCTIONS(CliCommands)

public:
    explicit CliCommands(CliArguments arguments);

    ExitCode run();

    static QString usage();

private:
    ExitCode ports();
    ExitCode read();
    // The write as the windows do it by default: read, keep, list, ask, write, read back.
    ExitCode safeWrite(const RadioImage &image, std::int32_t tuneTxTime);
    ExitCode write();
    ExitCode verify();
    ExitCode get();
    ExitCode set();
    ExitCode diff();
    ExitCode show();

    // Refuses a wrong number of plain arguments, or options the command does not take.
    bool accept(int positionalCount, const QStringList &options);
    ExitCode usageError(const QString &text) const;
    std::optional<NamedWord> resolveName(const QString &text);

    ExitCode load(const QString &path, RadioImage &image, std::int32_t &tuneTxTime) const;
    ExitCode save(const QString &path, const RadioImage &image, std::int32_t tuneTxTime) const;
    ExitCode transfer(RadioImage &image, TransferKind kind) const;
    ExitCode sendLive(const NamedWord &named, const RadioImage &image, int txTimeIndex) const;
    int comPort() const;

    CliArguments m_args;
    QString m_usageError;
};
