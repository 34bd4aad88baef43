#pragma once

#include "instrument.h"

class QTcpSocket;

// The raw SCPI socket of a bench instrument (usually port 5025).
class TcpInstrument : public Instrument
{
    Q_OBJECT
public:
    TcpInstrument(QString host, int port, QObject *parent = nullptr);

    QString description() const override;
    void open() override;
    void close() override;

private:
    QTcpSocket *m_socket;
    QString m_host;
    int m_port;
    bool m_connected = false;
};
