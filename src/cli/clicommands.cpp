#include "clicommands.h"

#include "aligncommand.h"
#include "imagesession.h"

#include "backupstore.h"
#include "blockplan.h"
#include "climessages.h"
#include "console.h"
#include "datafile.h"
#include "livetuneframe.h"
#include "livetunesender.h"
#include "portopen.h"
#include "portprobe.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "squelchtable.h"
#include "transferrun.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPort>

#include <limits>

namespace {

// The tune data window's transmit time at start-up: item "6".
constexpr std::int32_t DefaultTxTimeIndex = 5;
constexpr int TxTimeItems = 10;

// The item the tune data window selects for a stored TuneTxTime: 10 or more is put back to the
// first item, a negative value selects nothing.
int txTimeIndex(std::int32_t tuneTxTime)
{
    if (tuneTxTime >= TxTimeItems)
        return 0;
    return tuneTxTime < 0 ? -1 : static_cast<int>(tuneTxTime);
}

// The transmit time in seconds as the window shows it; 0 when nothing is selected.
int txSeconds(std::int32_t tuneTxTime)
{
    return txTimeIndex(tuneTxTime) + 1;
}

std::optional<std::int32_t> wholeNumber(const QString &text)
{
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<std::int32_t>::min()
        || n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

QString wordLabel(const NamedWord &named)
{
    if (named.kind == NamedWord::Kind::Raw)
        return named.name;
    return QStringLiteral("%1 (word %2)").arg(named.name).arg(named.word);
}

void flushErr()
{
    Console::err().flush();
}

} // namespace

CliCommands::CliCommands(CliArguments arguments)
    : m_args(std::move(arguments))
{}

QString CliCommands::usage()
{
    return tr(
        "Usage: rq73tune-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
        "\n"
        "Commands:\n"
        "  ports                    list the COM ports that can be opened, with their devices\n"
        "  read FILE [--force]      read the radio into the data file FILE; a file already\n"
        "                           there is replaced only with --force\n"
        "  write FILE [--yes|--direct]\n"
        "                           write the data file FILE into the radio: the radio is\n"
        "                           read and kept as a backup first, the changes listed\n"
        "                           and asked for, and the radio read back afterwards\n"
        "  verify FILE              read the radio and compare it with FILE\n"
        "  get NAME --file FILE     print a value of a data file\n"
        "  get NAME --radio         read the radio and print a value\n"
        "  set NAME VALUE [--file FILE] [--radio] [--tx SECONDS]\n"
        "                           store a value in a data file and/or send it to the\n"
        "                           radio at once, as the tune windows do\n"
        "  diff FILE1 FILE2         list the values in which two data files differ\n"
        "  show FILE [--json]       list every named value of a data file\n"
        "  align PROCEDURE --meter ADDRESS [--no-write] [--save FILE] [--report FILE]\n"
        "                           align the radio with a measuring instrument: read it,\n"
        "                           run the steps of the procedure file, write the tune\n"
        "                           data when every step passed (not with --no-write);\n"
        "                           ADDRESS is tcp:HOST:PORT or serial:COMn[:BAUD], the\n"
        "                           report is JSON, HTML or PDF by its extension\n"
        "\n"
        "NAME is the name of a value (freq-adjust, usb.mid.high.power, sq.fm.3.on,\n"
        "tx-time...; \"show\" lists them all) or a word address from 0 to 511.\n"
        "\n"
        "Options:\n"
        "  --com N          use COM port N instead of the stored one\n"
        "  --retries N      when a block keeps failing, answer the question Retry N times,\n"
        "                   then Cancel; without it the question is asked at a terminal\n"
        "                   and answered Cancel when the input is not a terminal\n"
        "  --tx SECONDS     transmit time of a value that keys the transmitter, 1 to 10;\n"
        "                   without it the file's transmit time, or 6 seconds\n"
        "  --json           show: JSON instead of a table\n"
        "  --force          read: replace the data file FILE when it is already there\n"
        "  --yes            write: answer the question before the write with yes\n"
        "  --direct         write: write at once, without reading the radio first\n"
        "  --help           this text\n"
        "  --version        the version\n"
        "\n"
        "Exit codes: 0 success, 1 wrong command line, 2 the radio does not answer (or read\n"
        "would replace a file without --force),\n"
        "3 a file rejected, 4 the port cannot be opened, 5 verify, diff or the read back\n"
        "after a write found differences,\n"
        "6 align: a step outside its limits, 7 align: the instrument failed.\n");
}

ExitCode CliCommands::run()
{
    if (!m_args.error.isEmpty())
        return usageError(m_args.error);
    if (m_args.help) {
        Console::out() << usage();
        Console::out().flush();
        return ExitCode::Success;
    }
    if (m_args.version) {
        Console::out() << "rq73tune-cli " << QCoreApplication::applicationVersion() << '\n';
        Console::out().flush();
        return ExitCode::Success;
    }

    const QString &c = m_args.command;
    if (c.isEmpty())
        return usageError(tr("No command given."));
    if (c == QLatin1String("ports"))
        return ports();
    if (c == QLatin1String("read"))
        return read();
    if (c == QLatin1String("write"))
        return write();
    if (c == QLatin1String("verify"))
        return verify();
    if (c == QLatin1String("get"))
        return get();
    if (c == QLatin1String("set"))
        return set();
    if (c == QLatin1String("diff"))
        return diff();
    if (c == QLatin1String("show"))
        return show();
    if (c == QLatin1String("align"))
        return AlignCommand(m_args).run();
    return usageError(tr("Unknown command: %1").arg(c));
}

bool CliCommands::accept(int positionalCount, const QStringList &options)
{
    if (m_args.positional.size() != positionalCount) {
        m_usageError = tr("Wrong number of arguments for \"%1\".").arg(m_args.command);
        return false;
    }
    for (const QString &given : std::as_const(m_args.given)) {
        if (!options.contains(given)) {
            m_usageError = tr("The option %1 does not apply to \"%2\".").arg(given, m_args.command);
            return false;
        }
    }
    return true;
}

ExitCode CliCommands::usageError(const QString &text) const
{
    QTextStream &err = Console::err();
    err << "rq73tune-cli: " << text << '\n'
        << tr("Run \"rq73tune-cli --help\" for the commands and options.") << '\n';
    err.flush();
    return ExitCode::Usage;
}

std::optional<NamedWord> CliCommands::resolveName(const QString &text)
{
    const std::optional<NamedWord> named = NamedWord::resolve(text);
    if (named)
        return named;
    const QStringList near = closestValueNames(text);
    if (!near.isEmpty())
        m_usageError = tr("Unknown value name: %1. Did you mean: %2?")
                           .arg(text, near.join(QStringLiteral(", ")));
    else
        m_usageError = tr("Unknown value name: %1. \"rq73tune-cli show FILE\" lists the names; "
                          "word addresses run from 0 to %2.")
                           .arg(text)
                           .arg(RadioImage::WordCount - 1);
    return named;
}

int CliCommands::comPort() const
{
    return m_args.comPort ? *m_args.comPort : SettingsStore::storedComPort();
}

ExitCode CliCommands::load(const QString &path, RadioImage &image, std::int32_t &tuneTxTime) const
{
    const DataFileResult result = ReadFromFile(path, image, tuneTxTime);
    if (result.ok())
        return ExitCode::Success;
    Console::err() << CliMessages::dataFileProblem(result, path, false) << '\n';
    flushErr();
    return ExitCode::FileRejected;
}

ExitCode CliCommands::save(const QString &path, const RadioImage &image,
                           std::int32_t tuneTxTime) const
{
    const DataFileResult result = WriteToFile(path, image, tuneTxTime);
    if (result.ok())
        return ExitCode::Success;
    Console::err() << CliMessages::dataFileProblem(result, path, true) << '\n';
    flushErr();
    return ExitCode::FileRejected;
}

ExitCode CliCommands::transfer(RadioImage &image, TransferKind kind) const
{
    TransferRun run(image, comPort(), m_args.retries);
    return run.run(kind);
}

// ---- ports ----

ExitCode CliCommands::ports()
{
    if (!accept(0, {}))
        return usageError(m_usageError);
    const PortProbe probe = PortProbe::run();
    for (const int n : probe.ports) {
        Console::out() << "COM" << n << '\t' << probe.devices.value(n);
        // What the system knows, for telling the cable from other ports; nothing for a port it
        // knows nothing of, so the first two columns stay as a script reads them.
        const PortDetails d = probe.details.value(n);
        QStringList known;
        for (const QString &part : {d.description, d.manufacturer, d.usbIdText()}) {
            if (!part.isEmpty())
                known << part;
        }
        if (!known.isEmpty())
            Console::out() << '\t' << known.join(QStringLiteral(", "));
        Console::out() << '\n';
    }
    Console::out().flush();
    const bool none = probe.ports.isEmpty();
    if (none)
        Console::err() << PortProbe::noPortAdvice() << '\n';
    if (probe.someRefused)
        Console::err() << PortProbe::refusedAdvice() << '\n'
                       << "    " << PortProbe::accessCommand() << '\n';
    flushErr();
    // A script that goes on to a transfer would only fail later, and for a less obvious reason.
    return none ? ExitCode::PortFailed : ExitCode::Success;
}

// ---- whole transfers ----

ExitCode CliCommands::read()
{
    if (!accept(1, {QStringLiteral("--com"), QStringLiteral("--retries"), QStringLiteral("--force")}))
        return usageError(m_usageError);
    const QString path = m_args.positional.at(0);

    // A data file already there may hold the only copy of another radio's calibration: it is
    // replaced only when the command says so. It then keeps what no transfer brings back (the
    // squelch reference pairs, the words beyond the transfer, the transmit time); anything else
    // in its place is never overwritten.
    RadioImage image;
    std::int32_t tuneTxTime = DefaultTxTimeIndex;
    if (QFileInfo::exists(path)) {
        if (const ExitCode loaded = load(path, image, tuneTxTime); loaded != ExitCode::Success) {
            Console::err() << tr("The file was left as it is; nothing was read.") << '\n';
            flushErr();
            return loaded;
        }
        if (!m_args.force) {
            Console::err() << tr("%1 is already there; nothing was read. Give --force to replace "
                                 "it with the radio's data.")
                                  .arg(QDir::toNativeSeparators(path))
                           << '\n';
            flushErr();
            return ExitCode::NoAnswer;
        }
    }
    if (const ExitCode moved = transfer(image, TransferKind::FullRead); moved != ExitCode::Success)
        return moved;
    return save(path, image, tuneTxTime);
}

ExitCode CliCommands::write()
{
    if (!accept(1, {QStringLiteral("--com"), QStringLiteral("--retries"), QStringLiteral("--direct"),
                    QStringLiteral("--yes")}))
        return usageError(m_usageError);
    if (m_args.direct && m_args.yes)
        return usageError(tr("--direct writes without a question; --yes answers it. Give one."));
    RadioImage image;
    std::int32_t tuneTxTime = DefaultTxTimeIndex;
    if (const ExitCode loaded = load(m_args.positional.at(0), image, tuneTxTime);
        loaded != ExitCode::Success)
        return loaded;
    if (m_args.direct)
        return transfer(image, TransferKind::FullWrite);
    // Nobody could answer the question: a script says which write it wants.
    if (!m_args.yes && !Console::isTerminal(Console::Stream::In))
        return usageError(tr("The input is not a terminal, so nobody can answer the question "
                             "before the write: give --yes to write after the list of changes, or "
                             "--direct to write without reading the radio first. Nothing was "
                             "read or written."));
    return safeWrite(image, tuneTxTime);
}

ExitCode CliCommands::safeWrite(const RadioImage &image, std::int32_t tuneTxTime)
{
    QTextStream &err = Console::err();
    // The radio as it is now, kept before anything of it is replaced.
    RadioImage radio;
    if (const ExitCode moved = transfer(radio, TransferKind::FullRead); moved != ExitCode::Success)
        return moved;
    const BackupStore::SaveResult kept
        = BackupStore(BackupStore::defaultFolder())
              .save(radio, tuneTxTime, BackupStore::Kind::BeforeWrite,
                    QDateTime::currentDateTime(), BackupStore::storedLimit());
    if (!kept.ok()) {
        err << tr("Nothing was written: the radio's data could not be kept in the backups "
                  "folder (%1).")
                   .arg(kept.errorText)
            << '\n';
        flushErr();
        return ExitCode::FileRejected;
    }
    const QString keptNote = tr("The radio's data before the write is in the backup %1.")
                                 .arg(QDir::toNativeSeparators(kept.path));

    const QList<ImageCompare::Difference> changes
        = ImageSession::writeChanges(radio, image, TransferKind::FullWrite);
    for (const ImageCompare::Difference &c : changes) {
        Console::out() << wordLabel(NamedWord::forWord(c.word)) << ": " << tr("radio") << ' '
                       << c.before << " -> " << tr("file") << ' ' << c.after;
        if (LiveTune::isTransmitWord(c.word))
            Console::out() << "  " << tr("(keys the transmitter)");
        Console::out() << '\n';
    }
    Console::out().flush();
    if (changes.isEmpty())
        err << tr("The radio already holds every value of this write.") << '\n';
    else
        err << tr("The write changes %n value(s) in the radio.", nullptr, int(changes.size()))
            << '\n';
    err << tr("The radio's data as it is now is kept in the backup %1.")
               .arg(QDir::toNativeSeparators(kept.path))
        << '\n';
    flushErr();

    if (!m_args.yes) {
        err << tr("Write into the radio? [y/N] ");
        flushErr();
        const QString answer = Console::readLine().trimmed().toLower();
        if (answer != QLatin1String("y") && answer != QLatin1String("yes")
            && answer != tr("y") && answer != tr("yes")) {
            err << tr("Nothing was written.") << '\n';
            flushErr();
            return ExitCode::Success;
        }
    }

    RadioImage toWrite = image;
    if (const ExitCode written = transfer(toWrite, TransferKind::FullWrite);
        written != ExitCode::Success) {
        err << keptNote << '\n';
        flushErr();
        return written;
    }
    RadioImage after;
    if (const ExitCode moved = transfer(after, TransferKind::FullRead); moved != ExitCode::Success) {
        err << tr("Written, but the read back did not complete, so the write is not checked.")
            << '\n'
            << keptNote << '\n';
        flushErr();
        return moved;
    }
    const QList<ImageCompare::Difference> left
        = ImageSession::writeChanges(after, image, TransferKind::FullWrite);
    for (const ImageCompare::Difference &c : left)
        Console::out() << wordLabel(NamedWord::forWord(c.word)) << ": " << tr("file") << ' '
                       << c.after << ", " << tr("radio") << ' ' << c.before << '\n';
    Console::out().flush();
    if (!left.isEmpty()) {
        err << tr("Written, but the radio differs from the data in %n value(s).", nullptr,
                  int(left.size()))
            << '\n'
            << keptNote << '\n';
        flushErr();
        return ExitCode::Differs;
    }
    err << tr("Written and checked: the radio holds every value of this write.") << '\n'
        << keptNote << '\n';
    flushErr();
    return ExitCode::Success;
}

ExitCode CliCommands::verify()
{
    if (!accept(1, {QStringLiteral("--com"), QStringLiteral("--retries")}))
        return usageError(m_usageError);
    RadioImage file;
    std::int32_t tuneTxTime = DefaultTxTimeIndex;
    if (const ExitCode loaded = load(m_args.positional.at(0), file, tuneTxTime);
        loaded != ExitCode::Success)
        return loaded;
    RadioImage radio;
    if (const ExitCode moved = transfer(radio, TransferKind::FullRead); moved != ExitCode::Success)
        return moved;

    // Only the words a transfer moves can be compared; the radio never reports the others.
    int differing = 0;
    for (const BlockPlan::Block &block : BlockPlan(BlockPlan::Range::Full).blocks()) {
        for (int w = block.firstWord; w < block.firstWord + block.count; ++w) {
            const std::int32_t a = file.ReadImageWord(w);
            const std::int32_t b = radio.ReadImageWord(w);
            if (a == b)
                continue;
            ++differing;
            Console::out() << wordLabel(NamedWord::forWord(w)) << ": " << tr("file") << ' ' << a
                           << ", " << tr("radio") << ' ' << b << '\n';
        }
    }
    Console::out().flush();
    if (differing == 0) {
        Console::err() << tr("The radio holds the same data as the file.") << '\n';
        flushErr();
        return ExitCode::Success;
    }
    Console::err() << tr("The radio differs from the file in %n value(s).", nullptr, differing)
                   << '\n';
    flushErr();
    return ExitCode::Differs;
}

// ---- single values ----

ExitCode CliCommands::get()
{
    const QStringList options
        = m_args.radio ? QStringList{QStringLiteral("--radio"), QStringLiteral("--com"),
                                     QStringLiteral("--retries")}
                       : QStringList{QStringLiteral("--file")};
    if (m_args.radio == !m_args.file.isEmpty())
        return usageError(tr("Give either a data file with --file or --radio."));
    if (!accept(1, options))
        return usageError(m_usageError);
    const std::optional<NamedWord> named = resolveName(m_args.positional.at(0));
    if (!named)
        return usageError(m_usageError);

    RadioImage image;
    std::int32_t tuneTxTime = DefaultTxTimeIndex;
    if (m_args.radio) {
        const bool transferred = named->kind == NamedWord::Kind::Tune
                                 || (named->kind == NamedWord::Kind::Squelch && named->word <= 275);
        if (!transferred)
            return usageError(tr("The radio does not report %1: it is kept in data files only.")
                                  .arg(named->name));
        const TransferKind kind = named->kind == NamedWord::Kind::Squelch
                                      ? TransferKind::SquelchRead
                                      : TransferKind::FullRead;
        if (const ExitCode moved = transfer(image, kind); moved != ExitCode::Success)
            return moved;
    } else if (const ExitCode loaded = load(m_args.file, image, tuneTxTime);
               loaded != ExitCode::Success) {
        return loaded;
    }

    if (named->kind == NamedWord::Kind::TxTime)
        Console::out() << txSeconds(tuneTxTime) << '\n';
    else
        Console::out() << image.ReadImageWord(named->word) << '\n';
    Console::out().flush();
    return ExitCode::Success;
}

ExitCode CliCommands::set()
{
    if (!accept(2, {QStringLiteral("--file"), QStringLiteral("--radio"), QStringLiteral("--tx"),
                    QStringLiteral("--com")}))
        return usageError(m_usageError);
    if (!m_args.radio && m_args.file.isEmpty())
        return usageError(tr("Give a data file with --file, the radio with --radio, or both."));
    const std::optional<NamedWord> named = resolveName(m_args.positional.at(0));
    if (!named)
        return usageError(m_usageError);
    const QString typed = m_args.positional.at(1);
    const std::optional<std::int32_t> number = wholeNumber(typed);
    if (!number)
        return usageError(tr("\"%1\" is not a whole number.").arg(typed));

    if (m_args.radio) {
        switch (named->kind) {
        case NamedWord::Kind::TxTime:
            return usageError(tr("The transmit time is kept in the data file; it is never sent "
                                 "to the radio. Use --tx to choose it for one value."));
        case NamedWord::Kind::Raw:
            return usageError(tr("%1 is not a tune value; the tune windows never send it to the "
                                 "radio.")
                                  .arg(named->name));
        case NamedWord::Kind::Squelch:
            // A Test frame carries the pair; the other half has to come from somewhere.
            if (m_args.file.isEmpty())
                return usageError(tr("A squelch value goes to the radio together with the "
                                     "other value of its row; give the data file that holds "
                                     "them with --file."));
            break;
        case NamedWord::Kind::Tune:
            break;
        }
    }

    RadioImage image;
    std::int32_t tuneTxTime = DefaultTxTimeIndex;
    if (!m_args.file.isEmpty()) {
        if (const ExitCode loaded = load(m_args.file, image, tuneTxTime);
            loaded != ExitCode::Success)
            return loaded;
    }

    // The windows' own rules for a committed value.
    std::int32_t value = *number;
    switch (named->kind) {
    case NamedWord::Kind::Tune:
        value = named->tune->clampToEdit(*number);
        break;
    case NamedWord::Kind::Squelch:
        value
            = *SquelchTable::commitText(QString::number(*number), image.ReadImageWord(named->word))
                   .value;
        break;
    case NamedWord::Kind::TxTime:
        if (*number < 1 || *number > TxTimeItems)
            return usageError(tr("The transmit time must lie between 1 and 10 seconds."));
        break;
    case NamedWord::Kind::Raw:
        break;
    }
    if (value != *number) {
        Console::err() << tr("%1 is out of range; %2 is used instead.").arg(*number).arg(value)
                       << '\n';
        flushErr();
    }

    if (named->kind == NamedWord::Kind::TxTime)
        tuneTxTime = value - 1;
    else
        image.WriteImageWord(named->word, value);

    // With both, the file changes only once the radio has the value: a file that says what the
    // radio does not hold would be believed later.
    if (m_args.radio) {
        // The window sends with the item its list shows: the file's transmit time, or the one it
        // starts with.
        const int index = m_args.txSeconds ? *m_args.txSeconds - 1 : txTimeIndex(tuneTxTime);
        if (const ExitCode sent = sendLive(*named, image, index); sent != ExitCode::Success) {
            if (!m_args.file.isEmpty()) {
                Console::err() << tr("%1 was left as it is.")
                                      .arg(QDir::toNativeSeparators(m_args.file))
                               << '\n';
                flushErr();
            }
            return sent;
        }
    }
    if (!m_args.file.isEmpty()) {
        if (const ExitCode saved = save(m_args.file, image, tuneTxTime);
            saved != ExitCode::Success) {
            if (m_args.radio) {
                Console::err() << tr("The radio has the new value; the file does not.") << '\n';
                flushErr();
            }
            return saved;
        }
    }
    return ExitCode::Success;
}

ExitCode CliCommands::sendLive(const NamedWord &named, const RadioImage &image,
                               int txTimeIndex) const
{
    const int com = comPort();
    // The live link drops a frame silently when the port cannot be opened; a script has to know.
    {
        QSerialPort probe;
        const PortOpenResult opened = openSerialPort(probe, com);
        if (!opened.ok()) {
            Console::err() << portOpenReason(opened) << '\n'
                           << tr("Nothing was sent to the radio.") << '\n';
            flushErr();
            return ExitCode::PortFailed;
        }
    }

    // The same live link and frames as the windows, on an image of the command's own.
    AppState state;
    state.image = image;
    state.TuneTxTime = txTimeIndex;
    state.ComPortNumber = com;
    ImageSession session(state);
    bool drained = false;
    QObject::connect(
        &session, &ImageSession::liveFrameFinished, &session,
        [&drained](int, LiveFrameOutcome outcome) { drained = outcome == LiveFrameOutcome::Sent; });
    QEventLoop loop;
    QObject::connect(&session.liveLink(), &LiveTuneSender::idle, &loop, &QEventLoop::quit);
    if (named.kind == NamedWord::Kind::Squelch)
        session.sendSquelchTest(SquelchTable::boxWord(named.box - named.box % 2));
    else
        session.sendTuneValue(named.word);
    if (session.liveLinkBusy())
        loop.exec();
    if (drained)
        return ExitCode::Success;
    Console::err() << tr("The frame did not leave the port %1.").arg(portDeviceName(com)) << '\n';
    flushErr();
    return ExitCode::PortFailed;
}

// ---- files ----

ExitCode CliCommands::diff()
{
    if (!accept(2, {}))
        return usageError(m_usageError);
    RadioImage a;
    RadioImage b;
    std::int32_t txA = DefaultTxTimeIndex;
    std::int32_t txB = DefaultTxTimeIndex;
    if (const ExitCode loaded = load(m_args.positional.at(0), a, txA); loaded != ExitCode::Success)
        return loaded;
    if (const ExitCode loaded = load(m_args.positional.at(1), b, txB); loaded != ExitCode::Success)
        return loaded;

    bool differs = false;
    QTextStream &out = Console::out();
    for (int w = 0; w < RadioImage::WordCount; ++w) {
        const std::int32_t va = a.ReadImageWord(w);
        const std::int32_t vb = b.ReadImageWord(w);
        if (va == vb)
            continue;
        differs = true;
        out << wordLabel(NamedWord::forWord(w)) << ": " << va << " -> " << vb << '\n';
    }
    if (txA != txB) {
        differs = true;
        out << "tx-time: " << txSeconds(txA) << " -> " << txSeconds(txB) << '\n';
    }
    out.flush();
    return differs ? ExitCode::Differs : ExitCode::Success;
}

ExitCode CliCommands::show()
{
    if (!accept(1, {QStringLiteral("--json")}))
        return usageError(m_usageError);
    const QString path = m_args.positional.at(0);
    RadioImage image;
    std::int32_t tuneTxTime = DefaultTxTimeIndex;
    if (const ExitCode loaded = load(path, image, tuneTxTime); loaded != ExitCode::Success)
        return loaded;

    QTextStream &out = Console::out();
    const QList<NamedWord> &all = NamedWord::all();
    if (m_args.json) {
        QJsonArray values;
        for (const NamedWord &n : all) {
            values.append(QJsonObject{{QStringLiteral("name"), n.name},
                                      {QStringLiteral("word"), n.word},
                                      {QStringLiteral("value"), image.ReadImageWord(n.word)}});
        }
        const QJsonObject root{
            {QStringLiteral("file"), QFileInfo(path).absoluteFilePath()},
            {QStringLiteral("txTime"),
             QJsonObject{{QStringLiteral("stored"), tuneTxTime},
                         {QStringLiteral("seconds"), txSeconds(tuneTxTime)}}},
            {QStringLiteral("values"), values},
        };
        out << QJsonDocument(root).toJson(QJsonDocument::Indented);
        out.flush();
        return ExitCode::Success;
    }

    qsizetype nameWidth = 0;
    for (const NamedWord &n : all)
        nameWidth = std::max(nameWidth, n.name.size());
    auto line = [&](const QString &name, const QString &word, const QString &value,
                    const QString &caption) {
        out << name.leftJustified(nameWidth + 2) << word.rightJustified(5) << "  "
            << value.rightJustified(11) << "  " << caption << '\n';
    };
    line(tr("NAME"), tr("WORD"), tr("VALUE"), tr("CAPTION"));
    for (const NamedWord &n : all)
        line(n.name, QString::number(n.word), QString::number(image.ReadImageWord(n.word)),
             n.caption());
    NamedWord tx;
    tx.kind = NamedWord::Kind::TxTime;
    line(QStringLiteral("tx-time"), QString(), QString::number(txSeconds(tuneTxTime)),
         tx.caption());
    out.flush();
    return ExitCode::Success;
}
