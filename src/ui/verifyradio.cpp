#include "verifyradio.h"

#include "appstate.h"
#include "blockplan.h"
#include "formprocess.h"
#include "transferkind.h"

QList<QPair<int, int>> fullReadRanges()
{
    QList<QPair<int, int>> ranges;
    for (const BlockPlan::Block &block : BlockPlan(BlockPlan::Range::Full).blocks()) {
        const int last = block.firstWord + block.count - 1;
        if (!ranges.isEmpty() && ranges.last().second + 1 == block.firstWord)
            ranges.last().second = last;
        else
            ranges.append({block.firstWord, last});
    }
    return ranges;
}

VerifyOutcome verifyRadio(const AppState &state, QWidget *parent, const TransferTimings &timings)
{
    // An image of its own: nothing the program holds changes.
    RadioImage radio;
    FormProcess process(radio, TransferKind::FullRead, state.ComPortNumber, {}, parent, timings);
    process.setWindowTitle(FormProcess::tr("Verify Radio"));
    process.exec();

    VerifyOutcome outcome;
    outcome.transferred = process.succeeded();
    if (!outcome.transferred)
        return outcome;
    // The gaps the read skips hold nothing from the radio, so they are not compared.
    for (const auto &range : fullReadRanges())
        outcome.differences
            += ImageCompare::differences(state.image, radio, range.first, range.second);
    return outcome;
}
