#include "progressreport.h"

#include "transfertexts.h"

#include "console.h"

#include <algorithm>
#include <cmath>

ProgressReport::ProgressReport(bool terminal)
    : m_terminal(terminal)
{}

QString ProgressReport::bar(double fraction)
{
    const int filled = static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * BarWidth));
    return QLatin1Char('[') + QString(filled, QLatin1Char('#'))
           + QString(BarWidth - filled, QLatin1Char('.')) + QLatin1Char(']');
}

QString ProgressReport::percentText(double fraction)
{
    return QString::number(qRound64(std::clamp(fraction, 0.0, 1.0) * 100.0)) + QLatin1Char('%');
}

void ProgressReport::update(double fraction)
{
    // The transfer window's own words; but where the window leaves the figure out before the
    // first block is done, a line that a script reads always has its number.
    const QString text = TransferTexts::complete() + percentText(fraction);
    QTextStream &err = Console::err();
    if (m_terminal) {
        err << '\r' << bar(fraction) << ' ' << text << "   ";
        m_drawn = true;
    } else {
        err << text << '\n';
    }
    err.flush();
}

void ProgressReport::finish()
{
    if (m_terminal && m_drawn) {
        Console::err() << '\n';
        Console::err().flush();
    }
    m_drawn = false;
}
