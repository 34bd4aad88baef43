#include "serialinstrument.h"

#include <QSerialPort>
#include <QTimer>

SerialInstrument::SerialInstrument(QString device, int baud, QObject *parent)
    : Instrument(parent)
    , m_port(new QSerialPort(this))
    , m_device(std::move(device))
    , m_baud(baud)
{
    attach(m_port);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError)
            reportLost(m_port->errorString());
    });
}

QString SerialInstrument::description() const
{
    return QStringLiteral("serial:%1:%2").arg(m_device).arg(m_baud);
}

void SerialInstrument::open()
{
    m_port->setPortName(m_device);
    m_port->setBaudRate(m_baud);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    // Reported from the event loop, as the TCP connection reports its outcome.
    if (m_port->open(QIODevice::ReadWrite)) {
        QTimer::singleShot(0, this, [this] { emit opened(); });
        return;
    }
    const QString why = QStringLiteral("%1: %2").arg(m_device, m_port->errorString());
    QTimer::singleShot(0, this, [this, why] {
        emit failed({std::nullopt, Fault::CannotOpen, why});
    });
}

void SerialInstrument::close()
{
    Instrument::close();
    if (m_port->isOpen())
        m_port->close();
}
