#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QRandomGenerator>

#include <functional>

class QTcpServer;
class QTcpSocket;
class SimulatedRadio;

// A measuring instrument on a raw SCPI socket that watches a simulated radio: while a live frame
// keys the radio's transmitter, a query is answered with a reading that follows the value just
// sent; otherwise with 0. Commands (lines without "?") are taken silently. It can misbehave on
// purpose, as real instruments and their networks do.
class SimulatedMeter : public QObject
{
    Q_OBJECT
public:
    enum class Fault {
        None,
        Silent,  // the query is never answered
        Garbage, // a line that is no number
        Slow,    // the right reply, after slowDelayMs
        Hangup,  // the connection is closed instead of answering
    };

    // The reading for a word when the radio holds value; the default response gives every kind
    // of value its own slope and sign: frequency error falls with the adjustment (Hz), power
    // rises (W), deviation rises (kHz).
    using Response = std::function<double(int word, qint32 value)>;

    explicit SimulatedMeter(SimulatedRadio &radio, QObject *parent = nullptr);
    ~SimulatedMeter() override;

    // 0 picks a free port.
    bool listen(quint16 port = 0);
    quint16 port() const;
    QString errorString() const;

    void setResponse(Response response);
    static double defaultResponse(int word, qint32 value);
    // Noise added to each reading: uniform within ±amplitude, from a seeded generator so that a
    // run can be repeated exactly.
    void setNoise(double amplitude, quint32 seed = 1);

    // Decides the fault of each query; queryIndex counts them from 0.
    using FaultPlan = std::function<Fault(int queryIndex)>;
    void setFaultPlan(FaultPlan plan);
    void setSlowDelayMs(int ms) { m_slowDelayMs = ms; }
    static Fault faultFromName(const QString &name, bool *ok = nullptr);

    int queryCount() const { return m_queries; }
    const QStringList &commands() const { return m_commands; }

    // True while the last live frame keys the transmitter.
    bool isKeyed() const;
    double reading() const;

signals:
    void queried(const QString &query, const QString &reply);

private:
    void onConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &line);

    SimulatedRadio &m_radio;
    QTcpServer *m_server;
    Response m_response;
    double m_noise = 0.0;
    QRandomGenerator m_random;
    FaultPlan m_faultPlan;
    int m_slowDelayMs = 3000;
    int m_queries = 0;
    QStringList m_commands;
    QHash<QTcpSocket *, QByteArray> m_buffers;

    int m_word = -1;
    qint32 m_value = 0;
    QElapsedTimer m_sinceKey;
    qint64 m_keyedForMs = 0;
};
