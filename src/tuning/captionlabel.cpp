#include "captionlabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOption>

CaptionLabel::CaptionLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

const QStaticText &CaptionLabel::laidOut() const
{
    if (!m_valid || m_laidOutText != text()) {
        m_laidOutText = text();
        m_layout.setTextFormat(Qt::PlainText);
        m_layout.setText(m_laidOutText);
        m_layout.prepare(QTransform(), font());
        m_valid = true;
    }
    return m_layout;
}

bool CaptionLabel::drawnAsLaidOut() const
{
    // A mnemonic, with a buddy to take it, is underlined and hidden by QLabel's own drawing.
    return !(buddy() && text().contains(QLatin1Char('&')));
}

QSize CaptionLabel::sizeHint() const
{
    if (!drawnAsLaidOut())
        return QLabel::sizeHint();
    const QMargins m = contentsMargins();
    const int extra = 2 * margin();
    const QSizeF text = laidOut().size();
    // Whole pixels that hold the text, as a QLabel would measure it.
    return QSize(qCeil(text.width()) + m.left() + m.right() + extra,
                 qMax(qCeil(text.height()), fontMetrics().height()) + m.top() + m.bottom() + extra);
}

QSize CaptionLabel::minimumSizeHint() const
{
    return drawnAsLaidOut() ? sizeHint() : QLabel::minimumSizeHint();
}

void CaptionLabel::paintEvent(QPaintEvent *event)
{
    if (!drawnAsLaidOut()) {
        QLabel::paintEvent(event);
        return;
    }
    const QStaticText &layout = laidOut();
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(option.palette.color(foregroundRole()));
    const QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QSizeF size = layout.size();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    qreal x = r.left();
    if (align & Qt::AlignRight)
        x = r.right() + 1 - size.width();
    else if (align & Qt::AlignHCenter)
        x = r.left() + (r.width() - size.width()) / 2;
    qreal y = r.top();
    if (align & Qt::AlignBottom)
        y = r.bottom() + 1 - size.height();
    else if (align & Qt::AlignVCenter)
        y = r.top() + (r.height() - size.height()) / 2;
    painter.drawStaticText(QPointF(qRound(x), qRound(y)), layout);
}

void CaptionLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_valid = false;
    QLabel::changeEvent(event);
}
