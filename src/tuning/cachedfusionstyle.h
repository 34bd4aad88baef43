#pragma once

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QProxyStyle>

#include <array>

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
// Value boxes, sliders and the up/down buttons: Fusion draws each with antialiased rounded
// outlines and gradients, two hundred times on the tune data window. Here the picture of one of
// a given size, state, palette and value is drawn once and copied.
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
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;

private:
    explicit CachedFusionStyle(QStyle *base);

    bool drawFrame(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    bool drawToolBar(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    bool drawPanel(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    bool drawSlider(const QStyleOptionComplex *option, QPainter *painter,
                    const QWidget *widget) const;
    bool drawToolButton(const QStyleOptionComplex *option, QPainter *painter,
                        const QWidget *widget) const;

    // What shapes a control's picture: its kind, size, state, palette and direction, and the
    // values of its own option that Fusion draws from.
    using PictureValues = std::array<int, 12>;
    struct PictureKey
    {
        int kind = 0;
        int width = 0;
        int height = 0;
        uint state = 0;
        qint64 palette = 0;
        int direction = 0;
        PictureValues values{};
        bool operator==(const PictureKey &) const = default;
    };
    friend size_t qHash(const PictureKey &key, size_t seed)
    {
        seed = qHashMulti(seed, key.kind, key.width, key.height, key.state, key.palette,
                          key.direction);
        return qHashRange(key.values.begin(), key.values.end(), seed);
    }

    template<typename Option, typename DrawBase>
    const QImage &keptSample(const QString &key, const Option &option, QSize size,
                             DrawBase drawBase) const;
    template<typename Option, typename DrawBase>
    bool drawKept(int kind, const Option &option, const PictureValues &values, QPainter *painter,
                  DrawBase drawBase) const;

    mutable QHash<QString, QImage> m_samples;
    mutable QHash<PictureKey, QPixmap> m_pictures;
};
