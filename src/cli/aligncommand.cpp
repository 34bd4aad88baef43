#include "aligncommand.h"

#include "alignreport.h"
#include "alignrun.h"
#include "backupstore.h"
#include "climessages.h"
#include "console.h"
#include "datafile.h"
#include "instrument.h"
#include "linkalignradio.h"
#include "namedword.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "transferrun.h"

#include <QEventLoop>

#include <algorithm>

namespace {

// The transmit time a data file saved by align keeps: the tune data window's start-up item.
constexpr std::int32_t DefaultTxTimeIndex = 5;

void flushErr()
{
    Console::err().flush();
}

} // namespace

AlignCommand::AlignCommand(CliArguments arguments)
    : m_args(std::move(arguments))
{}

std::optional<AlignValueInfo> AlignCommand::resolveValue(const QString &text)
{
    const std::optional<NamedWord> named = NamedWord::resolve(text);
    if (!named || named->kind != NamedWord::Kind::Tune || !named->tune->editable)
        return std::nullopt;
    AlignValueInfo info;
    info.name = named->name;
    info.word = named->word;
    info.rangeLow = named->tune->editLow;
    info.rangeHigh = named->tune->editHigh;
    info.transmit = named->tune->transmit;
    return info;
}

QString AlignCommand::suggestName(const QString &text)
{
    QStringList names;
    for (const NamedWord &n : NamedWord::all()) {
        if (resolveValue(n.name))
            names.append(n.name);
    }
    return AlignProcedure::closestName(text, names);
}

int AlignCommand::instrumentTimeoutFromEnvironment()
{
    const QString text = qEnvironmentVariable("RQ73_ALIGN_TIMINGS");
    for (const QString &entry : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList pair = entry.split(QLatin1Char('='));
        bool ok = false;
        const int value = pair.size() == 2 ? pair.at(1).trimmed().toInt(&ok) : 0;
        if (ok && value > 0 && pair.at(0).trimmed() == QLatin1String("reply"))
            return value;
    }
    return Instrument::DefaultReplyTimeoutMs;
}

bool AlignCommand::drawsReport(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CliArguments parsed = CliArguments::parse(arguments);
    if (parsed.command != QLatin1String("align") || parsed.report.isEmpty())
        return false;
    const std::optional<AlignReport::Format> format = AlignReport::formatFor(parsed.report);
    return format && *format != AlignReport::Format::Json;
}

ExitCode AlignCommand::usageError(const QString &text) const
{
    QTextStream &err = Console::err();
    err << "rq73tune-cli: " << text << '\n'
        << QCoreApplication::translate("CliCommands",
                                       "Run \"rq73tune-cli --help\" for the commands and options.")
        << '\n';
    err.flush();
    return ExitCode::Usage;
}

