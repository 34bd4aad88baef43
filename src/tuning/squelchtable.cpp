#include "squelchtable.h"

#include <QCoreApplication>

#include "radioimage.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace SquelchTable {

namespace {

Row makeRow(int index)
{
    Row r;
    r.index = index;
    if (index < SquelchFirstRow) {
        r.table = Table::Fm;
        r.level = index - FmFirstRow + 1;
        r.group = 0;
        r.line = index - FmFirstRow;
    } else if (index < AmFirstRow) {
        r.table = Table::Squelch;
        r.level = index - SquelchFirstRow + 1;
        // Three columns of 15, 15 and 14 levels after the FM and AM tables.
        r.group = 2 + (r.level - 1) / AsqRows;
        r.line = (r.level - 1) % AsqRows;
    } else if (index < AmReferenceRow) {
        r.table = Table::Am;
        r.level = index - AmFirstRow + 1;
        r.group = 1;
        r.line = index - AmFirstRow;
    } else {
        r.table = index == AmReferenceRow ? Table::Am : Table::Fm;
        r.reference = true;
        r.group = r.table == Table::Am ? 1 : 0;
        r.line = AsqRows;
    }
    return r;
}

QList<Row> makeRows()
{
    QList<Row> all;
    all.reserve(RowCount);
    for (int i = 0; i < RowCount; ++i)
        all.append(makeRow(i));
    return all;
}

std::int32_t clampToWord(double value)
{
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    if (value <= low)
        return std::numeric_limits<std::int32_t>::min();
    if (value >= high)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

// Nearest integer, a half going to the even neighbour, whatever the floating-point rounding mode.
double roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1.0;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

} // namespace

const QList<Row> &rows()
{
    static const QList<Row> all = makeRows();
    return all;
}

Row row(int index)
{
    return rows().at(index);
}

QString tableName(Table table)
{
    switch (table) {
    case Table::Fm:
        return QStringLiteral("FM");
    case Table::Am:
        return QStringLiteral("AM");
    case Table::Squelch:
        break;
    }
    return QStringLiteral("SQ");
}

QString boxName(int box)
{
    if (box < 0 || box >= BoxCount)
        return {};
    const Row r = row(box / 2);
    const QString level = r.reference ? QStringLiteral("ref") : QString::number(r.level);
    return QStringLiteral("sq.%1.%2.%3")
        .arg(tableName(r.table).toLower(), level,
             box % 2 == 0 ? QStringLiteral("on") : QStringLiteral("off"));
}

int boxByName(const QString &name)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (int box = 0; box < BoxCount; ++box)
            h.insert(boxName(box), box);
        return h;
    }();
    return index.value(name, -1);
}

QString columnCaption(bool automatic, bool on)
{
    static const char *const captions[] = {
        QT_TRANSLATE_NOOP("SquelchTable", "SQ On"), QT_TRANSLATE_NOOP("SquelchTable", "SQ Off"),
        QT_TRANSLATE_NOOP("SquelchTable", "ASQ On"), QT_TRANSLATE_NOOP("SquelchTable", "ASQ Off")};
    return QCoreApplication::translate("SquelchTable",
                                       captions[(automatic ? 2 : 0) + (on ? 0 : 1)]);
}

QString referenceText()
{
    return QCoreApplication::translate("SquelchTable", "reference");
}

QString displayText(std::int32_t word)
{
    if (word > MaxThreshold)
        return QString::number(OverflowShown);
    if (word < 0)
        return QStringLiteral("0");
    return QString::number(word);
}

Commit commitText(const QString &typed, std::int32_t stored)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^-?[0-9]+$"));
    const QString text = typed.trimmed();
    if (!wholeNumber.match(text).hasMatch())
        return {displayText(stored), std::nullopt};

    // Too many digits for any integer type still says clearly which side of the range it is on.
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    std::int32_t v = 0;
    if (!ok)
        v = text.startsWith(QLatin1Char('-')) ? 0 : OverflowShown;
    else if (number > MaxThreshold)
        v = OverflowShown;
    else if (number < 0)
        v = 0;
    else
        v = static_cast<std::int32_t>(number);
    return {QString::number(v), v};
}

std::int32_t scaledValue(std::int32_t value, std::int32_t reference, std::int32_t first)
{
    const double quotient
        = static_cast<double>(value) * static_cast<double>(reference) / static_cast<double>(first);
    return clampToWord(roundHalfEven(quotient));
}

QList<std::int32_t> rescaled(const QList<std::int32_t> &pairs, std::int32_t referenceOn,
                             std::int32_t referenceOff)
{
    QList<std::int32_t> result = pairs;
    if (pairs.size() < 2)
        return result;
    // Both first values are taken before the first pair itself is changed.
    const std::int32_t firstOn = pairs.at(0);
    const std::int32_t firstOff = pairs.at(1);
    for (int i = 0; i + 1 < result.size(); i += 2) {
        if (firstOn != 0)
            result[i] = scaledValue(result.at(i), referenceOn, firstOn);
        if (firstOff != 0)
            result[i + 1] = scaledValue(result.at(i + 1), referenceOff, firstOff);
    }
    return result;
}

QList<QPair<int, std::int32_t>> rescaleOf(const RadioImage &image, const RescaleTable &table)
{
    QList<std::int32_t> pairs;
    for (int w = table.firstWord; w < table.firstWord + 2 * AsqRows; ++w)
        pairs.append(image.ReadImageWord(w));
    const QList<std::int32_t> result = rescaled(pairs, image.ReadImageWord(table.referenceWord),
                                                image.ReadImageWord(table.referenceWord + 1));
    QList<QPair<int, std::int32_t>> words;
    for (int i = 0; i < result.size(); ++i)
        words.append({table.firstWord + i, result.at(i)});
    return words;
}


} // namespace SquelchTable
