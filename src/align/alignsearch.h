#pragma once

#include <QList>

#include <optional>

// The search of one alignment step as a pure function: from the value's range, the target and
// the readings so far to the next value to try, or the end of the step. The response of the
// radio is taken as a straight line whose slope may have either sign; each new reading refines
// the line.
namespace AlignSearch {

struct Range
{
    int low = 0; // the value's edit range
    int high = 0;
    int start = 0; // the value the radio held before the step
    double target = 0.0;
    double limitLow = 0.0;
    double limitHigh = 0.0;
    int maxTries = 12;
};

struct Try
{
    int value = 0;
    double reading = 0.0;
};

struct Decision
{
    bool stop = false;
    int next = 0; // the value to try when not stopping
};

Decision next(const Range &range, const QList<Try> &tries);

bool withinLimits(const Range &range, double reading);
// The try whose reading lies nearest the target (the earliest of equals); -1 for none.
int bestTry(const Range &range, const QList<Try> &tries);
// The second value of a step: an eighth of the range away from the first, towards the middle.
int probeValue(const Range &range, int first);

// The least-squares line reading = offset + slope × value through the tries; null when the
// values do not span anything or the line is flat.
struct Line
{
    double offset = 0.0;
    double slope = 0.0;
};
std::optional<Line> fit(const QList<Try> &tries);

} // namespace AlignSearch
