#include "portopen.h"

#include "settingsstore.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSettings>

QString portDeviceName(int comPortNumber)
{
    if (comPortNumber < 1 || comPortNumber > 99)
        return {};

    QSettings settings = SettingsStore::openSettings();
    const QString mapped
        = settings.value(QStringLiteral("Ports/COM%1").arg(comPortNumber)).toString().trimmed();
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
    PortOpenResult result;
    result.device = portDeviceName(comPortNumber);

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
