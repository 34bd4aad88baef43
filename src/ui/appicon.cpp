#include "appicon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
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

// Every toolbar picture is drawn on a 64-unit square, scaled to the size asked for.
class Canvas
{
public:
    explicit Canvas(int size)
        : m_pixmap(size, size)
    {
        m_pixmap.fill(Qt::transparent);
        m_painter.begin(&m_pixmap);
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.scale(size / 64.0, size / 64.0);
    }
    QPainter &painter() { return m_painter; }
    QPixmap done()
    {
        m_painter.end();
        return m_pixmap;
    }

private:
    QPixmap m_pixmap;
    QPainter m_painter;
};

const QColor Outline(0x1d, 0x3b, 0x5c);
const QColor Blue(0x2f, 0x6d, 0xa8);

QPixmap drawQuestionMark(int size)
{
    // Strokes, not a glyph: a bold font loaded only for this button cost more than the rest of
    // the toolbar.
    Canvas c(size);
    QPainter &p = c.painter();
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawEllipse(QRectF(2, 2, 60, 60));
    p.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(21, 24);
    hook.arcTo(QRectF(21, 12, 22, 22), 180, -270);
    hook.quadTo(32, 34, 32, 40);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(32, 51), 4.5, 4.5);
    return c.done();
}

QPixmap drawNewFile(int size)
{
    Canvas c(size);
    QPainter &p = c.painter();
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 3, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    const QPointF page[] = {{12, 4}, {40, 4}, {54, 18}, {54, 60}, {12, 60}};
    p.drawPolygon(page, 5);
    p.setBrush(QColor(0xd0, 0xd0, 0xd0));
    const QPointF fold[] = {{40, 4}, {40, 18}, {54, 18}};
    p.drawPolygon(fold, 3);
    return c.done();
}

QPixmap drawOpenFolder(int size)
{
    Canvas c(size);
    QPainter &p = c.painter();
    p.setPen(QPen(QColor(0x8a, 0x62, 0x10), 2.5, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(QColor(0xe8, 0xb8, 0x4a));
    const QPointF back[] = {{4, 12}, {24, 12}, {30, 18}, {54, 18}, {54, 54}, {4, 54}};
    p.drawPolygon(back, 6);
    p.setBrush(QColor(0xf6, 0xd3, 0x7a));
    const QPointF front[] = {{4, 54}, {14, 28}, {62, 28}, {54, 54}};
    p.drawPolygon(front, 4);
    return c.done();
}

QPixmap drawFloppy(int size)
{
    Canvas c(size);
    QPainter &p = c.painter();
    p.setPen(QPen(Outline, 2.5, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(Blue);
    const QPointF body[] = {{6, 6}, {50, 6}, {58, 14}, {58, 58}, {6, 58}};
    p.drawPolygon(body, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(14, 8, 32, 20)); // the label
    p.setBrush(QColor(0xc8, 0xcc, 0xd2));
    p.drawRect(QRectF(16, 38, 32, 20)); // the shutter
    p.setBrush(Outline);
    p.drawRect(QRectF(36, 42, 6, 12));
    return c.done();
}

// Read and Write: the data comes down from the radio or goes up to it.
QPixmap drawArrow(int size, bool up)
{
    Canvas c(size);
    QPainter &p = c.painter();
    p.setPen(QPen(QColor(0x1f, 0x6b, 0x2a), 2));
    p.setBrush(QColor(0x3a, 0xa8, 0x48));
    p.drawEllipse(QRectF(3, 3, 58, 58));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const qreal tip = up ? 12 : 52, base = up ? 34 : 30, tail = up ? 52 : 12;
    const QPointF arrow[] = {{32, tip},  {50, base}, {39, base}, {39, tail},
                             {25, tail}, {25, base}, {14, base}};
    p.drawPolygon(arrow, 7);
    return c.done();
}

QPixmap drawReadArrow(int size)
{
    return drawArrow(size, false);
}

QPixmap drawWriteArrow(int size)
{
    return drawArrow(size, true);
}

// Set Com: the plug of a serial cable, its nine pins in two rows.
QPixmap drawSerialPlug(int size)
{
    Canvas c(size);
    QPainter &p = c.painter();
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 2.5, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(QColor(0xb8, 0xbe, 0xc6));
    const QPointF shell[] = {{4, 18}, {60, 18}, {52, 46}, {12, 46}};
    p.drawPolygon(shell, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(16 + 8 * i, 27), 2.6, 2.6);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(20 + 8 * i, 37), 2.6, 2.6);
    return c.done();
}

} // namespace

QIcon appIcon()
{
    return QIcon(new DrawnIconEngine(drawRadio, {16, 24, 32, 48, 64, 128}));
}

QIcon toolIcon(ToolIcon which)
{
    static constexpr Draw Drawings[] = {drawNewFile,    drawOpenFolder, drawFloppy,
                                        drawReadArrow,  drawSerialPlug, drawWriteArrow,
                                        drawQuestionMark};
    return QIcon(new DrawnIconEngine(Drawings[int(which)], {16, 24, 32, 48}));
}
