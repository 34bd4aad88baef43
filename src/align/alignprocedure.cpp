#include "alignprocedure.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>

namespace {

const QStringList RootKeys{QStringLiteral("name"), QStringLiteral("steps")};
const QStringList StepKeys{QStringLiteral("value"),     QStringLiteral("setup"),
                           QStringLiteral("measure"),   QStringLiteral("target"),
                           QStringLiteral("low"),       QStringLiteral("high"),
                           QStringLiteral("unit"),      QStringLiteral("tx"),
                           QStringLiteral("settle_ms"), QStringLiteral("max_tries")};

QString unknownKey(const QJsonObject &object, const QStringList &known)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!known.contains(it.key()))
            return it.key();
    }
    return {};
}

// A whole number within [low, high], or null.
std::optional<int> wholeNumber(const QJsonValue &v, int low, int high)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || d < low || d > high)
        return std::nullopt;
    return static_cast<int>(d);
}

int editDistance(const QString &a, const QString &b)
{
    QList<int> row(b.size() + 1);
    for (int j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min(
                {row[j] + 1, row[j - 1] + 1, diagonal + (a.at(i - 1) == b.at(j - 1) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

class StepReader
{
    Q_DECLARE_TR_FUNCTIONS(AlignProcedure)

public:
    StepReader(int number, const AlignValueResolver &resolve, const AlignNameSuggester &suggest)
        : m_number(number)
        , m_resolve(resolve)
        , m_suggest(suggest)
    {}

    std::optional<AlignStep> read(const QJsonValue &json)
    {
        if (!json.isObject())
            return fail(tr("it is not an object."));
        const QJsonObject o = json.toObject();
        if (const QString key = unknownKey(o, StepKeys); !key.isEmpty())
            return fail(tr("unknown key \"%1\"; a step takes %2.")
                            .arg(key, StepKeys.join(QStringLiteral(", "))));

        AlignStep step;
        const QJsonValue value = o.value(QStringLiteral("value"));
        if (!value.isString())
            return fail(tr("\"value\" must name the value to align."));
        const std::optional<AlignValueInfo> info = m_resolve(value.toString());
        if (!info) {
            const QString close = m_suggest ? m_suggest(value.toString()) : QString();
            QString text
                = tr("no value that can be aligned is called \"%1\".").arg(value.toString());
            if (!close.isEmpty())
                text += QLatin1Char(' ') + tr("Did you mean \"%1\"?").arg(close);
            return fail(text);
        }
        step.value = *info;

        const QJsonValue setup = o.value(QStringLiteral("setup"));
        if (!setup.isUndefined()) {
            if (!setup.isArray())
                return fail(tr("\"setup\" must be a list of instrument commands."));
            for (const QJsonValue &command : setup.toArray()) {
                if (!command.isString() || command.toString().trimmed().isEmpty()
                    || command.toString().contains(QLatin1Char('\n')))
                    return fail(tr("every entry of \"setup\" must be one instrument command."));
                step.setup.append(command.toString().trimmed());
            }
        }

        const QJsonValue measure = o.value(QStringLiteral("measure"));
        if (!measure.isString() || measure.toString().trimmed().isEmpty()
            || measure.toString().contains(QLatin1Char('\n')))
            return fail(
                tr("\"measure\" must be the instrument's query, for example \"MEAS:FERR?\"."));
        step.measure = measure.toString().trimmed();

        for (const auto &[key, target] :
             {std::pair{"target", &step.target}, std::pair{"low", &step.low},
              std::pair{"high", &step.high}}) {
            const QJsonValue v = o.value(QLatin1String(key));
            if (!v.isDouble() || !std::isfinite(v.toDouble()))
                return fail(tr("\"%1\" must be a number.").arg(QLatin1String(key)));
            *target = v.toDouble();
        }
        if (!(step.low <= step.target && step.target <= step.high))
            return fail(tr("the limits must hold the target: low <= target <= high."));

        const QJsonValue unit = o.value(QStringLiteral("unit"));
        if (!unit.isUndefined() && !unit.isString())
            return fail(tr("\"unit\" must be a text."));
        step.unit = unit.toString();

        const QJsonValue tx = o.value(QStringLiteral("tx"));
        if (step.value.transmit) {
            const std::optional<int> seconds = wholeNumber(tx, 1, 10);
            if (!seconds)
                return fail(tr("%1 keys the transmitter: \"tx\" must give its transmit time, 1 to "
                               "10 seconds.")
                                .arg(step.value.name));
            step.txSeconds = *seconds;
        } else if (!tx.isUndefined()) {
            return fail(
                tr("%1 does not key the transmitter; leave \"tx\" out.").arg(step.value.name));
        }

        const QJsonValue settle = o.value(QStringLiteral("settle_ms"));
        if (!settle.isUndefined()) {
            const std::optional<int> ms = wholeNumber(settle, 0, AlignStep::MaxSettleMs);
            if (!ms)
                return fail(tr("\"settle_ms\" must be a whole number from 0 to %1.")
                                .arg(AlignStep::MaxSettleMs));
            step.settleMs = *ms;
        }
        // The reading has to be taken while the frame still keys the transmitter.
        if (step.txSeconds > 0 && step.settleMs >= step.txSeconds * 1000)
            return fail(tr("\"settle_ms\" must be shorter than the transmit time of %1 s, or the "
                           "transmitter is off when the reading is taken.")
                            .arg(step.txSeconds));

        const QJsonValue tries = o.value(QStringLiteral("max_tries"));
        if (!tries.isUndefined()) {
            const std::optional<int> n = wholeNumber(tries, 1, AlignStep::MaxMaxTries);
            if (!n)
                return fail(tr("\"max_tries\" must be a whole number from 1 to %1.")
                                .arg(AlignStep::MaxMaxTries));
            step.maxTries = *n;
        }
        return step;
    }

    QString error;

private:
    std::optional<AlignStep> fail(const QString &why)
    {
        error = tr("Step %1: %2").arg(m_number).arg(why);
        return std::nullopt;
    }

    int m_number;
    const AlignValueResolver &m_resolve;
    const AlignNameSuggester &m_suggest;
};

} // namespace

ParsedProcedure AlignProcedure::parse(const QByteArray &json, const AlignValueResolver &resolve,
                                      const AlignNameSuggester &suggest)
{
    ParsedProcedure result;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = tr("It is not valid JSON (%1 at character %2).")
                           .arg(parseError.errorString())
                           .arg(parseError.offset);
        return result;
    }
    if (!doc.isObject()) {
        result.error = tr("It must be one JSON object with \"name\" and \"steps\".");
        return result;
    }
    const QJsonObject root = doc.object();
    if (const QString key = unknownKey(root, RootKeys); !key.isEmpty()) {
        result.error
            = tr("Unknown key \"%1\"; a procedure holds only \"name\" and \"steps\".").arg(key);
        return result;
    }
    AlignProcedure procedure;
    const QJsonValue name = root.value(QStringLiteral("name"));
    if (!name.isString() || name.toString().trimmed().isEmpty()) {
        result.error = tr("\"name\" must give the procedure a name.");
        return result;
    }
    procedure.name = name.toString().trimmed();
    const QJsonValue steps = root.value(QStringLiteral("steps"));
    if (!steps.isArray() || steps.toArray().isEmpty()) {
        result.error = tr("\"steps\" must be a list of at least one step.");
        return result;
    }
    int number = 0;
    for (const QJsonValue &json : steps.toArray()) {
        StepReader reader(++number, resolve, suggest);
        const std::optional<AlignStep> step = reader.read(json);
        if (!step) {
            result.error = reader.error;
            return result;
        }
        procedure.steps.append(*step);
    }
    result.procedure = procedure;
    return result;
}

ParsedProcedure AlignProcedure::load(const QString &path, const AlignValueResolver &resolve,
                                     const AlignNameSuggester &suggest)
{
    ParsedProcedure result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = tr("The file does not exist.");
        return result;
    }
    // A device or a pipe could be read forever.
    if (!info.isFile() || info.size() > MaxFileSize) {
        result.error = tr("It is not a procedure file.");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = tr("The file cannot be read: %1").arg(file.errorString());
        return result;
    }
    return parse(file.read(MaxFileSize + 1), resolve, suggest);
}

QString AlignProcedure::closestName(const QString &text, const QStringList &candidates)
{
    // A third of the name may be wrong, but never more than a few letters.
    int bestDistance = std::min<int>(4, std::max<int>(1, int(text.size()) / 3)) + 1;
    QString best;
    for (const QString &candidate : candidates) {
        const int d = editDistance(text.toLower(), candidate);
        if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
        }
    }
    return best;
}
