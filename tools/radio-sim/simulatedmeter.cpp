#include "simulatedmeter.h"

#include "simulatedradio.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// Words of the transmit power table: even words of 16..51 and 80..115; the odd ones are the
// deviations beside them.
bool isPowerWord(int w)
{
    return ((w >= 16 && w <= 51) || (w >= 80 && w <= 115)) && w % 2 == 0;
}

// Each word has its own best value, so that no two steps end on the same number.
int centreOf(int word, int span)
{
    return (word * 37) % (span / 3 + 1) - span / 6;
}

} // namespace

SimulatedMeter::SimulatedMeter(SimulatedRadio &radio, QObject *parent)
    : QObject(parent)
    , m_radio(radio)
    , m_server(new QTcpServer(this))
    , m_response(&SimulatedMeter::defaultResponse)
    , m_random(1)
{
    connect(m_server, &QTcpServer::newConnection, this, &SimulatedMeter::onConnection);
    connect(&radio, &SimulatedRadio::liveFrameReceived, this, [this](int index) {
        const SimulatedRadio::LiveFrame &f = m_radio.liveFrames().at(index);
        if (f.words.isEmpty())
            return;
        m_word = f.wordAddress;
        m_value = f.words.first();
        m_keyedForMs = f.transmitSeconds * 1000;
        m_sinceKey.start();
    });
}

SimulatedMeter::~SimulatedMeter() = default;

bool SimulatedMeter::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 SimulatedMeter::port() const
{
    return m_server->serverPort();
}

QString SimulatedMeter::errorString() const
{
    return m_server->errorString();
}

void SimulatedMeter::setResponse(Response response)
{
    m_response = std::move(response);
}

double SimulatedMeter::defaultResponse(int word, qint32 value)
{
    if (word == 0) // frequency error in Hz: the adjustment pulls the carrier down
        return -2.5 * (value - centreOf(word, 600));
    if (isPowerWord(word)) // output power in W
        return 0.1 * (value - centreOf(word, 100) - 20);
    // deviation and microphone values in kHz
    return 0.05 * (value - centreOf(word, 100));
}

void SimulatedMeter::setNoise(double amplitude, quint32 seed)
{
    m_noise = amplitude;
    m_random.seed(seed);
}

void SimulatedMeter::setFaultPlan(FaultPlan plan)
{
    m_faultPlan = std::move(plan);
}

SimulatedMeter::Fault SimulatedMeter::faultFromName(const QString &name, bool *ok)
{
    static const QHash<QString, Fault> names{{QStringLiteral("none"), Fault::None},
                                             {QStringLiteral("silent"), Fault::Silent},
                                             {QStringLiteral("garbage"), Fault::Garbage},
                                             {QStringLiteral("slow"), Fault::Slow},
                                             {QStringLiteral("hangup"), Fault::Hangup}};
    if (ok)
        *ok = names.contains(name);
    return names.value(name, Fault::None);
}

bool SimulatedMeter::isKeyed() const
{
    return m_word >= 0 && m_keyedForMs > 0 && m_sinceKey.isValid()
           && m_sinceKey.elapsed() < m_keyedForMs;
}

double SimulatedMeter::reading() const
{
    return isKeyed() ? m_response(m_word, m_value) : 0.0;
}

void SimulatedMeter::onConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void SimulatedMeter::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->readAll();
    qsizetype end;
    while ((end = buffer.indexOf('\n')) >= 0) {
        QByteArray line = buffer.left(end).trimmed();
        buffer.remove(0, end + 1);
        answer(socket, line);
        if (!m_buffers.contains(socket))
            return;
    }
}

void SimulatedMeter::answer(QTcpSocket *socket, const QByteArray &line)
{
    if (!line.endsWith('?')) {
        m_commands.append(QString::fromLatin1(line));
        return;
    }
    if (line == "*IDN?") {
        socket->write("Norvane,SimMeter,0,1.0\n");
        return;
    }
    // A frame that reached the radio's terminal before this query must count, as it would on
    // the air.
    m_radio.takeWaitingInput();
    const int index = m_queries++;
    const Fault fault = m_faultPlan ? m_faultPlan(index) : Fault::None;
    double value = reading();
    if (isKeyed() && m_noise > 0.0)
        value += (m_random.generateDouble() * 2.0 - 1.0) * m_noise;
    const QByteArray reply = QByteArray::number(value, 'E', 5) + '\n';
    emit queried(QString::fromLatin1(line), QString::fromLatin1(reply.trimmed()));
    switch (fault) {
    case Fault::None:
        socket->write(reply);
        break;
    case Fault::Silent:
        break;
    case Fault::Garbage:
        socket->write("#\x01\x7F ERR -113\r\n");
        break;
    case Fault::Slow:
        QTimer::singleShot(m_slowDelayMs, socket, [socket, reply] { socket->write(reply); });
        break;
    case Fault::Hangup:
        m_buffers.remove(socket);
        socket->disconnectFromHost();
        break;
    }
}
