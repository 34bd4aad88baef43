// A settings file of arbitrary bytes: the stored port, the language and the port map are read
// without harm, the start-up port is always one the program can use, and a value written over
// such a file reads back.
#include "portopen.h"
#include "settingsstore.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

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

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    check(dir.isValid());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    settingsFile = SettingsStore::openSettings().fileName();
    check(QDir().mkpath(QFileInfo(settingsFile).absolutePath()));
    fileTimeMs = QDateTime::currentMSecsSinceEpoch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    {
        QFile file(settingsFile);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
        // Settings files are re-read when their time or size changes; give every input its own
        // time so that no input is judged by the previous one's contents.
        fileTimeMs += 1000;
        check(file.setFileTime(QDateTime::fromMSecsSinceEpoch(fileTimeMs),
                               QFileDevice::FileModificationTime));
    }

    const QString language = SettingsStore::ReadRegistryText(QStringLiteral("Language"));
    check(!language.contains(QChar(0)));

    const int port = SettingsStore::storedComPort();
    check(port >= 1 && port <= 99);

    // Every reading opens the file anew, so each input looks up one port: the one the program
    // starts with, or one the input's length chooses. A number with a conventional device always
    // resolves to a device name.
    const int n = size % 2 == 0 ? port : int(size % 99) + 1;
    const QString device = portDeviceName(n);
    if (n <= 96)
        check(!device.isEmpty());
    check(device == device.trimmed());

    // Writing costs as much as all the reading above, so one input in eight also writes; chosen
    // by its length, so that a finding reproduces from its input alone.
    if (size % 8 == 0
        && SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("7")))
        check(SettingsStore::storedComPort() == 7);
    return 0;
}
