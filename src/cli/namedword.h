#pragma once

#include "tunevaluetable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A value of the image as the command line names it: by the name of the tune data window's table
// ("freq-adjust", "usb.mid.high.power"), of the squelch table ("sq.fm.3.on"), or by its word
// address ("0", "130", "0x82"). The transmit time kept in a data file is "tx-time".
struct NamedWord
{
    enum class Kind {
        Tune,    // a value of the tune data window: edit range, transmit rule, one-word frame
        Squelch, // a threshold of the squelch tune window: its rule, and a pair per Test frame
        Raw,     // any other word: kept in files, never sent live
        TxTime,  // TuneTxTime, stored after the image; never part of it
    };

    Kind kind = Kind::Raw;
    QString name; // the canonical name, or "word N" for a word without one
    int word = -1;
    const TuneValues::Value *tune = nullptr;
    int box = -1; // squelch box, 0..151

    // Null when the text names nothing.
    static std::optional<NamedWord> resolve(const QString &text);
    // The value that owns a word address; Raw when none does.
    static NamedWord forWord(int word);
    // Every named value, in the order of the tables: the tune data window's values, then the
    // squelch table; the four squelch levels the tune data window also shows are left out, as
    // they are squelch values already listed.
    static const QList<NamedWord> &all();

    // What the tune data window or the squelch tune window shows beside the value, in the
    // language installed now.
    QString caption() const;

    // Every name resolve() accepts besides word addresses, in the order of the tables.
    static const QStringList &names();
};

// The candidates a mistyped name was most likely meant to be, at most limit of them: the nearest
// within a few typing slips (a letter missing, extra or wrong, or two letters swapped), those
// sharing a longer start first; or, when none is that near, those that begin with what was
// typed. Case does not count. Empty when nothing is close.
QStringList closestNames(const QString &typed, const QStringList &candidates, int limit = 3);
// The same over the names of the values.
QStringList closestValueNames(const QString &typed, int limit = 3);