ExitCode AlignCommand::run()
{
    const QStringList allowed{QStringLiteral("--meter"), QStringLiteral("--no-write"),
                              QStringLiteral("--save"), QStringLiteral("--report"),
                              QStringLiteral("--com")};
    if (m_args.positional.size() != 1)
        return usageError(
            QCoreApplication::translate("CliCommands", "Wrong number of arguments for \"%1\".")
                .arg(m_args.command));
    for (const QString &given : std::as_const(m_args.given)) {
        if (!allowed.contains(given))
            return usageError(QCoreApplication::translate("CliCommands",
                                                          "The option %1 does not apply to \"%2\".")
                                  .arg(given, m_args.command));
    }
    if (m_args.meter.isEmpty())
        return usageError(tr("Give the measuring instrument with --meter, for example "
                             "--meter tcp:192.168.1.20:5025."));
    QString addressError;
    const std::optional<Instrument::Address> address
        = Instrument::parseAddress(m_args.meter, &addressError);
    if (!address)
        return usageError(addressError);
    if (!m_args.report.isEmpty() && !AlignReport::formatFor(m_args.report))
        return usageError(tr("The report must be a .json, .html or .pdf file."));

    QTextStream &err = Console::err();
    const QString procedurePath = m_args.positional.at(0);
    const ParsedProcedure parsed = AlignProcedure::load(procedurePath, &AlignCommand::resolveValue,
                                                        &AlignCommand::suggestName);
    if (!parsed.procedure) {
        err << procedurePath << ": " << parsed.error << '\n';
        flushErr();
        return ExitCode::FileRejected;
    }

    std::unique_ptr<Instrument> instrument = Instrument::create(*address);
    instrument->setReplyTimeoutMs(instrumentTimeoutFromEnvironment());
    {
        QEventLoop loop;
        std::optional<Instrument::Reading> failure;
        QObject::connect(instrument.get(), &Instrument::opened, &loop, &QEventLoop::quit);
        QObject::connect(instrument.get(), &Instrument::failed, &loop,
                         [&](const Instrument::Reading &why) {
                             failure = why;
                             loop.quit();
                         });
        instrument->open();
        loop.exec();
        if (failure) {
            err << Instrument::faultText(failure->fault) << ' ' << instrument->description() << ": "
                << failure->detail << '\n'
                << tr("Nothing was sent to the radio.") << '\n';
            flushErr();
            return ExitCode::InstrumentFault;
        }
    }

    RadioImage image;
    const int com = m_args.comPort ? *m_args.comPort : SettingsStore::storedComPort();
    LinkAlignRadio radio(image, com);
    radio.setTimings(TransferRun::timingsFromEnvironment());
    radio.setBackup(BackupStore::defaultFolder(), DefaultTxTimeIndex);
    AlignRun::Options options;
    options.writeAtEnd = !m_args.noWrite;
    AlignRun run(*parsed.procedure, radio, *instrument, options);
    QObject::connect(&run, &AlignRun::message, &run, [&err](const QString &line) {
        err << line << '\n';
        err.flush();
    });
    QEventLoop loop;
    QObject::connect(&run, &AlignRun::finished, &loop, &QEventLoop::quit);
    run.start();
    if (run.isRunning())
        loop.exec();
    instrument->close();

    const AlignRunResult &result = run.result();
    QTextStream &out = Console::out();
    for (const AlignStepResult &s : result.steps) {
        out << s.step.value.name << '\t' << s.oldValue << " -> " << s.newValue << '\t'
            << AlignStepResult::outcomeKey(s.outcome) << '\n';
    }
    out.flush();

    ExitCode code = ExitCode::Success;
    switch (result.outcome) {
    case AlignRunResult::Outcome::Running:
    case AlignRunResult::Outcome::Passed:
        code = ExitCode::Success;
        break;
    case AlignRunResult::Outcome::Outside:
        code = ExitCode::AlignOutside;
        break;
    case AlignRunResult::Outcome::InstrumentFault:
        code = ExitCode::InstrumentFault;
        break;
    case AlignRunResult::Outcome::NoAnswer:
    case AlignRunResult::Outcome::Stopped:
        code = ExitCode::NoAnswer;
        break;
    case AlignRunResult::Outcome::PortFault:
        code = ExitCode::PortFailed;
        break;
    }
    if (code == ExitCode::Success)
        err << (result.written ? tr("Every step passed; the tune data were written to the radio.")
                               : tr("Every step passed; nothing was written to the radio."))
            << '\n';
    flushErr();

    // What the radio holds now is worth keeping whatever the outcome, once it was read.
    const bool wasRead = !result.steps.isEmpty()
                         && result.steps.first().outcome != AlignStepResult::Outcome::Skipped;
    if (!m_args.save.isEmpty() && wasRead) {
        const DataFileResult saved = WriteToFile(m_args.save, image, DefaultTxTimeIndex);
        if (!saved.ok()) {
            err << CliMessages::dataFileProblem(saved, m_args.save, true) << '\n';
            flushErr();
            if (code == ExitCode::Success)
                code = ExitCode::FileRejected;
        }
    }
    if (!m_args.report.isEmpty()) {
        QString reportError;
        if (!AlignReport::write(result, m_args.report, &reportError)) {
            err << m_args.report << ": " << reportError << '\n';
            flushErr();
            if (code == ExitCode::Success)
                code = ExitCode::FileRejected;
        }
    }
    return code;
}
