#include "appicon.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // Antenna.
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(44, 6), QPointF(44, 20));
    // Body.
    p.setPen(QPen(QColor(0x1d, 0x3b, 0x5c), 2));
    p.setBrush(QColor(0x2f, 0x6d, 0xa8));
    p.drawRoundedRect(QRectF(12, 18, 40, 42), 6, 6);
    // Display and a tuning knob.
    p.setBrush(QColor(0xd8, 0xf0, 0xd0));
    p.drawRect(QRectF(18, 24, 28, 12));
    p.setBrush(QColor(0xf0, 0xb4, 0x30));
    p.drawEllipse(QPointF(32, 48), 7, 7);
    return pixmap;
}
} // namespace

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

QIcon helpIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2f, 0x6d, 0xa8));
        p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
        QFont font;
        font.setBold(true);
        font.setPixelSize(size * 3 / 4);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
        icon.addPixmap(pixmap);
    }
    return icon;
}
