#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

// The command line of rq73tune-cli, taken apart: the subcommand, its plain arguments and the
// options. A value such as "-5" is a plain argument, not an option, so a negative frequency
// adjustment needs no "--" in front of it.
struct CliArguments
{
    Q_DECLARE_TR_FUNCTIONS(CliArguments)

public:
    QString command;
    QStringList positional;
    std::optional<int> comPort;
    std::optional<int> retries;
    std::optional<int> txSeconds;
    QString file;
    // align: the instrument, the data file and the report, and whether to write at the end.
    QString meter;
    QString save;
    QString report;
    bool noWrite = false;
    bool radio = false;
    bool json = false;
    // read: an existing data file may be replaced.
    bool force = false;
    // write: without reading the radio first; answered yes to the question before writing.
    bool direct = false;
    bool yes = false;
    bool help = false;
    bool version = false;
    // The options given, by their long name, so a command can refuse those that do not apply.
    QStringList given;
    // Empty when the line could be taken apart.
    QString error;

    static CliArguments parse(const QStringList &arguments);
};
