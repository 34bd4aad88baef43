#include "focusmark.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>

FocusMark::FocusMark(QWidget *window)
    : QWidget(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("FocusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { follow(now); });
}

void FocusMark::follow(QWidget *focused)
{
    const bool arrows = qobject_cast<QAbstractSlider *>(focused)
                        || qobject_cast<QLineEdit *>(focused)
                        || qobject_cast<QAbstractSpinBox *>(focused);
    QWidget *target = arrows && m_window->isAncestorOf(focused) ? focused : nullptr;
    if (target == m_target)
        return;
    if (m_target)
        m_target->removeEventFilter(this);
    m_target = target;
    if (!m_target) {
        hide();
        return;
    }
    m_target->installEventFilter(this);
    // Beside the control, in its parent, so it moves and scrolls with it.
    setParent(m_target->parentWidget());
    place();
}

void FocusMark::place()
{
    if (!m_target || !m_target->isVisible()) {
        hide();
        return;
    }
    constexpr int Gap = Width + 1;
    setGeometry(m_target->geometry().adjusted(-Gap, -Gap, Gap, Gap));
    show();
    raise();
    update();
}

bool FocusMark::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The palette's highlight, strong enough to see at a glance in light and dark palettes.
    QPen pen(palette().color(QPalette::Active, QPalette::Highlight), Width);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(Width / 2.0, Width / 2.0, -Width / 2.0, -Width / 2.0));
}
