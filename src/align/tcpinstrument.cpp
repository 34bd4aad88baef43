#include "tcpinstrument.h"

#include <QTcpSocket>
#include <QTimer>

TcpInstrument::TcpInstrument(QString host, int port, QObject *parent)
    : Instrument(parent)
    , m_socket(new QTcpSocket(this))
    , m_host(std::move(host))
    , m_port(port)
{
    attach(m_socket);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_connected = true;
        // Readings must not wait for more bytes to fill a segment.
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit opened();
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (!m_connected) {
            emit failed({std::nullopt, Fault::CannotOpen, m_socket->errorString()});
            return;
        }
        reportLost(m_socket->errorString());
    });
    connect(m_socket, &QTcpSocket::disconnected, this,
            [this] { reportLost(tr("The instrument closed the connection.")); });
}

QString TcpInstrument::description() const
{
    return QStringLiteral("tcp:%1:%2").arg(m_host).arg(m_port);
}

void TcpInstrument::open()
{
    m_connected = false;
    m_socket->connectToHost(m_host, quint16(m_port));
    // A host that never answers would otherwise hold the run for the system's long time-out.
    QTimer::singleShot(replyTimeoutMs() * 2, this, [this] {
        if (!m_connected && m_socket->state() != QAbstractSocket::UnconnectedState) {
            m_socket->abort();
            emit failed(
                {std::nullopt, Fault::CannotOpen, tr("No connection within the time-out.")});
        }
    });
}

void TcpInstrument::close()
{
    Instrument::close();
    m_connected = false;
    m_socket->abort();
}
