#include "verifyradio.h"

#include "appstate.h"
#include "blockplan.h"
#include "formprocess.h"
#include "transferkind.h"

QList<QPair<int, int>> fullReadRanges()
{
    QList<QPair<int, int>> ranges;
    for (const BlockPlan::Block &block : BlockPlan(BlockPlan::Kind::Full).blocks()) {
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
    // A state of its own: the transfer reads into its image and sets its flags, so nothing the
    // program holds changes.
    AppState probe;
    probe.LanguageIsEnglish = state.LanguageIsEnglish;
    probe.DecimalSeparator = state.DecimalSeparator;
    probe.ComPortNumber = state.ComPortNumber;
    const TransferSettings settings = transferSettings(TransferKind::FullRead);
    probe.TransferIsRead = settings.isRead;
    probe.TuneDataRange = settings.tuneDataRange;
    probe.SquelchDataRange = settings.squelchDataRange;

    FormProcess process(probe, {}, parent, timings);
    process.setWindowTitle(FormProcess::tr("Verify Radio"));
    process.exec();

    VerifyOutcome outcome;
    outcome.transferred = probe.TransferSucceeded;
    if (!outcome.transferred)
        return outcome;
    // The gaps the read skips hold nothing from the radio, so they are not compared.
    for (const auto &range : fullReadRanges())
        outcome.differences
            += ImageCompare::differences(state.image, probe.image, range.first, range.second);
    return outcome;
}
