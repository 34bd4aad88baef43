#pragma once

#include <QString>
#include <QStringList>
#include <QTest>

// A long test program runs as several CTest entries, so that -j3 runs its parts side by side: an
// entry that names its functions runs only those, and the entry that runs the rest is told, in
// RQ73_SKIP_FUNCTIONS, which functions another entry runs. Call from init().
inline bool runByAnotherEntry()
{
    const QStringList others = qEnvironmentVariable("RQ73_SKIP_FUNCTIONS")
                                   .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return others.contains(QString::fromLatin1(QTest::currentTestFunction()));
}

#define RQ73_SKIP_IF_RUN_ELSEWHERE()                                                               \
    do {                                                                                           \
        if (runByAnotherEntry())                                                                   \
            QSKIP("run by another CTest entry of this program");                                   \
    } while (false)
