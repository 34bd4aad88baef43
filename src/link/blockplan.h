#pragma once

#include "transferkind.h"

#include <QList>
#include <QString>

// Which words a transfer moves and in which blocks: the kind fixes the first block and the last
// word; after each accepted block the gaps of the image are skipped and the next size follows
// from where the block ended.
class BlockPlan
{
public:
    // The words a transfer covers.
    enum class Range {
        Full,     // words 0 to 275, the main window's read and write
        TuneData, // words 0 to 71, the tune data window's write
        Squelch,  // words 128 to 275, the squelch tune window's read and write
    };

    struct Block
    {
        int firstWord = 0;
        int count = 0;
        bool operator==(const Block &other) const = default;
    };

    // The state after a block has been accepted.
    struct Step
    {
        int nextWord = 0;
        int blockCount = 0;
        double fraction = 0.0; // capped at 1
        bool finished = false;
    };

    static constexpr Range rangeOf(TransferKind kind)
    {
        switch (kind) {
        case TransferKind::FullRead:
        case TransferKind::FullWrite:
            return Range::Full;
        case TransferKind::TuneDataWrite:
            return Range::TuneData;
        case TransferKind::SquelchRead:
        case TransferKind::SquelchWrite:
            return Range::Squelch;
        }
        return Range::Full;
    }

    explicit BlockPlan(Range range = Range::Full);
    explicit BlockPlan(TransferKind kind);

    Range range() const { return m_range; }
    Block firstBlock() const;
    int LastWord() const;

    // Progress once every word below nextWord has been transferred.
    double progressFraction(int nextWord) const;

    Step advance(const Block &accepted) const;

    // The whole sequence of requests of a transfer in which every block is accepted.
    QList<Block> blocks() const;

    static int skipGap(int nextWord);
    // c is the first word after the block just accepted, before the gaps are skipped.
    static int nextBlockCount(int c, int currentCount);

private:
    Range m_range;
};

// The "###%" part of the progress text: the fraction in whole percent without leading zeros, so
// anything below half a percent shows only "%".
QString progressPercentText(double fraction);
