#include "cliarguments.h"

namespace {

bool looksLikeNumber(const QString &text)
{
    return text.size() > 1 && text.at(0) == QLatin1Char('-') && text.at(1).isDigit();
}

} // namespace

CliArguments CliArguments::parse(const QStringList &arguments)
{
    CliArguments a;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString arg = arguments.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || looksLikeNumber(arg)
            || arg == QLatin1String("-")) {
            if (a.command.isEmpty())
                a.command = arg;
            else
                a.positional.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }

        // "--name=value" and "--name value" both work.
        QString name = arg;
        std::optional<QString> inlineValue;
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && eq > 2) {
            name = arg.left(eq);
            inlineValue = arg.mid(eq + 1);
        }

        auto flag = [&](bool &target) {
            if (inlineValue) {
                a.error = tr("The option %1 takes no value.").arg(name);
                return;
            }
            target = true;
        };
        auto value = [&]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 >= arguments.size()) {
                a.error = tr("The option %1 needs a value.").arg(name);
                return std::nullopt;
            }
            return arguments.at(++i);
        };
        auto number = [&](std::optional<int> &target) {
            const std::optional<QString> text = value();
            if (!text)
                return;
            bool ok = false;
            const int n = text->toInt(&ok);
            if (!ok) {
                a.error = tr("The option %1 needs a whole number, not \"%2\".").arg(name, *text);
                return;
            }
            target = n;
        };

        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            flag(a.help);
        } else if (name == QLatin1String("--version")) {
            flag(a.version);
        } else if (name == QLatin1String("--radio")) {
            flag(a.radio);
        } else if (name == QLatin1String("--json")) {
            flag(a.json);
        } else if (name == QLatin1String("--force")) {
            flag(a.force);
        } else if (name == QLatin1String("--direct")) {
            flag(a.direct);
        } else if (name == QLatin1String("--yes")) {
            flag(a.yes);
        } else if (name == QLatin1String("--com")) {
            number(a.comPort);
        } else if (name == QLatin1String("--retries")) {
            number(a.retries);
        } else if (name == QLatin1String("--tx")) {
            number(a.txSeconds);
        } else if (name == QLatin1String("--file")) {
            if (const std::optional<QString> text = value())
                a.file = *text;
        } else if (name == QLatin1String("--meter") || name == QLatin1String("--save")
                   || name == QLatin1String("--report")) {
            QString &target = name == QLatin1String("--meter")
                                  ? a.meter
                                  : (name == QLatin1String("--save") ? a.save : a.report);
            if (const std::optional<QString> text = value())
                target = *text;
        } else if (name == QLatin1String("--no-write")) {
            flag(a.noWrite);
        } else {
            a.error = tr("Unknown option: %1").arg(arg);
        }
        if (!a.error.isEmpty())
            return a;
        a.given.append(name == QLatin1String("-h") ? QStringLiteral("--help") : name);
    }

    if (a.comPort && (*a.comPort < 1 || *a.comPort > 99))
        a.error = tr("The COM port number must lie between 1 and 99.");
    else if (a.retries && *a.retries < 0)
        a.error = tr("The number of retries cannot be negative.");
    else if (a.txSeconds && (*a.txSeconds < 1 || *a.txSeconds > 10))
        a.error = tr("The transmit time must lie between 1 and 10 seconds.");
    return a;
}
