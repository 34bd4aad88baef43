#include "namedword.h"

#include "radioimage.h"
#include "squelchtable.h"

#include <QCoreApplication>

namespace {

constexpr char TxTimeName[] = "tx-time";

std::optional<int> wordNumber(const QString &text)
{
    bool ok = false;
    int w = -1;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        w = text.mid(2).toInt(&ok, 16);
    else if (!text.isEmpty() && text.at(0).isDigit())
        w = text.toInt(&ok, 10);
    if (!ok || !RadioImage::isValidWordAddress(w))
        return std::nullopt;
    return w;
}

NamedWord squelchWord(int box)
{
    NamedWord n;
    n.kind = NamedWord::Kind::Squelch;
    n.box = box;
    n.word = SquelchTable::boxWord(box);
    n.name = SquelchTable::boxName(box);
    return n;
}

NamedWord tuneWord(const TuneValues::Value &value)
{
    NamedWord n;
    n.kind = NamedWord::Kind::Tune;
    n.tune = &value;
    n.word = value.wordAddress;
    n.name = value.name;
    return n;
}

} // namespace

std::optional<NamedWord> NamedWord::resolve(const QString &text)
{
    if (text == QLatin1String(TxTimeName)) {
        NamedWord n;
        n.kind = Kind::TxTime;
        n.name = text;
        return n;
    }
    if (const int box = SquelchTable::boxByName(text); box >= 0)
        return squelchWord(box);
    if (const TuneValues::Value *value = TuneValues::byName(text)) {
        // The squelch levels the tune data window only shows are squelch values.
        if (value->group == TuneValues::Group::SqLevel)
            return squelchWord(value->wordAddress - SquelchTable::FirstWord);
        return tuneWord(*value);
    }
    if (const std::optional<int> w = wordNumber(text))
        return forWord(*w);
    return std::nullopt;
}

NamedWord NamedWord::forWord(int word)
{
    if (word >= SquelchTable::FirstWord && word <= SquelchTable::LastWord)
        return squelchWord(word - SquelchTable::FirstWord);
    for (const TuneValues::Value &v : TuneValues::all()) {
        if (v.wordAddress == word && v.group != TuneValues::Group::SqLevel)
            return tuneWord(v);
    }
    NamedWord n;
    n.word = word;
    n.name = QStringLiteral("word %1").arg(word);
    return n;
}

const QList<NamedWord> &NamedWord::all()
{
    static const QList<NamedWord> list = [] {
        QList<NamedWord> l;
        for (const TuneValues::Value &v : TuneValues::all()) {
            if (v.group != TuneValues::Group::SqLevel)
                l.append(tuneWord(v));
        }
        for (int box = 0; box < SquelchTable::BoxCount; ++box)
            l.append(squelchWord(box));
        return l;
    }();
    return list;
}

QString NamedWord::caption() const
{
    switch (kind) {
    case Kind::Tune:
        return TuneValues::accessibleName(*tune);
    case Kind::Squelch: {
        // The accessible name of the squelch tune window's box, in that window's words.
        const SquelchTable::Row r = SquelchTable::row(box / 2);
        const bool automatic = r.table != SquelchTable::Table::Squelch;
        const bool on = box % 2 == 0;
        const char *side = automatic ? (on ? QT_TRANSLATE_NOOP("FormTuneSq", "ASQ On")
                                           : QT_TRANSLATE_NOOP("FormTuneSq", "ASQ Off"))
                                     : (on ? QT_TRANSLATE_NOOP("FormTuneSq", "SQ On")
                                           : QT_TRANSLATE_NOOP("FormTuneSq", "SQ Off"));
        const QString level = r.reference ? QCoreApplication::translate("FormTuneSq", "reference")
                                          : QString::number(r.level);
        return QStringLiteral("%1 %2 %3")
            .arg(SquelchTable::tableName(r.table), level,
                 QCoreApplication::translate("FormTuneSq", side));
    }
    case Kind::TxTime:
        return QCoreApplication::translate("FormTune", "Tx Time(S)");
    case Kind::Raw:
        break;
    }
    return {};
}
