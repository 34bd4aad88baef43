#pragma once

#include <QCoreApplication>
#include <QString>

// The progress of a transfer on standard error: a bar redrawn in place on a terminal, and the
// transfer window's "Complete:" lines, one per block, when standard error is a file or a pipe.
class ProgressReport
{
    Q_DECLARE_TR_FUNCTIONS(ProgressReport)

public:
    explicit ProgressReport(bool terminal);

    void update(double fraction);
    // Ends the bar's line, so the next message starts on a line of its own.
    void finish();

    static constexpr int BarWidth = 30;
    // The bar as it is drawn for a fraction: "[#########.....]".
    static QString bar(double fraction);
    // The figure of a progress line: "0%" to "100%".
    static QString percentText(double fraction);

private:
    bool m_terminal;
    bool m_drawn = false;
};
