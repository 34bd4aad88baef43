// A settings file of arbitrary bytes: the stored port, the language and the port map are read
// without harm, the start-up port is always one the program can use, and a value written over
// such a file reads back.
//
// QSettings parses only files, and a file per input costs more than everything else together
// (fewer than 2,500 inputs a second). So every input goes through the program's own reading of
// values from memory, as QSettings hands them over; one run in 32 also goes through QSettings on
// a real file. The run's number chooses, not the input: when a choice by length gave QSettings
// more to cover, the fuzzer filled its corpus with inputs of such lengths and half of its time
// went there. The first run always takes both ways, so an input replayed alone does too.
#include "portopen.h"
#include "settingsstore.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <cstdint>
#include <cstdlib>

namespace {

QString settingsFile;
qint64 fileTimeMs = 0;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A value of an INI line in the shapes QSettings gives the program: nothing, bytes, a value of
// another type, a list for unquoted commas, otherwise text (NULs and all).
QVariant valueOf(QByteArrayView text)
{
    if (text.startsWith("@Invalid()"))
        return {};
    if (text.startsWith("@ByteArray("))
        return text.sliced(11).chopped(text.endsWith(')') ? 1 : 0).toByteArray();
    if (text.startsWith("@Variant("))
        return QVariantMap{{QStringLiteral("value"), QString::fromUtf8(text.sliced(9))}};
    const QString value = QString::fromUtf8(text);
    if (value.contains(QLatin1Char(',')))
        return value.split(QLatin1Char(','));
    return value;
}

struct Values
{
    QVariant language;
    QVariant comPort;
    QVariantMap ports;
};

// The "key=value" lines of the input by their "[group]", as far as the program looks: two values
// of the general group and the whole "Ports" group.
Values valuesOf(const QByteArray &bytes)
{
    Values values;
    enum { General, Ports, Other } group = General;
    for (QByteArrayView rest(bytes); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView line = (end < 0 ? rest : rest.first(end)).trimmed();
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.startsWith('[')) {
            const QByteArrayView name = line.sliced(1).chopped(line.endsWith(']') ? 1 : 0);
            group = name == "Ports" ? Ports : name == "General" ? General : Other;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0 || group == Other)
            continue;
        const QByteArrayView key = line.first(equals).trimmed();
        const QByteArrayView value = line.sliced(equals + 1).trimmed();
        if (group == Ports)
            values.ports.insert(QString::fromUtf8(key), valueOf(value));
        else if (key == "Language")
            values.language = valueOf(value);
        else if (key == "ComPort")
            values.comPort = valueOf(value);
    }
    return values;
}

// The ports an input looks up: the one the program starts with, one its length chooses, and one
// without a conventional device. A number with a conventional device always resolves.
void checkPorts(const PortMap &map, int startPort, std::size_t size)
{
    for (const int n : {startPort, int(size % 99) + 1, 97}) {
        const QString device = map.deviceName(n);
        if (n <= 96)
            check(!device.isEmpty());
        check(device == device.trimmed());
    }
}

void fromMemory(const QByteArray &bytes, std::size_t size)
{
    const bool malformed = SettingsStore::isMalformedText(bytes);
    check(!malformed || bytes.contains('['));
    const Values values = valuesOf(bytes);
    const QString language = SettingsStore::textOf(values.language);
    check(!language.contains(QChar(0)));
    const int port = SettingsStore::comPortFromText(SettingsStore::textOf(values.comPort));
    check(port >= 1 && port <= 99);
    checkPorts(PortMap::fromEntries(values.ports), port, size);
}

void throughQSettings(const QByteArray &bytes, std::size_t size, bool alsoWrite)
{
    {
        QFile file(settingsFile);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered));
        check(file.write(bytes) == bytes.size());
        // Settings files are re-read when their time or size changes; give every input its own
        // time so that no input is judged by the previous one's contents.
        fileTimeMs += 1000;
        check(file.setFileTime(QDateTime::fromMSecsSinceEpoch(fileTimeMs),
                               QFileDevice::FileModificationTime));
    }
    QSettings settings(settingsFile, QSettings::IniFormat);
    const QString language = SettingsStore::readText(settings, QStringLiteral("Language"));
    check(!language.contains(QChar(0)));
    const int port = SettingsStore::storedComPort(settings);
    check(port >= 1 && port <= 99);
    checkPorts(PortMap::fromSettings(settings), port, size);

    // Writing costs several times all the reading above, so one such run in eight also writes.
    if (alsoWrite
        && SettingsStore::writeText(settings, QStringLiteral("ComPort"), QStringLiteral("7")))
        check(SettingsStore::storedComPort(QSettings(settingsFile, QSettings::IniFormat)) == 7);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    check(dir.isValid());
    SettingsStore::useFolder(dir.path());
    settingsFile = SettingsStore::openSettings().fileName();
    check(QDir().mkpath(QFileInfo(settingsFile).absolutePath()));
    fileTimeMs = QDateTime::currentMSecsSinceEpoch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    fromMemory(bytes, size);
    static std::uint64_t run = 0;
    if (run % 32 == 0)
        throughQSettings(bytes, size, run % 256 == 0);
    ++run;
    return 0;
}
