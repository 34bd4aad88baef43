#include "portopen.h"

#include "settingsstore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPort>
#include <QSettings>

PortMap PortMap::load()
{
    QSettings settings = SettingsStore::openSettings();
    return fromSettings(settings);
}

PortMap PortMap::fromSettings(QSettings &settings)
{
    settings.beginGroup(QStringLiteral("Ports"));
    QVariantMap entries;
    for (const QString &key : settings.childKeys()) {
        // A line "=value" gives an empty key, which QSettings refuses to look up with a warning.
        if (!key.isEmpty())
            entries.insert(key, settings.value(key));
    }
    settings.endGroup();
    return fromEntries(entries);
}

PortMap PortMap::fromEntries(const QVariantMap &entries)
{
    QHash<int, QString> mapped;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const QString &key = it.key();
        if (!key.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int n = key.mid(3).toInt(&ok);
        if (ok && n >= 1 && n <= HighestPort)
            mapped.insert(n, it.value().toString().trimmed());
    }
    return PortMap(std::move(mapped));
}

PortMap::PortMap(QHash<int, QString> mapped)
    : m_mapped(std::move(mapped))
{}

QString PortMap::settingsKey(int comPortNumber)
{
    return QStringLiteral("Ports/COM%1").arg(comPortNumber);
}

QString PortMap::deviceName(int comPortNumber) const
{
    if (comPortNumber < 1 || comPortNumber > HighestPort)
        return {};
    const QString mapped = m_mapped.value(comPortNumber).trimmed();
    if (!mapped.isEmpty())
        return mapped;

#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comPortNumber);
#else
    const int index = (comPortNumber - 1) % 32;
    switch ((comPortNumber - 1) / 32) {
    case 0:
        return QStringLiteral("/dev/ttyS%1").arg(index);
    case 1:
        return QStringLiteral("/dev/ttyUSB%1").arg(index);
    case 2:
        return QStringLiteral("/dev/ttyACM%1").arg(index);
    default:
        // COM97 to COM99 have no conventional device here; only a "Ports/COMn" entry names one.
        return {};
    }
#endif
}

QString portDeviceName(int comPortNumber)
{
    if (comPortNumber < 1 || comPortNumber > PortMap::HighestPort)
        return {};
    QSettings settings = SettingsStore::openSettings();
    const QString mapped = settings.value(PortMap::settingsKey(comPortNumber)).toString();
    return PortMap({{comPortNumber, mapped}}).deviceName(comPortNumber);
}

namespace {

PortOpenError classify(QSerialPort::SerialPortError error, const QString &device)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return PortOpenError::NoSuchDevice;
    case QSerialPort::PermissionError: {
#ifdef Q_OS_WIN
        Q_UNUSED(device);
        // Windows denies access to a port another program holds.
        return PortOpenError::InUse;
#else
        // A port held by another program (its lock file or exclusive mode) is reported as a
        // permission error too; only the device file tells the two apart.
        const QFileInfo info(device);
        if (!info.exists())
            return PortOpenError::NoSuchDevice;
        if (!info.isReadable() || !info.isWritable())
            return PortOpenError::NoPermission;
        return PortOpenError::InUse;
#endif
    }
    default:
        return PortOpenError::Other;
    }
}

void applyLineSettings(QSerialPort &port)
{
    port.setBaudRate(QSerialPort::Baud115200);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}

} // namespace

PortOpenResult openSerialPort(QSerialPort &port, int comPortNumber)
{
    const QString device = portDeviceName(comPortNumber);
    PortOpenResult result;
    if (port.isOpen()) {
        applyLineSettings(port);
        result.device = device;
    } else if (device.isEmpty()) {
        result.error = PortOpenError::NoDeviceForNumber;
    } else {
        result = openSerialDevice(port, device);
    }
    result.comPortNumber = comPortNumber;
    return result;
}

PortOpenResult openSerialDevice(QSerialPort &port, const QString &device)
{
    PortOpenResult result;
    result.device = device;

    if (port.isOpen()) {
        applyLineSettings(port);
        return result;
    }

    if (result.device.isEmpty()) {
        result.error = PortOpenError::NoSuchDevice;
        return result;
    }

    port.setPortName(result.device);
    applyLineSettings(port);
    if (port.open(QIODevice::ReadWrite))
        return result;

    result.error = classify(port.error(), result.device);
    result.systemText = port.errorString();
    // The object stays usable for the next attempt.
    port.clearError();
    return result;
}

QString portOpenReason(const PortOpenResult &result)
{
    switch (result.error) {
    case PortOpenError::None:
        return {};
    case PortOpenError::NoSuchDevice:
        return QCoreApplication::translate(
                   "PortOpenMessage",
                   "The port %1 does not exist. Check that the programming cable is "
                   "plugged in, or choose another COM port.")
            .arg(result.device);
    case PortOpenError::NoDeviceForNumber:
        return QCoreApplication::translate("PortOpenMessage",
                                           "COM%1 has no device; choose another COM port")
            .arg(result.comPortNumber);
    case PortOpenError::InUse:
        return QCoreApplication::translate(
                   "PortOpenMessage",
                   "The port %1 is in use by another program. Close that program and "
                   "try again.")
            .arg(result.device);
    case PortOpenError::NoPermission:
        return QCoreApplication::translate(
                   "PortOpenMessage",
                   "You have no permission to use the port %1. On Linux, add your user "
                   "to the dialout group (sudo usermod -aG dialout $USER) and log in "
                   "again.")
            .arg(result.device);
    case PortOpenError::Other:
        break;
    }
    return QCoreApplication::translate("PortOpenMessage", "The port %1 could not be opened: %2")
        .arg(result.device, result.systemText);
}
