#pragma once

#include <QHash>
#include <QString>
#include <QVariantMap>

class QSerialPort;
class QSettings;

// Why a port could not be opened, told apart so the technician can act on it.
enum class PortOpenError {
    None,
    NoSuchDevice,
    // The COM number stands for no device at all (COM97-99 on Linux without a "Ports/COMn"
    // entry), so there is no device name to tell the technician.
    NoDeviceForNumber,
    InUse,
    NoPermission,
    Other
};

struct PortOpenResult
{
    PortOpenError error = PortOpenError::None;
    int comPortNumber = 0; // the COM number asked for; 0 when a device was named directly
    QString device;        // the device name that was tried
    QString systemText;    // the platform's own error text, for the detail line
    bool ok() const { return error == PortOpenError::None; }
};

// The "Ports/COMn" entries of the settings, read once, for code that names many ports in a row.
class PortMap
{
public:
    static constexpr int HighestPort = 99;

    static PortMap load();
    // The same from a store already open.
    static PortMap fromSettings(QSettings &settings);
    // From the entries of the "Ports" group, by key ("COM3") as the store names them.
    static PortMap fromEntries(const QVariantMap &entries);
    // mapped[n] is the device of COM number n; missing or empty entries follow the convention.
    explicit PortMap(QHash<int, QString> mapped = {});

    // COM number n to the device to open: an entry "Ports/COMn" wins; otherwise "COMn" on
    // Windows; on Linux COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96
    // /dev/ttyACM0-31. Empty for a number outside 1..99 or without any device.
    QString deviceName(int comPortNumber) const;

    // The settings key of COM number n's entry.
    static QString settingsKey(int comPortNumber);

private:
    QHash<int, QString> m_mapped;
};

// The device of COM number n under the settings as they are now.
QString portDeviceName(int comPortNumber);

// Sets the port to the device of COM number n with 115200,N,8,1, no flow control, and opens it
// for reading and writing (if not open yet).
PortOpenResult openSerialPort(QSerialPort &port, int comPortNumber);
// The same for a device already named.
PortOpenResult openSerialDevice(QSerialPort &port, const QString &device);

// Why a port could not be opened and what to do about it, in the current language: the line
// under the window's message, and the command line's explanation.
QString portOpenReason(const PortOpenResult &result);
