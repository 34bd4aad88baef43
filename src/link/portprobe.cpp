#include "portprobe.h"

#include "portopen.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

namespace {

PortDetails detailsOf(const QSerialPortInfo &info)
{
    PortDetails d;
    d.description = info.description().trimmed();
    d.manufacturer = info.manufacturer().trimmed();
    if (info.hasVendorIdentifier())
        d.vendorId = info.vendorIdentifier();
    if (info.hasProductIdentifier())
        d.productId = info.productIdentifier();
    return d;
}

bool sameDevice(const QSerialPortInfo &info, const QString &device, const QString &target)
{
    if (info.portName() == device || info.systemLocation() == device)
        return true;
    return !target.isEmpty() && info.systemLocation() == target;
}

PortDetails lookUp(const QList<QSerialPortInfo> &available, const QString &device)
{
    // A by-id or by-path link names the same port as the device it leads to.
    const QString target = QFileInfo(device).canonicalFilePath();
    for (const QSerialPortInfo &info : available) {
        if (sameDevice(info, device, target))
            return detailsOf(info);
    }
    return {};
}

} // namespace

bool PortDetails::isEmpty() const
{
    return description.isEmpty() && manufacturer.isEmpty() && !vendorId && !productId;
}

QString PortDetails::usbIdText() const
{
    if (!vendorId || !productId)
        return {};
    return QStringLiteral("%1:%2")
        .arg(*vendorId, 4, 16, QLatin1Char('0'))
        .arg(*productId, 4, 16, QLatin1Char('0'));
}

PortDetails PortDetails::of(const QString &device)
{
    return lookUp(QSerialPortInfo::availablePorts(), device);
}

QString PortProbe::noPortAdvice()
{
    return QCoreApplication::translate(
        "PortProbe", "No port can be opened now. Check that the programming cable is plugged in.");
}

QString PortProbe::refusedAdvice()
{
    return QCoreApplication::translate("PortProbe",
                                       "Some ports refused access. On Linux, add your user to the "
                                       "dialout group with this command, then log out and in "
                                       "again:");
}

QString PortProbe::accessCommand()
{
    return QStringLiteral("sudo usermod -aG dialout \"$USER\"");
}

PortProbe PortProbe::run()
{
    return run(PortMap::load());
}

PortProbe PortProbe::run(const PortMap &map)
{
    PortProbe probe;
    QSerialPort port;
    // Enumerated once: on some systems it walks every device of the machine.
    const QList<QSerialPortInfo> available = QSerialPortInfo::availablePorts();
    for (int n = 1; n <= PortMap::HighestPort; ++n) {
        const QString device = map.deviceName(n);
        if (device.isEmpty())
            continue;
#ifndef Q_OS_WIN
        // Most conventional names have no device behind them; opening one would cost a lock
        // file for nothing.
        if (device.startsWith(QLatin1Char('/')) && !QFileInfo::exists(device))
            continue;
#endif
        const PortOpenResult result = openSerialDevice(port, device);
        if (result.error == PortOpenError::NoPermission)
            probe.someRefused = true;
        if (!result.ok())
            continue;
        port.close();
        probe.ports.append(n);
        probe.devices.insert(n, device);
        probe.details.insert(n, lookUp(available, device));
    }
    return probe;
}

PortChoice PortChoice::choose(const QList<int> &listed, int inUse)
{
    PortChoice choice;
    choice.comPortNumber = inUse;
    if (listed.isEmpty())
        return choice;
    choice.index = static_cast<int>(listed.indexOf(inUse));
    if (choice.index < 0) {
        choice.index = 0;
        choice.comPortNumber = listed.first();
        choice.fellBack = true;
    }
    return choice;
}
