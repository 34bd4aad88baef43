#include "blockplan.h"

#include "imagemap.h"
#include "radioimage.h"

#include <QtMath>

#include <algorithm>

BlockPlan::BlockPlan(Range range)
    : m_range(range)
{}

BlockPlan::BlockPlan(TransferKind kind)
    : m_range(rangeOf(kind))
{}

BlockPlan::Block BlockPlan::firstBlock() const
{
    if (m_range == Range::Squelch)
        return {128, 30};
    return {0, 1};
}

int BlockPlan::LastWord() const
{
    return m_range == Range::TuneData ? ImageMap::LastTuneDataWord : ImageMap::LastTransferredWord;
}

double BlockPlan::progressFraction(int nextWord) const
{
    const double fraction = m_range == Range::Squelch ? (nextWord - 128) / 147.0
                                                      : static_cast<double>(nextWord) / LastWord();
    return std::clamp(fraction, 0.0, 1.0);
}

BlockPlan::Step BlockPlan::advance(const Block &accepted) const
{
    const int c = accepted.firstWord + accepted.count;
    Step step;
    step.fraction = progressFraction(c);
    step.nextWord = skipGap(c);
    step.finished = step.nextWord > LastWord();
    step.blockCount = step.finished ? accepted.count : nextBlockCount(c, accepted.count);
    return step;
}

QList<BlockPlan::Block> BlockPlan::blocks() const
{
    QList<Block> result;
    Block block = firstBlock();
    // Every block moves at least one word, so the sequence ends; the bound only guards the loop.
    for (int guard = 0; guard < RadioImage::WordCount; ++guard) {
        result.append(block);
        const Step step = advance(block);
        if (step.finished)
            break;
        block = {step.nextWord, step.blockCount};
    }
    return result;
}

int BlockPlan::skipGap(int nextWord)
{
    return ImageMap::skipGap(nextWord);
}

int BlockPlan::nextBlockCount(int c, int currentCount)
{
    if (c < 16)
        return 32;
    if (c <= 50)
        return std::min(52 - c, 32);
    if (c <= 60)
        return 3;
    if (c <= 64)
        return 14;
    if (c <= 79)
        return 32;
    if (c <= 114)
        return std::min(116 - c, 32);
    if (c <= 157)
        return 30;
    if (c <= 245)
        return std::min(246 - c, 32);
    if (c <= 274)
        return 30;
    return currentCount;
}

QString progressPercentText(double fraction)
{
    const qint64 percent = qRound64(fraction * 100.0);
    if (percent == 0)
        return QStringLiteral("%");
    return QString::number(percent) + QLatin1Char('%');
}
