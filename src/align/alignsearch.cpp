#include "alignsearch.h"

#include <algorithm>
#include <cmath>

namespace AlignSearch {

namespace {

// A gentle first move: a transmit value far from where the radio was could mean far more power.
constexpr int ProbeDivisor = 8;

int clampToRange(const Range &range, double v)
{
    if (!std::isfinite(v))
        return v > 0 ? range.high : range.low;
    const double clamped = std::clamp(v, double(range.low), double(range.high));
    return static_cast<int>(std::lround(clamped));
}

bool tried(const QList<Try> &tries, int value)
{
    return std::any_of(tries.begin(), tries.end(),
                       [value](const Try &t) { return t.value == value; });
}

} // namespace

bool withinLimits(const Range &range, double reading)
{
    return reading >= range.limitLow && reading <= range.limitHigh;
}

int bestTry(const Range &range, const QList<Try> &tries)
{
    int best = -1;
    for (int i = 0; i < tries.size(); ++i) {
        if (best < 0
            || std::abs(tries.at(i).reading - range.target)
                   < std::abs(tries.at(best).reading - range.target))
            best = i;
    }
    return best;
}

int probeValue(const Range &range, int first)
{
    const int step = std::max(1, (range.high - range.low) / ProbeDivisor);
    const int middle = range.low + (range.high - range.low) / 2;
    const int probe = first <= middle ? first + step : first - step;
    return std::clamp(probe, range.low, range.high);
}

std::optional<Line> fit(const QList<Try> &tries)
{
    const double n = double(tries.size());
    if (n < 2)
        return std::nullopt;
    double meanV = 0.0;
    double meanR = 0.0;
    for (const Try &t : tries) {
        meanV += t.value;
        meanR += t.reading;
    }
    meanV /= n;
    meanR /= n;
    double sVV = 0.0;
    double sVR = 0.0;
    for (const Try &t : tries) {
        sVV += (t.value - meanV) * (t.value - meanV);
        sVR += (t.value - meanV) * (t.reading - meanR);
    }
    if (sVV == 0.0 || sVR == 0.0)
        return std::nullopt;
    Line line;
    line.slope = sVR / sVV;
    line.offset = meanR - line.slope * meanV;
    return line;
}

Decision next(const Range &range, const QList<Try> &tries)
{
    if (tries.isEmpty())
        return {false, std::clamp(range.start, range.low, range.high)};
    if (tries.size() >= range.maxTries)
        return {true, 0};
    const Try &best = tries.at(bestTry(range, tries));
    if (tries.size() == 1) {
        if (withinLimits(range, best.reading))
            return {true, 0};
        const int probe = probeValue(range, best.value);
        // A range of a single value leaves nothing to try.
        return probe == best.value ? Decision{true, 0} : Decision{false, probe};
    }

    const std::optional<Line> line = fit(tries);
    // A reading that does not move with the value says nothing about where the target lies.
    if (!line)
        return {true, 0};
    const int predicted = clampToRange(range, (range.target - line->offset) / line->slope);
    if (tried(tries, predicted))
        return {true, 0};
    if (withinLimits(range, best.reading)) {
        // Within the limits, a value is worth another transmission only when the line promises
        // a reading nearer the target by more than a quarter of the limits' width; anything less
        // is lost in the instrument's noise.
        const double expected = line->offset + line->slope * predicted;
        const double gain
            = std::abs(best.reading - range.target) - std::abs(expected - range.target);
        if (gain <= (range.limitHigh - range.limitLow) / 4)
            return {true, 0};
    }
    return {false, predicted};
}

} // namespace AlignSearch
