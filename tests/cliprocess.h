#pragma once

#include <QList>
#include <QProcess>
#include <QPair>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

// What a run of the command-line program left: its exit code (-2 when it crashed, -1 when it
// did not start or finish) and its two output streams.
struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the command-line program as a script would: nobody types (standard input is an empty
// pipe), and the simulated radio and instrument answer from this process's event loop, so the
// wait runs it. A run past limitMs is killed and counts as not finished.
inline Result runCliProgram(const QString &program, const QStringList &arguments,
                            const QProcessEnvironment &env, int limitMs)
{
    QProcess process;
    process.setProcessEnvironment(env);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    process.closeWriteChannel();
    if (!finished.wait(limitMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    Result r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

// The environment a test runs the program in: its settings and data under folder, English, and
// the product's timings except those given (variable name to value; an empty value is left out).
inline QProcessEnvironment cliEnvironment(const QString &configHome, const QString &dataHome,
                                          const QList<QPair<QString, QString>> &timings = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    if (!dataHome.isEmpty())
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.remove(QStringLiteral("LANGUAGE"));
    env.remove(QStringLiteral("RQ73_TRANSFER_TIMINGS"));
    env.remove(QStringLiteral("RQ73_ALIGN_TIMINGS"));
    for (const auto &[name, value] : timings) {
        if (!value.isEmpty())
            env.insert(name, value);
    }
    return env;
}
