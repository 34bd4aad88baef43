#pragma once

#include "imagemap.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

class RadioImage;

// The squelch threshold table of the radio as the squelch tune window lays it out: 76 rows of an
// opening ("on") and a closing ("off") threshold in words 128 to 279. Everything here is free of
// widgets so the rules can be checked on their own.
namespace SquelchTable {

inline constexpr int RowCount = 76;
inline constexpr int BoxCount = 2 * RowCount;
inline constexpr int FirstWord = ImageMap::SquelchTable.first;
inline constexpr int LastWord = FirstWord + BoxCount - 1;

// A threshold above this is not a real one; it is shown, and clamped on entry, as OverflowShown.
inline constexpr std::int32_t MaxThreshold = 60000;
inline constexpr std::int32_t OverflowShown = 100;

// Rows per automatic-squelch table, and the table's first row.
inline constexpr int AsqRows = 15;
inline constexpr int FmFirstRow = 0;
inline constexpr int SquelchFirstRow = 15;
inline constexpr int SquelchLevels = 44;
inline constexpr int AmFirstRow = 59;
inline constexpr int AmReferenceRow = 74;
inline constexpr int FmReferenceRow = 75;

enum class Table { Fm, Squelch, Am };

// The five column groups from left to right, each named by the index of its header labels.
inline constexpr int GroupCount = 5;
inline constexpr int GroupHeader[GroupCount] = {0, 4, 1, 2, 3};

struct Row
{
    int index = 0;
    Table table = Table::Fm;
    // 1-based level within its table; 0 for a reference row.
    int level = 0;
    bool reference = false;
    // Column group (0..4, left to right) and line within it (0 is the first row under the
    // headers; the reference rows sit on line AsqRows).
    int group = 0;
    int line = 0;

    int onWord() const { return FirstWord + 2 * index; }
    int offWord() const { return onWord() + 1; }
    // The row label: the level number, nothing for a reference row.
    QString levelText() const { return reference ? QString() : QString::number(level); }
};

Row row(int index);
const QList<Row> &rows();

// The text box k shows word FirstWord + k.
constexpr int boxWord(int box)
{
    return FirstWord + box;
}

// The table name that heads a group and starts an accessible name: "FM", "AM" or "SQ".
QString tableName(Table table);

// The stable, language-free name of box k, for scripts and reports: the table, the level (or
// "ref" for a reference row) and the side, as in "sq.fm.3.on", "sq.sq.6.off", "sq.am.ref.on".
QString boxName(int box);
// The box a name stands for; -1 when there is none.
int boxByName(const QString &name);

// The captions of the table's columns and reference rows in the current language, as the squelch
// window, the compare list and the command line all say them.
QString columnCaption(bool automatic, bool on);
QString referenceText();

// What a box shows for a stored word; showing never changes the image.
QString displayText(std::int32_t word);

// What committing a box's text leads to: the text the box shows afterwards, and the value to
// store, if any. An empty text, or one that is not a whole number, puts the stored value back and
// stores nothing; a number is clamped to 0..MaxThreshold, anything above showing OverflowShown.
struct Commit
{
    QString text;
    std::optional<std::int32_t> value;
};
Commit commitText(const QString &typed, std::int32_t stored);

// One table's rescale from its reference pair.
struct RescaleTable
{
    int firstWord;     // the first pair of the table
    int referenceWord; // the reference pair
};
inline constexpr RescaleTable FmRescale = {128, 278};
inline constexpr RescaleTable AmRescale = {246, 276};

// The scaled value of one threshold: value * reference / first, taken in floating point, rounded
// to the nearest integer with halves to the even neighbour and held within the signed 32-bit
// range. first must not be 0.
std::int32_t scaledValue(std::int32_t value, std::int32_t reference, std::int32_t first);

// Rescales AsqRows pairs (2 * AsqRows words, on and off interleaved) so the first pair becomes
// the reference pair and every other pair keeps its ratio to it. A column whose first value is 0
// is left as it is.
QList<std::int32_t> rescaled(const QList<std::int32_t> &pairs, std::int32_t referenceOn,
                             std::int32_t referenceOff);

// The table's words after a rescale of the image's table: first word and value of each.
QList<QPair<int, std::int32_t>> rescaleOf(const RadioImage &image, const RescaleTable &table);


} // namespace SquelchTable
