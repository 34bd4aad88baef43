#include "livestatuspanel.h"

#include "imagecompare.h"
#include "imagesession.h"

#include <QTimer>

namespace {

const QString TransmitStyle = QStringLiteral("QLabel { background: #e65100; color: white; }");

QString reasonText(LiveFrameOutcome outcome)
{
    switch (outcome) {
    case LiveFrameOutcome::Sent:
        break;
    case LiveFrameOutcome::PortMissing:
        return LiveStatusPanel::tr("the port is missing");
    case LiveFrameOutcome::PortInUse:
        return LiveStatusPanel::tr("the port is in use by another program");
    case LiveFrameOutcome::PortRefused:
        return LiveStatusPanel::tr("the port refused access");
    case LiveFrameOutcome::NeverDrained:
        return LiveStatusPanel::tr("the line never drained");
    }
    return {};
}

QString valueName(int word)
{
    const QString name = ImageCompare::wordName(word);
    return name.isEmpty() ? LiveStatusPanel::tr("Word %1").arg(word) : name;
}

} // namespace

LiveStatusPanel::LiveStatusPanel(ImageSession &session, QWidget *parent)
    : QLabel(parent)
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("LiveStatus"));
    setAccessibleName(tr("Live link"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setContentsMargins(6, 0, 6, 0);
    // The panel takes the room the status bar has left: on a narrow window the four panels and
    // "Modified" keep their text, and the whole line is in the tooltip.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setMinimumWidth(160);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &LiveStatusPanel::tick);
    connect(&session, &ImageSession::liveFrameReported, this, &LiveStatusPanel::report);
}

void LiveStatusPanel::report(const LiveFrameReport &r)
{
    // U+2212 is the minus sign; a hyphen reads as a dash beside the name.
    const QString value = QString::number(r.value).replace(QLatin1Char('-'), QChar(0x2212));
    const QString what = tr("%1 = %2").arg(valueName(r.word), value);
    // The countdown follows what the radio was told: a keyed frame starts it afresh with its own
    // seconds, the frame that unkeys ends it, and anything else (a frame of another value, one
    // that never went) leaves the transmitter as it was.
    if (r.txSeconds > 0) {
        m_txLeft = r.txSeconds;
        m_timer->start();
    } else if (r.unkeys) {
        m_txLeft = 0;
        m_timer->stop();
    }
    if (r.outcome != LiveFrameOutcome::Sent) {
        m_frameText = tr("Not sent: %1 — %2").arg(what, reasonText(r.outcome));
        present(QStringLiteral("QLabel { background: #c62828; color: white; }"));
        return;
    }
    m_frameText = tr("Sent: %1").arg(what);
    present(m_txLeft > 0 ? TransmitStyle : QString());
}

void LiveStatusPanel::tick()
{
    if (m_txLeft > 0)
        --m_txLeft;
    if (m_txLeft == 0) {
        m_timer->stop();
        // A frame that failed stays red; the orange of the transmitter goes.
        present(styleSheet() == TransmitStyle ? QString() : styleSheet());
        return;
    }
    present(styleSheet());
}

void LiveStatusPanel::present(const QString &style)
{
    setStyleSheet(style);
    const QString text = m_txLeft > 0
                             ? tr("TX %1 s").arg(m_txLeft) + QStringLiteral("  ") + m_frameText
                             : m_frameText;
    setText(text);
    setToolTip(text);
    setAccessibleDescription(text);
}
