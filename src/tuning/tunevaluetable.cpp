#include "tunevaluetable.h"

#include "imagemap.h"

#include <QCoreApplication>
#include <QHash>

namespace TuneValues {

namespace {

const char *const Context = "TuneValues";

const char *const BandParts[] = {
    QT_TRANSLATE_NOOP("TuneValues", "Low Band"),
    QT_TRANSLATE_NOOP("TuneValues", "Mid Band"),
    QT_TRANSLATE_NOOP("TuneValues", "High Band"),
};
// The high level is written with an ideographic space, as the radio's own panel has it.
const char *const PowerParts[] = {
    QT_TRANSLATE_NOOP("TuneValues", "Low Power"),
    QT_TRANSLATE_NOOP("TuneValues", "Mid Power"),
    QT_TRANSLATE_NOOP("TuneValues", "High　Power"),
};
const char *const SqCaptions[] = {
    QT_TRANSLATE_NOOP("TuneValues", "Low Band SQ"),
    QT_TRANSLATE_NOOP("TuneValues", "Mid Band SQ"),
    QT_TRANSLATE_NOOP("TuneValues", "High Band SQ"),
};
const char *const BpsCaptions[] = {
    QT_TRANSLATE_NOOP("TuneValues", "Low Band BPS"),
    QT_TRANSLATE_NOOP("TuneValues", "Mid Band BPS"),
    QT_TRANSLATE_NOOP("TuneValues", "High Band BPS"),
};
const char *const VolumeCaptions[] = {
    QT_TRANSLATE_NOOP("TuneValues", "AM Volume"),  QT_TRANSLATE_NOOP("TuneValues", "FM Volume"),
    QT_TRANSLATE_NOOP("TuneValues", "PA Volume"),  QT_TRANSLATE_NOOP("TuneValues", "TB Volume"),
    QT_TRANSLATE_NOOP("TuneValues", "USB Volume"), QT_TRANSLATE_NOOP("TuneValues", "LSB Volume"),
};
const char *const MicCaptions[] = {
    QT_TRANSLATE_NOOP("TuneValues", "FM Mic Deviation"),
    QT_TRANSLATE_NOOP("TuneValues", "AM Mic Deviation"),
    QT_TRANSLATE_NOOP("TuneValues", "USB Mic Deviation"),
    QT_TRANSLATE_NOOP("TuneValues", "LSB Mic Deviation"),
    QT_TRANSLATE_NOOP("TuneValues", "PA Mic Deviation"),
};
const char *const FreqAdjustCaption = QT_TRANSLATE_NOOP("TuneValues", "Frequency Adjust");
const char *const DeviationCaption = QT_TRANSLATE_NOOP("TuneValues", "Tx Deviation");
//: Accessible name of a transmit row: mode, band part, power part
const char *const RowNamePattern = QT_TRANSLATE_NOOP("TuneValues", "%1 %2 %3");
//: Accessible name of a deviation row: its transmit row, then "Tx Deviation"
const char *const DeviationNamePattern = QT_TRANSLATE_NOOP("TuneValues", "%1 %2");
const char *const FrameCaptions[] = {
    QT_TRANSLATE_NOOP("TuneValues", "FM Setting"),
    QT_TRANSLATE_NOOP("TuneValues", "AM Setting"),
    QT_TRANSLATE_NOOP("TuneValues", "USB Setting"),
    QT_TRANSLATE_NOOP("TuneValues", "LSB Setting"),
};

// Never translated: the squelch levels beside words 158, 159, 128 and 129.
const char *const LevelCaptions[] = {"SQ1 On:", "SQ1 Off:", "ASQ1 On:", "ASQ1 Off:"};
const int LevelWords[] = {158, 159, 128, 129};
const char *const LevelNames[]
    = {"level.sq1-on", "level.sq1-off", "level.asq1-on", "level.asq1-off"};

const char *const ModeKeys[] = {"fm", "am", "usb", "lsb"};
const char *const BandKeys[] = {"low", "mid", "high"};
const char *const VolumeKeys[] = {"am", "fm", "pa", "tb", "usb", "lsb"};
const char *const MicKeys[] = {"fm", "am", "usb", "lsb", "pa"};

QString translated(const char *text)
{
    return QCoreApplication::translate(Context, text);
}

int powerWord(int row)
{
    return ImageMap::txPowerWord(row);
}

QList<Value> buildTable()
{
    QList<Value> table;
    auto add = [&table](Group group, int index, int word, int shownLow, int shownHigh, int editLow,
                        int editHigh, bool transmit, const QString &name) {
        Value v;
        v.group = group;
        v.index = index;
        v.wordAddress = word;
        v.shownLow = shownLow;
        v.shownHigh = shownHigh;
        v.editLow = editLow;
        v.editHigh = editHigh;
        // The table states it and the map decides it: the two must never part.
        Q_ASSERT(transmit == ImageMap::isTransmitWord(word));
        v.transmit = ImageMap::isTransmitWord(word);
        v.name = name;
        table.append(v);
    };

    add(Group::FreqAdjust, 0, 0, -300, 300, -300, 300, true, QStringLiteral("freq-adjust"));
    for (int i = 0; i < TxRowCount; ++i) {
        const QString row = QStringLiteral("%1.%2.%3.")
                                .arg(QLatin1String(ModeKeys[i / RowsPerMode]),
                                     QLatin1String(BandKeys[bandOfRow(i)]),
                                     QLatin1String(BandKeys[powerOfRow(i)]));
        add(Group::TxPower, i, powerWord(i), 0, 100, 0, 100, true, row + QStringLiteral("power"));
        // The FM deviations reach further than every other value.
        const int high = i < RowsPerMode ? 255 : 100;
        add(Group::TxDeviation, i, powerWord(i) + 1, 0, high, 0, high, true,
            row + QStringLiteral("deviation"));
    }
    for (int j = 0; j < 3; ++j) {
        // A refresh shows a rate below 10 as 0, though an edit may store it.
        add(Group::TxBPS, j, 61 + j, 10, 100, 0, 100, true,
            QStringLiteral("bps.") + QLatin1String(BandKeys[j]));
    }
    for (int j = 0; j < 3; ++j)
        add(Group::Sq, j, 64 + j, 0, 100, 0, 100, false,
            QStringLiteral("sq.") + QLatin1String(BandKeys[j]));
    for (int j = 0; j < 6; ++j)
        add(Group::Volume, j, j <= 3 ? 67 + j : 76 + (j - 4), 0, 100, 0, 100, false,
            QStringLiteral("volume.") + QLatin1String(VolumeKeys[j]));
    for (int j = 0; j < 5; ++j)
        add(Group::Mic, j, 71 + j, 0, 100, 0, 100, j <= 3,
            QStringLiteral("mic.") + QLatin1String(MicKeys[j]));
    for (int k = 0; k < 4; ++k) {
        add(Group::SqLevel, k, LevelWords[k], 0, 100, 0, 100, false,
            QString::fromLatin1(LevelNames[k]));
        table.last().editable = false;
    }
    return table;
}

} // namespace

const QList<Value> &all()
{
    static const QList<Value> table = buildTable();
    return table;
}

const Value *byName(const QString &name)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (int i = 0; i < all().size(); ++i)
            h.insert(all().at(i).name, i);
        return h;
    }();
    const auto it = index.constFind(name);
    return it == index.constEnd() ? nullptr : &all().at(*it);
}

