#pragma once

#include "radioimage.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

// Differences between two images, word by word, named the way the tune windows name the words.
// Free of widgets: the Verify and Compare commands and their tests use the same lists.
namespace ImageCompare {

struct Difference
{
    int word = 0;
    std::int32_t before = 0;
    std::int32_t after = 0;
    bool operator==(const Difference &other) const = default;
};

// The words from firstWord to lastWord that differ, lowest address first.
QList<Difference> differences(const RadioImage &before, const RadioImage &after, int firstWord = 0,
                              int lastWord = RadioImage::WordCount - 1);

// The name a tune window gives the word, in the language of the translator installed now:
// "USB Mid Band High Power", "SQ level 6 SQ Off". Empty for a word no window shows. A word both
// windows show is named by the squelch tune window, the one that edits it.
QString wordName(int word);

// One line of a report: "USB Mid Band High Power: 55 → 60", or "Word 300: 0 → 5" for a word no
// window shows.
QString describe(const Difference &difference);
QStringList describe(const QList<Difference> &differences);

} // namespace ImageCompare
