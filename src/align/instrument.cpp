#include "instrument.h"

#include "portopen.h"
#include "serialinstrument.h"
#include "tcpinstrument.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>

namespace {

// SCPI reports a missing reading as 9.91E37 ("not a number") or 9.9E37 (overflow).
constexpr double ScpiNotANumber = 9.9e37;

} // namespace

Instrument::Instrument(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &Instrument::onTimeout);
}

Instrument::~Instrument() = default;

std::optional<Instrument::Address> Instrument::parseAddress(const QString &text, QString *error)
{
    auto fail = [error](const QString &why) -> std::optional<Address> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    Address a;
    if (text.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) {
        const QString rest = text.mid(4);
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const int port = colon > 0 ? rest.mid(colon + 1).toInt(&ok) : 0;
        if (!ok || port < 1 || port > 65535)
            return fail(tr("\"%1\": give the instrument as tcp:HOST:PORT, for example "
                           "tcp:192.168.1.20:5025.")
                            .arg(text));
        a.transport = Address::Transport::Tcp;
        a.host = rest.left(colon);
        // An IPv6 address is written in brackets so that its colons are not taken for the port's.
        if (a.host.startsWith(QLatin1Char('[')) && a.host.endsWith(QLatin1Char(']')))
            a.host = a.host.mid(1, a.host.size() - 2);
        a.port = port;
        return a;
    }
    if (text.startsWith(QLatin1String("serial:"), Qt::CaseInsensitive)) {
        QString rest = text.mid(7);
        a.transport = Address::Transport::Serial;
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon > 0) {
            bool ok = false;
            const int baud = rest.mid(colon + 1).toInt(&ok);
            if (!ok || baud < 50 || baud > 4000000)
                return fail(tr("\"%1\": the speed after the port must be a baud rate, for example "
                               "serial:COM3:9600.")
                                .arg(text));
            a.baud = baud;
            rest = rest.left(colon);
        }
        static const QRegularExpression comName(QStringLiteral("^COM(\\d{1,2})$"),
                                                QRegularExpression::CaseInsensitiveOption);
        if (const QRegularExpressionMatch m = comName.match(rest); m.hasMatch())
            a.device = portDeviceName(m.captured(1).toInt());
        else
            a.device = rest;
        if (a.device.isEmpty())
            return fail(tr("\"%1\": no device is known for this port.").arg(text));
        return a;
    }
    return fail(tr("\"%1\" is not an instrument address: use tcp:HOST:PORT or "
                   "serial:COMn[:BAUD].")
                    .arg(text));
}

std::unique_ptr<Instrument> Instrument::create(const Address &address)
{
    if (address.transport == Address::Transport::Tcp)
        return std::make_unique<TcpInstrument>(address.host, address.port);
    return std::make_unique<SerialInstrument>(address.device, address.baud);
}

std::optional<double> Instrument::parseNumber(const QByteArray &line)
{
    static const QRegularExpression number(QStringLiteral(
        "^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)(?:\\s*[A-Za-z%]{1,8})?\\s*$"));
    const QRegularExpressionMatch m = number.match(QString::fromLatin1(line));
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = m.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) >= ScpiNotANumber)
        return std::nullopt;
    return value;
}

QString Instrument::faultText(Fault fault)
{
    switch (fault) {
    case Fault::None:
        return {};
    case Fault::CannotOpen:
        return tr("The instrument cannot be reached.");
    case Fault::NoReply:
        return tr("The instrument did not reply.");
    case Fault::NotANumber:
        return tr("The instrument's reply is not a reading.");
    case Fault::ConnectionLost:
        return tr("The connection to the instrument was lost.");
    }
    return {};
}

void Instrument::attach(QIODevice *device)
{
    m_device = device;
    connect(device, &QIODevice::readyRead, this, &Instrument::onReadyRead);
}

bool Instrument::isOpen() const
{
    return m_device && m_device->isOpen();
}

void Instrument::close()
{
    m_timer->stop();
    m_waiting = false;
    m_buffer.clear();
}

void Instrument::send(const QString &command)
{
    if (isOpen())
        m_device->write(command.toUtf8() + '\n');
}

void Instrument::query(const QString &text)
{
    if (!isOpen()) {
        // Reported from the event loop, like every other reply.
        QTimer::singleShot(0, this, [this] {
            emit replied({std::nullopt, Fault::ConnectionLost, QString()});
        });
        return;
    }
    // Whatever came unasked (a late reply to an earlier query) is not this query's answer.
    m_device->readAll();
    m_buffer.clear();
    m_waiting = true;
    m_device->write(text.toUtf8() + '\n');
    m_timer->start(m_replyTimeoutMs);
}

void Instrument::onReadyRead()
{
    const QByteArray data = m_device->readAll();
    if (!m_waiting)
        return;
    m_buffer += data;
    const qsizetype end = m_buffer.indexOf('\n');
    if (end < 0) {
        if (m_buffer.size() > MaxReplyLength)
            finishQuery({std::nullopt, Fault::NotANumber,
                         QString::fromLatin1(m_buffer.left(40).toHex(' '))});
        return;
    }
    QByteArray line = m_buffer.left(end);
    if (line.endsWith('\r'))
        line.chop(1);
    const std::optional<double> value = parseNumber(line);
    Reading reading;
    reading.value = value;
    reading.fault = value ? Fault::None : Fault::NotANumber;
    // Printable replies are shown as they came; anything else as bytes.
    bool printable = line.size() <= 60;
    for (const char c : std::as_const(line))
        printable = printable && c >= 0x20 && c < 0x7F;
    reading.detail = printable ? QString::fromLatin1(line)
                               : QString::fromLatin1(line.left(40).toHex(' ').toUpper());
    finishQuery(reading);
}

void Instrument::onTimeout()
{
    if (m_waiting)
        finishQuery({std::nullopt, Fault::NoReply, QString()});
}

void Instrument::reportLost(const QString &why)
{
    if (m_waiting)
        finishQuery({std::nullopt, Fault::ConnectionLost, why});
}

void Instrument::finishQuery(const Reading &reading)
{
    m_timer->stop();
    m_waiting = false;
    m_buffer.clear();
    emit replied(reading);
}
