#pragma once

#include "instrument.h"

class QSerialPort;

// An instrument on a serial port, 8N1 without flow control.
class SerialInstrument : public Instrument
{
    Q_OBJECT
public:
    SerialInstrument(QString device, int baud, QObject *parent = nullptr);

    QString description() const override;
    void open() override;
    void close() override;

private:
    QSerialPort *m_port;
    QString m_device;
    int m_baud;
};
