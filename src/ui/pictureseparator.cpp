#include "pictureseparator.h"

#include <QMouseEvent>

PictureSeparator::PictureSeparator(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PictureSeparator"));
    setCursor(Qt::SplitHCursor);
}

void PictureSeparator::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = true;
    event->accept();
}

void PictureSeparator::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        emit dragged(event->globalPosition().toPoint());
    event->accept();
}

void PictureSeparator::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    event->accept();
}
