#pragma once

#include <QList>
#include <QString>

// The values of the tune data window as data: which word each control shows, the range a refresh
// accepts, the range an edit is clamped to, whether a live frame keys the transmitter, its captions
// and a stable machine name. The window builds its rows from this table and nothing else, and a
// command line or a compare report can name the same values.
namespace TuneValues {

enum class Group { FreqAdjust, TxPower, TxDeviation, TxBPS, Sq, Volume, Mic, SqLevel };

enum class Mode { FM, AM, USB, LSB };

struct Value
{
    Group group = Group::FreqAdjust;
    // The control-array index inside its group: TextTxPower(index), TextVolume(index)...
    int index = 0;
    int wordAddress = 0;
    // A refresh shows words outside [shownLow, shownHigh] as 0.
    int shownLow = 0;
    int shownHigh = 0;
    // A committed edit is clamped to [editLow, editHigh]; the slider spans this range.
    int editLow = 0;
    int editHigh = 0;
    // The squelch levels are shown only; the squelch tune window edits them.
    bool editable = true;
    // A live frame of this word carries the transmit time.
    bool transmit = false;
    // Stable, language-free: "freq-adjust", "usb.mid.high.power", "volume.pa"...
    QString name;

    bool shows(int word) const { return word >= shownLow && word <= shownHigh; }
    int clampToEdit(int v) const { return v < editLow ? editLow : (v > editHigh ? editHigh : v); }
};

// Transmit rows per mode, and the modes in the order of the rows: FM rows 0 to 8, AM 9 to 17,
// USB 18 to 26, LSB 27 to 35.
inline constexpr int RowsPerMode = 9;
inline constexpr int TxRowCount = 36;

// Every value of the window, group by group in the order of the table.
const QList<Value> &all();

// Looks a value up by its machine name; null when there is none.
const Value *byName(const QString &name);
// The value of a group's index; null when there is none.
const Value *find(Group group, int index);

Mode modeOfRow(int txRow);
// 0 low, 1 mid, 2 high.
int bandOfRow(int txRow);
int powerOfRow(int txRow);

// The object name of the value's controls of a kind: "Text", "Slider", "UpDown", "Label";
// indexed groups read "TextTxPower(3)".
QString controlName(const Value &value, const char *kind);

// The fixed tab caption of a mode: "AM选项"... in both languages.
QString tabCaption(Mode mode);
// The mode's name as the accessible names use it: "AM", "FM", "USB", "LSB".
QString modeName(Mode mode);

// Texts in the language of the translator installed now.
// The transmit-time list's caption: the window's label and the command line's name for it.
QString txTimeCaption();
QString frameCaption(Mode mode);
// The label beside the value's box: "Frequency Adjust", band and power part run together for a
// power row ("Low BandLow Power"), "Tx Deviation" for a deviation row, "SQ1 On:" for a level.
QString caption(const Value &value);
// What a screen reader says: unique in the window, with the mode and row of a transmit row
// ("AM Low Band Low Power", "AM Low Band Low Power Tx Deviation").
QString accessibleName(const Value &value);

} // namespace TuneValues
