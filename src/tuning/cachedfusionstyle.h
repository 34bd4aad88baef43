#pragma once

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QProxyStyle>

class QWidget;

// Fusion, with some of its pictures drawn once and reused; what shows is Fusion's own drawing.
// Under any other application style it is not used at all.
//
// Group box frames and a main-window tool bar: Fusion draws their long edges in translucent
// pixels, and the raster engine splits every long translucent line into slices for worker
// threads and waits for them. One paint of the main window with the tune data window started
// about seventy of those hand-offs, a tenth of the program's start-up on a two-core machine.
// Here Fusion draws a small sample once, over the window colour, and the sample is stretched
// with solid fills, which the engine does in place; so these are only for widgets that stand on
// the window colour.
//
// Value boxes: Fusion draws each with two antialiased rounded outlines, forty times on the tune
// data window. Here the picture of a box of a given size, state and palette is drawn once and
// copied.
class CachedFusionStyle : public QProxyStyle
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
    explicit CachedFusionStyle(QStyle *base);

    bool drawFrame(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    bool drawToolBar(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    bool drawPanel(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;

    // What shapes a box's picture.
    struct PanelKey
    {
        int width;
        int height;
        uint state;
        qint64 palette;
        int direction;
        int lineWidth;
        int midLineWidth;
        int features;
        int shape;
        bool operator==(const PanelKey &) const = default;
    };
    friend size_t qHash(const PanelKey &key, size_t seed)
    {
        return qHashMulti(seed, key.width, key.height, key.state, key.palette, key.direction,
                          key.lineWidth, key.midLineWidth, key.features, key.shape);
    }

    mutable QHash<QString, QImage> m_samples;
    mutable QHash<PanelKey, QPixmap> m_panels;
};
