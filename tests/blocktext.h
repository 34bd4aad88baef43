#pragma once

#include "blockplan.h"

#include <QLatin1Char>
#include <QList>
#include <QString>
#include <QStringList>

// A transfer's blocks as "0;16-47;48-51", so a whole sequence compares as one literal.
inline QString blocksText(const QList<BlockPlan::Block> &blocks)
{
    QStringList parts;
    for (const BlockPlan::Block &b : blocks) {
        parts << (b.count == 1
                      ? QString::number(b.firstWord)
                      : QStringLiteral("%1-%2").arg(b.firstWord).arg(b.firstWord + b.count - 1));
    }
    return parts.join(QLatin1Char(';'));
}
