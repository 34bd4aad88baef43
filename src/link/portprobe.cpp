#include "portprobe.h"

#include "portopen.h"

#include <QFileInfo>
#include <QSerialPort>

PortProbe PortProbe::run()
{
    return run(PortMap::load());
}

PortProbe PortProbe::run(const PortMap &map)
{
    PortProbe probe;
    QSerialPort port;
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
