#include "imagecompare.h"

#include "squelchtable.h"
#include "tunevaluetable.h"

#include <QCoreApplication>
#include <QHash>

namespace ImageCompare {

namespace {

const char *const Context = "ImageCompare";

//: A row of the squelch tune window: table name, level number, column caption ("SQ level 6 SQ Off")
const char *const LevelPattern = QT_TRANSLATE_NOOP("ImageCompare", "%1 level %2 %3");
//: A reference row of the squelch tune window: table name, "reference", column caption
const char *const ReferencePattern = QT_TRANSLATE_NOOP("ImageCompare", "%1 %2 %3");
//: A differing word: its name, the value before, the value after
const char *const LinePattern = QT_TRANSLATE_NOOP("ImageCompare", "%1: %2 → %3");
//: A differing word no window shows: its address, the value before, the value after
const char *const WordPattern = QT_TRANSLATE_NOOP("ImageCompare", "Word %1: %2 → %3");

QString translated(const char *text)
{
    return QCoreApplication::translate(Context, text);
}

QString squelchName(int word)
{
    using namespace SquelchTable;
    const int box = word - FirstWord;
    const Row r = row(box / 2);
    const bool automatic = r.table != Table::Squelch;
    const bool on = box % 2 == 0;
    const QString caption = columnCaption(automatic, on);
    if (r.reference)
        return translated(ReferencePattern).arg(tableName(r.table), referenceText(), caption);
    return translated(LevelPattern).arg(tableName(r.table), r.levelText(), caption);
}

} // namespace

QList<Difference> differences(const RadioImage &before, const RadioImage &after, int firstWord,
                              int lastWord)
{
    QList<Difference> list;
    const int first = std::max(firstWord, 0);
    const int last = std::min(lastWord, RadioImage::WordCount - 1);
    for (int w = first; w <= last; ++w) {
        const std::int32_t a = before.ReadImageWord(w);
        const std::int32_t b = after.ReadImageWord(w);
        if (a != b)
            list.append({w, a, b});
    }
    return list;
}

QString wordName(int word)
{
    if (word >= SquelchTable::FirstWord && word <= SquelchTable::LastWord)
        return squelchName(word);
    static const QHash<int, int> byWord = [] {
        QHash<int, int> h;
        const QList<TuneValues::Value> &all = TuneValues::all();
        for (int i = 0; i < all.size(); ++i)
            h.insert(all.at(i).wordAddress, i);
        return h;
    }();
    const auto it = byWord.constFind(word);
    if (it == byWord.constEnd())
        return {};
    return TuneValues::accessibleName(TuneValues::all().at(*it));
}

QString describe(const Difference &difference)
{
    const QString name = wordName(difference.word);
    const QString before = QString::number(difference.before);
    const QString after = QString::number(difference.after);
    if (name.isEmpty())
        return translated(WordPattern).arg(QString::number(difference.word), before, after);
    return translated(LinePattern).arg(name, before, after);
}

QStringList describe(const QList<Difference> &differences)
{
    QStringList lines;
    lines.reserve(differences.size());
    for (const Difference &d : differences)
        lines.append(describe(d));
    return lines;
}

} // namespace ImageCompare
