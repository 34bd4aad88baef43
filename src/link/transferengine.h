#pragma once

#include "blockplan.h"
#include "portopen.h"
#include "replyreceiver.h"
#include "requestframe.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QSerialPort;
class QTimer;
class RadioImage;

// Runs one read or write transfer of the radio image over a serial port, block by block, without
// any widget: the transfer window is its view and answers the Retry/Cancel question.
//
// A slot may call stop(), retry() or cancel() from inside any of the signals; the engine does no
// further work in the handler that emitted it.
class TransferEngine : public QObject
{
    Q_OBJECT
public:
    // Silence after a send or an arrival that makes a block fail.
    static constexpr int ReplyTimeoutMs = 1000;
    // Delay between a completed reply and its hand-over to the transfer.
    static constexpr int HandOverMs = 1;
    // Arrivals restart the time-out, but a radio that keeps sending without ever completing its
    // reply cannot hold a block open for longer than this after the request.
    static constexpr int MaxReplyWaitMs = 5000;
    // Failed blocks repeated before the question is asked.
    static constexpr int MaxRepeats = 10;

    explicit TransferEngine(RadioImage &image, QObject *parent = nullptr);
    ~TransferEngine() override;

    // Opens the port of COM number comPortNumber (115200,N,8,1) and sends the first request.
    // On failure nothing is sent, the engine is finished without success and the reason returned;
    // finished(false) follows from the event loop 1 ms later, as after a cancel.
    PortOpenResult start(int comPortNumber, bool isRead, bool tuneDataRange, bool squelchDataRange);

    // Answers to retryQuestion(); ignored at any other time. Cancel may also be used to abandon a
    // running transfer.
    void retry();
    void cancel();

    // The window is going away: close the port, stop the timer; no signal is emitted afterwards and
    // the image is not touched again. The image keeps the blocks already read.
    void stop();

    bool succeeded() const;
    // Between start() and finished().
    bool isRunning() const;
    bool isPortOpen() const;

signals:
    void debugLine(const QString &line);
    // After each accepted block: the progress fraction, capped at 1.
    void progress(double fraction);
    void retryQuestion();
    void finished(bool success);

private:
    enum class State { Idle, Running, Finished, Stopped };

    void connectPort();
    void disconnectAll();
    void openPort();
    void closePort();
    bool deviceGone() const;
    void sendRequest();
    void onReadyRead();
    void onPortError(int error);
    void onTimeout();
    void acceptBlock();
    void failBlock();
    bool alive() const { return m_state == State::Running; }

    RadioImage &m_image;
    QSerialPort *m_port = nullptr;
    QTimer *m_timer = nullptr;
    QElapsedTimer m_sinceSend;
    QList<QMetaObject::Connection> m_connections;

    State m_state = State::Idle;
    int m_comPortNumber = 1;
    QString m_device; // what the port was last opened as
    RequestOperation m_operation = RequestOperation::Read;
    BlockPlan m_plan;
    BlockPlan::Block m_block;
    ReplyReceiver m_reply;

    int m_retryCount = 0;
    bool m_retryPending = false;
    bool m_questionPending = false;
    bool m_finishPending = false;
    bool m_succeeded = false;
};
