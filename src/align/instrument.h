#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QIODevice;
class QTimer;

// A measuring instrument that speaks SCPI lines: commands and queries end with "\n", a reply is
// one line holding a number, optionally followed by a unit. One implementation per transport;
// everything runs in the event loop, nothing blocks.
class Instrument : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultReplyTimeoutMs = 2000;
    // A reply line longer than this is not a reading.
    static constexpr int MaxReplyLength = 256;

    enum class Fault {
        None,
        CannotOpen,     // the connection or the port could not be opened
        NoReply,        // no complete line within the time-out
        NotANumber,     // the line holds something other than one number
        ConnectionLost, // the other end went away
    };

    struct Reading
    {
        std::optional<double> value;
        Fault fault = Fault::None;
        QString detail; // what the instrument sent, or the system's reason

        bool ok() const { return value.has_value(); }
    };

    struct Address
    {
        enum class Transport { Tcp, Serial };
        Transport transport = Transport::Tcp;
        QString host;    // tcp
        int port = 0;    // tcp
        QString device;  // serial: the device to open
        int baud = 9600; // serial
    };

    // "tcp:HOST:PORT" or "serial:COMn[:BAUD]" (a device name in place of COMn works as well);
    // null and the reason in error for anything else.
    static std::optional<Address> parseAddress(const QString &text, QString *error = nullptr);
    // The instrument for an address, not opened yet.
    static std::unique_ptr<Instrument> create(const Address &address);

    // A reply's number: "5", "4.98", "+4.98000E+00", optionally followed by a unit ("5.0 W").
    // The SCPI "not a number" values (9.91E37 and above) are none.
    static std::optional<double> parseNumber(const QByteArray &line);
    static QString faultText(Fault fault);

    ~Instrument() override;

    void setReplyTimeoutMs(int ms) { m_replyTimeoutMs = ms; }
    int replyTimeoutMs() const { return m_replyTimeoutMs; }
    virtual QString description() const = 0;

    // Emits opened() or failed().
    virtual void open() = 0;
    virtual void close();
    bool isOpen() const;

    // Commands leave at once and are not answered.
    void send(const QString &command);
    // The reply comes back through replied(); one query at a time.
    void query(const QString &text);
    bool isWaiting() const { return m_waiting; }

signals:
    void opened();
    void failed(const Instrument::Reading &why);
    void replied(const Instrument::Reading &reading);

protected:
    explicit Instrument(QObject *parent = nullptr);
    // The transport's device; the line protocol above it is the same for all.
    void attach(QIODevice *device);
    void reportLost(const QString &why);

private:
    void onReadyRead();
    void onTimeout();
    void finishQuery(const Reading &reading);

    QIODevice *m_device = nullptr;
    QTimer *m_timer;
    QByteArray m_buffer;
    int m_replyTimeoutMs = DefaultReplyTimeoutMs;
    bool m_waiting = false;
};

Q_DECLARE_METATYPE(Instrument::Reading)
