#include "namedword.h"

#include "radioimage.h"
#include "squelchtable.h"

#include <QCoreApplication>

#include <algorithm>
#include <vector>

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

// Edits from a to b, a swap of two neighbouring letters counting as one: the slips of a typist.
int typingDistance(const QString &a, const QString &b)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    // Three rows of the table are enough for the swap, which looks two rows back.
    std::vector<int> before(m + 1), previous(m + 1), current(m + 1);
    for (qsizetype j = 0; j <= m; ++j)
        previous[j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= n; ++i) {
        current[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[m];
}

} // namespace

QStringList closestNames(const QString &typed, const QStringList &candidates, int limit)
{
    const QString key = typed.trimmed().toLower();
    if (key.isEmpty() || limit <= 0)
        return {};
    // A short name tolerates one slip, a long one up to three; more would suggest names that
    // merely share the dots.
    const int tolerance = key.size() <= 4 ? 1 : key.size() <= 9 ? 2 : 3;

    struct Near
    {
        int distance;
        qsizetype samePrefix; // a slip is likelier late in a name than at its start
        qsizetype order;
    };
    auto samePrefix = [&key](const QString &name) {
        qsizetype n = 0;
        while (n < key.size() && n < name.size() && key.at(n) == name.at(n))
            ++n;
        return n;
    };
    std::vector<Near> near;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const QString name = candidates.at(i).toLower();
        const int d = typingDistance(key, name);
        if (d <= tolerance)
            near.push_back({d, samePrefix(name), i});
    }
    if (near.empty() && key.size() >= 2) {
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            if (candidates.at(i).startsWith(key, Qt::CaseInsensitive))
                near.push_back({0, key.size(), i});
        }
    }
    std::stable_sort(near.begin(), near.end(), [](const Near &x, const Near &y) {
        return x.distance != y.distance ? x.distance < y.distance : x.samePrefix > y.samePrefix;
    });

    // A name one slip away makes those two slips away noise.
    QStringList result;
    for (const Near &n : near) {
        if (result.size() >= limit || n.distance > near.front().distance)
            break;
        result.append(candidates.at(n.order));
    }
    return result;
}

QStringList closestValueNames(const QString &typed, int limit)
{
    return closestNames(typed, NamedWord::names(), limit);
}

const QStringList &NamedWord::names()
{
    static const QStringList list = [] {
        QStringList l;
        for (const TuneValues::Value &v : TuneValues::all())
            l.append(v.name);
        for (int box = 0; box < SquelchTable::BoxCount; ++box)
            l.append(SquelchTable::boxName(box));
        l.append(QString::fromLatin1(TxTimeName));
        return l;
    }();
    return list;
}

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
        const QString level
            = r.reference ? SquelchTable::referenceText() : QString::number(r.level);
        return QStringLiteral("%1 %2 %3")
            .arg(SquelchTable::tableName(r.table), level,
                 SquelchTable::columnCaption(automatic, on));
    }
    case Kind::TxTime:
        return TuneValues::txTimeCaption();
    case Kind::Raw:
        break;
    }
    return {};
}
