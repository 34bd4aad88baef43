// rq73-radio-sim: a simulated radio on a pseudo-terminal, registered as a COM port of the tool.

#include "demoimage.h"
#include "settingsstore.h"
#include "simulatedmeter.h"
#include "simulatedradio.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int DataFileSize = 2068;
constexpr int DataFileHeaderSize = 16;
// How long a radio under --fault vanish stays away before it comes back.
constexpr int ReappearDelayMs = 2000;

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// A radio data file holds a 16-byte header, the image and four bytes of transmit time; a plain
// 2048-byte dump is accepted as well.
bool loadImage(const QString &path, QByteArray &memory, QString &error)
{
    // A device or a pipe could be read forever; only a plain file of one of the two sizes is
    // an image.
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QStringLiteral("no such file");
        return false;
    }
    if (!info.isFile()) {
        error = QStringLiteral("not a regular file");
        return false;
    }
    if (info.size() != DataFileSize && info.size() != SimulatedRadio::MemorySize) {
        error = QStringLiteral("%1 bytes: neither a radio data file (%2 bytes) nor an image (%3 "
                               "bytes)")
                    .arg(info.size())
                    .arg(DataFileSize)
                    .arg(SimulatedRadio::MemorySize);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QByteArray content = file.read(DataFileSize + 1);
    if (content.size() == DataFileSize && content.startsWith("RQ73 DT")) {
        memory = content.mid(DataFileHeaderSize, SimulatedRadio::MemorySize);
        return true;
    }
    if (content.size() == SimulatedRadio::MemorySize) {
        memory = content;
        return true;
    }
    error = QStringLiteral("neither a radio data file nor a %1-byte image")
                .arg(SimulatedRadio::MemorySize);
    return false;
}

// What the tool's settings held before the radio registered itself, put back when it stops, so
// that running the radio beside a real cable's settings leaves them as they were.
class SettingsRestorer
{
public:
    explicit SettingsRestorer(int com)
        : m_com(com)
    {
        QSettings settings = SettingsStore::openSettings();
        m_comPort = settings.value(QString::fromLatin1(SettingsStore::ComPortValue));
        m_mapping = settings.value(portKey(com));
    }

    void restore(SimulatedRadio &radio)
    {
        if (m_restored)
            return;
        m_restored = true;
        radio.unregisterComPort();
        QSettings settings = SettingsStore::openSettings();
        restoreValue(settings, QString::fromLatin1(SettingsStore::ComPortValue), m_comPort);
        restoreValue(settings, portKey(m_com), m_mapping);
        settings.sync();
    }

private:
    static QString portKey(int com) { return QStringLiteral("Ports/COM%1").arg(com); }
    static void restoreValue(QSettings &settings, const QString &key, const QVariant &value)
    {
        if (value.isValid())
            settings.setValue(key, value);
        else
            settings.remove(key);
    }

