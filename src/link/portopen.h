#pragma once

#include <QString>

class QSerialPort;

// Why a port could not be opened, told apart so the technician can act on it.
enum class PortOpenError { None, NoSuchDevice, InUse, NoPermission, Other };

struct PortOpenResult
{
    PortOpenError error = PortOpenError::None;
    QString device;     // the device name that was tried
    QString systemText; // the platform's own error text, for the detail line
    bool ok() const { return error == PortOpenError::None; }
};

// COM number n to the device to open: a settings entry "Ports/COMn" wins; otherwise "COMn" on
// Windows; on Linux COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31.
QString portDeviceName(int comPortNumber);

// Sets the port to the device of COM number n with 115200,N,8,1, no flow control, and opens it
// for reading and writing (if not open yet).
PortOpenResult openSerialPort(QSerialPort &port, int comPortNumber);