const Value *find(Group group, int index)
{
    for (const Value &v : all()) {
        if (v.group == group && v.index == index)
            return &v;
    }
    return nullptr;
}

Mode modeOfRow(int txRow)
{
    return static_cast<Mode>(txRow / RowsPerMode);
}

int bandOfRow(int txRow)
{
    return (txRow / 3) % 3;
}

int powerOfRow(int txRow)
{
    return txRow % 3;
}

QString controlName(const Value &value, const char *kind)
{
    const QString k = QString::fromLatin1(kind);
    switch (value.group) {
    case Group::FreqAdjust:
        return k + QStringLiteral("FreqAdjust");
    case Group::TxPower:
        return k + QStringLiteral("TxPower(%1)").arg(value.index);
    case Group::TxDeviation:
        return k + QStringLiteral("TxDeviation(%1)").arg(value.index);
    case Group::TxBPS:
        return k + QStringLiteral("TxBPS(%1)").arg(value.index);
    case Group::Sq:
        return k + QStringLiteral("Sq(%1)").arg(value.index);
    case Group::Volume:
        return k + QStringLiteral("Volume(%1)").arg(value.index);
    case Group::Mic:
        return k + QStringLiteral("Mic(%1)").arg(value.index);
    case Group::SqLevel:
        if (k == QStringLiteral("Label"))
            return k + QStringLiteral("SqLevel(%1)").arg(value.index);
        // SQ1 is the FM table, ASQ1 the AM table.
        return k
               + (value.index < 2 ? QStringLiteral("FSq(%1)") : QStringLiteral("ASq(%1)"))
                     .arg(value.index % 2);
    }
    return {};
}

QString tabCaption(Mode mode)
{
    switch (mode) {
    case Mode::FM:
        return QStringLiteral("FM选项");
    case Mode::AM:
        return QStringLiteral("AM选项");
    case Mode::USB:
        return QStringLiteral("USB选项");
    case Mode::LSB:
        return QStringLiteral("LSB选项");
    }
    return {};
}

QString txTimeCaption()
{
    return QCoreApplication::translate("TuneValues", "Tx Time(S)");
}

QString modeName(Mode mode)
{
    static const char *const names[] = {"FM", "AM", "USB", "LSB"};
    return QString::fromLatin1(names[static_cast<int>(mode)]);
}

QString frameCaption(Mode mode)
{
    return translated(FrameCaptions[static_cast<int>(mode)]);
}

QString caption(const Value &value)
{
    switch (value.group) {
    case Group::FreqAdjust:
        return translated(FreqAdjustCaption);
    case Group::TxPower:
        return translated(BandParts[bandOfRow(value.index)])
               + translated(PowerParts[powerOfRow(value.index)]);
    case Group::TxDeviation:
        return translated(DeviationCaption);
    case Group::TxBPS:
        return translated(BpsCaptions[value.index]);
    case Group::Sq:
        return translated(SqCaptions[value.index]);
    case Group::Volume:
        return translated(VolumeCaptions[value.index]);
    case Group::Mic:
        return translated(MicCaptions[value.index]);
    case Group::SqLevel:
        return QString::fromLatin1(LevelCaptions[value.index]);
    }
    return {};
}

QString accessibleName(const Value &value)
{
    auto rowName = [](int row) {
        // The panel runs band and power together; spoken, they need the space between them.
        QString power = translated(PowerParts[powerOfRow(row)]);
        power.replace(QChar(0x3000), QLatin1Char(' '));
        return translated(RowNamePattern)
            .arg(modeName(modeOfRow(row)), translated(BandParts[bandOfRow(row)]), power);
    };
    switch (value.group) {
    case Group::TxPower:
        return rowName(value.index);
    case Group::TxDeviation:
        return translated(DeviationNamePattern).arg(rowName(value.index), caption(value));
    case Group::SqLevel: {
        QString text = caption(value);
        text.chop(1); // the colon
        return text;
    }
    default:
        return caption(value);
    }
}

} // namespace TuneValues
