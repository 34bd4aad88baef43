#pragma once

#include "imagecompare.h"
#include "transfertimings.h"

#include <QList>

class QWidget;
struct AppState;

struct VerifyOutcome
{
    // False when the read did not complete; the transfer window has said why.
    bool transferred = false;
    // The words read that differ: before is the current image, after the radio.
    QList<ImageCompare::Difference> differences;
};

// Reads the full region from the radio into an image of its own, in the transfer window, and
// compares it with the current image, word by word, over exactly the words the read covers. The
// current image, the open windows and the backups are not touched.
VerifyOutcome verifyRadio(const AppState &state, QWidget *parent,
                          const TransferTimings &timings = {});

// The words a full read covers, as ranges of first and last word.
QList<QPair<int, int>> fullReadRanges();
