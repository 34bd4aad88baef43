#include "appicon.h"

#include <QApplication>
#include <QFont>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <map>

namespace {

using Draw = QPixmap (*)(int size);

// Draws the picture at the size asked for, when it is asked for: start-up shows one size of each
// icon, and drawing every size beforehand (the question mark needs a bold font) slowed it.
class DrawnIconEngine : public QIconEngine
{
public:
    DrawnIconEngine(Draw draw, QList<int> sizes)
        : m_draw(draw)
        , m_sizes(std::move(sizes))
    {
    }

    QIconEngine *clone() const override { return new DrawnIconEngine(*this); }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = std::max(1, std::min(size.width(), size.height()));
        auto cached = m_cache.find(side);
        if (cached == m_cache.end())
            cached = m_cache.emplace(side, m_draw(side)).first;
        if (mode == QIcon::Normal || mode == QIcon::Active)
            return cached->second;
        QStyleOption option;
        return qApp->style()->generatedIconPixmap(mode, cached->second, &option);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : m_sizes)
            sizes << QSize(side, side);
        return sizes;
    }

private:
    Draw m_draw;
    QList<int> m_sizes;
    std::map<int, QPixmap> m_cache;
};

QPixmap drawRadio(int size)
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

QPixmap drawQuestionMark(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x6d, 0xa8));
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    QFont font;
    font.setBold(true);
    font.setPixelSize(std::max(1, size * 3 / 4));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

} // namespace

QIcon appIcon()
{
    return QIcon(new DrawnIconEngine(drawRadio, {16, 24, 32, 48, 64, 128}));
}

QIcon helpIcon()
{
    return QIcon(new DrawnIconEngine(drawQuestionMark, {16, 24, 32, 48}));
}