    int m_com;
    QVariant m_comPort;
    QVariant m_mapping;
    bool m_restored = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rq73-radio-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated RQ73 radio on a pseudo-terminal, registered as a COM port."));
    parser.addHelpOption();
    const QCommandLineOption comOption(QStringLiteral("com"),
                                       QStringLiteral("Register as COM port <n> (default 1)."),
                                       QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption loadOption(QStringLiteral("load"),
                                        QStringLiteral("Start with the image of <file> (.rdat or "
                                                       "a raw 2048-byte image)."),
                                        QStringLiteral("file"));
    const QCommandLineOption pacedOption(QStringLiteral("paced"),
                                         QStringLiteral("Reply at the speed of 115200 baud."));
    const QCommandLineOption faultOption(
        QStringLiteral("fault"),
        QStringLiteral(
            "Misbehave on every request: none, silent, refuse, junk, split, cutshort, "
            "trailing, vanish, babble, late, verylate, duplicate, ackstorm, stale, unasked, "
            "replaced."),
        QStringLiteral("name"), QStringLiteral("none"));
    const QCommandLineOption lineOption(
        QStringLiteral("line"),
        QStringLiteral("What the cable does around every reply: clean, echo, trailer, "
                       "late-noise, junk, junk-with-ack."),
        QStringLiteral("name"), QStringLiteral("clean"));
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Start with a realistic aligned radio instead of an empty memory."));
    const QCommandLineOption meterOption(
        QStringLiteral("meter"),
        QStringLiteral("Also act as a measuring instrument on a raw SCPI socket: tcp:<port> on "
                       "localhost (5025 is the usual one)."),
        QStringLiteral("tcp:port"));
    const QCommandLineOption meterFaultOption(
        QStringLiteral("meter-fault"),
        QStringLiteral("The instrument misbehaves on every query: none, silent, garbage, slow, "
                       "hangup."),
        QStringLiteral("name"), QStringLiteral("none"));
    const QCommandLineOption meterNoiseOption(
        QStringLiteral("meter-noise"),
        QStringLiteral("Noise of the instrument's readings, uniform within +-<amount>."),
        QStringLiteral("amount"), QStringLiteral("0"));
    parser.addOptions({comOption, loadOption, pacedOption, faultOption, lineOption, demoOption,
                       meterOption, meterFaultOption, meterNoiseOption});
    parser.process(app);

    QTextStream err(stderr);
    bool ok = false;
    const int com = parser.value(comOption).toInt(&ok);
    if (!ok || com < 1 || com > 99) {
        err << "--com needs a number from 1 to 99\n";
        return 2;
    }
    const SimulatedRadio::Fault fault
        = SimulatedRadio::faultFromName(parser.value(faultOption), &ok);
    if (!ok) {
        err << "unknown fault: " << parser.value(faultOption) << "\n";
        return 2;
    }
    const SimulatedRadio::Line line = SimulatedRadio::lineFromName(parser.value(lineOption), &ok);
    if (!ok) {
        err << "unknown line: " << parser.value(lineOption) << "\n";
        return 2;
    }

    SimulatedRadio radio;
    if (!radio.isOpen()) {
        err << "cannot create a pseudo-terminal: " << radio.errorString() << "\n";
        return 1;
    }
    if (parser.isSet(demoOption))
        radio.memory() = demoImage();
    if (parser.isSet(loadOption)) {
        QString error;
        if (!loadImage(parser.value(loadOption), radio.memory(), error)) {
            err << parser.value(loadOption) << ": " << error << "\n";
            return 1;
        }
    }
    radio.setPaced(parser.isSet(pacedOption));

    SimulatedMeter meter(radio);
    if (parser.isSet(meterOption)) {
        const QString address = parser.value(meterOption);
        const int port = address.startsWith(QLatin1String("tcp:"))
                             ? address.mid(4).toInt(&ok)
                             : 0;
        if (!ok || port < 1 || port > 65535) {
            err << "--meter needs tcp:<port>, for example tcp:5025\n";
            return 2;
        }
        const SimulatedMeter::Fault meterFault
            = SimulatedMeter::faultFromName(parser.value(meterFaultOption), &ok);
        if (!ok) {
            err << "unknown instrument fault: " << parser.value(meterFaultOption) << "\n";
            return 2;
        }
        const double noise = parser.value(meterNoiseOption).toDouble(&ok);
        if (!ok || noise < 0) {
            err << "--meter-noise needs a number of 0 or more\n";
            return 2;
        }
        meter.setFaultPlan([meterFault](int) { return meterFault; });
        meter.setNoise(noise);
        if (!meter.listen(quint16(port))) {
            err << "cannot listen on port " << port << ": " << meter.errorString() << "\n";
            return 1;
        }
        QObject::connect(&meter, &SimulatedMeter::queried, &app,
                         [](const QString &query, const QString &reply) {
                             out() << "meter " << query << " -> " << reply << Qt::endl;
                         });
    }
    radio.setFaultPlan([fault](int) { return fault; });
    radio.setLine(line);

    SettingsRestorer restorer(com);
    if (!radio.registerAsComPort(com)
        || !SettingsStore::WriteRegistryText(QString::fromLatin1(SettingsStore::ComPortValue),
                                             QString::number(com))) {
        err << "cannot write the tool's settings\n";
        restorer.restore(radio);
        return 1;
    }
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app,
                     [&restorer, &radio] { restorer.restore(radio); });

    // Leave no port entry behind that points at a terminal which no longer exists.
    if (::pipe(g_signalPipe) == 0) {
        ::fcntl(g_signalPipe[0], F_SETFD, FD_CLOEXEC);
        ::fcntl(g_signalPipe[1], F_SETFD, FD_CLOEXEC);
        auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app,
                         [] { QCoreApplication::quit(); });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGHUP, onSignal);
    }

    out() << "COM" << com << " = " << radio.devicePath() << Qt::endl;
    out() << (radio.isPaced() ? "paced at 115200 baud" : "unpaced") << ", fault "
          << SimulatedRadio::faultName(fault) << Qt::endl;
    if (parser.isSet(meterOption))
        out() << "instrument on tcp:127.0.0.1:" << meter.port() << Qt::endl;

    QObject::connect(&radio, &SimulatedRadio::requestReceived, &app, [&radio](int index) {
        const SimulatedRadio::Request &r = radio.requests().at(index);
        const QString kind = r.operation == 4 ? QStringLiteral("read ") : QStringLiteral("write");
        out() << kind << " words " << r.firstWord << "-" << (r.firstWord + r.count - 1) << "  "
              << hex(r.frame) << Qt::endl;
    });
    QObject::connect(&radio, &SimulatedRadio::liveFrameReceived, &app, [&radio](int index) {
        const SimulatedRadio::LiveFrame &f = radio.liveFrames().at(index);
        QStringList words;
        for (const qint32 w : f.words)
            words << QString::number(w);
        out() << "live  cmd " << QString::number(f.command, 16).toUpper() << " word "
              << f.wordAddress << " = " << words.join(QLatin1Char(',')) << " tx "
              << f.transmitSeconds << " s  " << hex(f.frame) << Qt::endl;
    });
    QObject::connect(&radio, &SimulatedRadio::vanished, &app, [&radio] {
        out() << "vanished; back in " << ReappearDelayMs << " ms" << Qt::endl;
        QTimer::singleShot(ReappearDelayMs, &radio, [&radio] { radio.reappear(); });
    });
    QObject::connect(&radio, &SimulatedRadio::reappeared, &app, [com](const QString &path) {
        out() << "COM" << com << " = " << path << Qt::endl;
    });

    return app.exec();
}
