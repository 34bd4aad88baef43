#pragma once

#include <QLabel>

class ImageSession;
class QTimer;
struct LiveFrameReport;

// The status-bar panel of the live link: the last frame and what became of it, and while a
// transmit value keys the transmitter, a countdown of its seconds. Never a message box: the
// technician is watching a meter.
class LiveStatusPanel : public QLabel
{
    Q_OBJECT
public:
    explicit LiveStatusPanel(ImageSession &session, QWidget *parent = nullptr);

    // Seconds of transmission still shown; 0 when the transmitter is not keyed.
    int transmitSecondsLeft() const { return m_txLeft; }
    // The text of the last frame, without the countdown.
    const QString &frameText() const { return m_frameText; }

    // One second of the countdown; the panel's own timer calls it.
    void tick();

private:
    void report(const LiveFrameReport &report);
    void present(const QString &style);

    QTimer *m_timer;
    QString m_frameText;
    int m_txLeft = 0;
};
