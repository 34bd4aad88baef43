#pragma once

#include <QHash>
#include <QImage>
#include <QProxyStyle>

class QWidget;

// Fusion draws a group box's frame and a main-window tool bar's edges in translucent pixels. The
// raster engine splits every long translucent line into slices for worker threads and waits for
// them: one paint of the main window with the tune data window started about seventy of those
// hand-offs, a tenth of the program's start-up on a two-core machine. This style draws the same
// pixels opaquely: the base style draws a small sample once, over the window colour, and the
// sample is stretched with solid fills, which the engine does in place. It is only for widgets
// that stand on the window colour; under any other base style it draws nothing of its own.
class OpaqueEdgeStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // Gives the widget the application's one instance, when the application style is Fusion.
    static void apply(QWidget *widget);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

private:
    explicit OpaqueEdgeStyle(QStyle *base);

    bool drawFrame(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    bool drawToolBar(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;

    mutable QHash<QString, QImage> m_samples;
};
