#include "cachedfusionstyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace {

// Columns and rows at each end of a sample that are drawn as they are; everything between them
// is the same along the stretched direction. Fusion's own corner pieces are six pixels.
constexpr int Band = 8;
constexpr int SampleSide = 2 * Band + 1;
// Room above a group box's frame in case the base style sets the frame below the title.
constexpr int FrameSampleHeight = SampleSide + 64;
// Pictures are kept of small controls only, and of at most this many kinds.
constexpr int MaxPictureWidth = 640;
constexpr int MaxPictureHeight = 64;
constexpr qsizetype MaxPictures = 256;
// The ends of a tool bar are copied whole; the engine copies fewer than 96 lines in place.
constexpr int MaxToolBarHeight = 80;

bool plainScale(const QPainter *painter)
{
    const QPaintDevice *device = painter->device();
    return device && device->devicePixelRatio() == 1.0
           && painter->deviceTransform().type() <= QTransform::TxTranslate;
}

// A patterned or gradient ground would be drawn relative to the widget, not to the picture.
bool solidPalette(const QPalette &palette)
{
    for (const auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        if (palette.brush(role).style() != Qt::SolidPattern)
            return false;
    return true;
}

} // namespace

CachedFusionStyle::CachedFusionStyle(QStyle *base)
    : QProxyStyle(base)
{
    setParent(qApp);
}

void CachedFusionStyle::apply(QWidget *widget)
{
    static CachedFusionStyle *instance = nullptr;
    if (!instance) {
        if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive))
            return;
        instance = new CachedFusionStyle(QStyleFactory::create(QStringLiteral("fusion")));
    }
    widget->setStyle(instance);
}

void CachedFusionStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                      QPainter *painter, const QWidget *widget) const
{
    if (element == PE_FrameGroupBox && drawFrame(option, painter, widget))
        return;
    if (element == PE_PanelLineEdit && drawPanel(option, painter, widget))
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void CachedFusionStyle::drawComplexControl(ComplexControl control,
                                           const QStyleOptionComplex *option, QPainter *painter,
                                           const QWidget *widget) const
{
    if (control == CC_Slider && drawSlider(option, painter, widget))
        return;
    if (control == CC_ToolButton && drawToolButton(option, painter, widget))
        return;
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void CachedFusionStyle::drawControl(ControlElement element, const QStyleOption *option,
                                    QPainter *painter, const QWidget *widget) const
{
    if (element == CE_ToolBar && drawToolBar(option, painter, widget))
        return;
    QProxyStyle::drawControl(element, option, painter, widget);
}

// A control's picture is the same wherever it stands: everything that shapes it is in the key,
// and the picture keeps its translucent edges, so it lands on its ground as Fusion's own drawing
// would. drawBase draws a copy of the option, moved to the picture's origin.
template<typename Option, typename DrawBase>
bool CachedFusionStyle::drawKept(int kind, const Option &option, const PictureValues &values,
                                 QPainter *painter, DrawBase drawBase) const
{
    const QRect target = option.rect;
    if (!plainScale(painter) || target.isEmpty() || target.width() > MaxPictureWidth
        || target.height() > MaxPictureHeight || !solidPalette(option.palette))
        return false;
    const PictureKey key{kind,
                         target.width(),
                         target.height(),
                         uint(option.state),
                         option.palette.cacheKey(),
                         int(option.direction),
                         values};
    auto found = m_pictures.constFind(key);
    if (found == m_pictures.constEnd()) {
        // Values and palettes come and go; the pictures of old ones are not kept.
        if (m_pictures.size() >= MaxPictures)
            m_pictures.clear();
        QImage image(target.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        Option moved(option);
        moved.rect = image.rect();
        drawBase(&moved, &p);
        p.end();
        found = m_pictures.insert(key, QPixmap::fromImage(std::move(image)));
    }
    painter->drawPixmap(target.topLeft(), *found);
    return true;
}

bool CachedFusionStyle::drawPanel(const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
    if (!frame)
        return false;
    return drawKept(
        PE_PanelLineEdit, *frame,
        {frame->lineWidth, frame->midLineWidth, int(frame->features), int(frame->frameShape)},
        painter, [&](const QStyleOptionFrame *moved, QPainter *p) {
            baseStyle()->drawPrimitive(PE_PanelLineEdit, moved, p, widget);
        });
}

bool CachedFusionStyle::drawSlider(const QStyleOptionComplex *option, QPainter *painter,
                                   const QWidget *widget) const
{
    const auto *slider = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (!slider)
        return false;
    return drawKept(CC_Slider | 0x10000, *slider,
                    {int(slider->subControls), int(slider->activeSubControls),
                     int(slider->orientation), slider->minimum, slider->maximum,
                     slider->sliderPosition, slider->sliderValue, int(slider->upsideDown),
                     int(slider->tickPosition), slider->tickInterval, slider->pageStep,
                     slider->singleStep},
                    painter, [&](const QStyleOptionSlider *moved, QPainter *p) {
                        baseStyle()->drawComplexControl(CC_Slider, moved, p, widget);
                    });
}

// Only the arrow buttons: no text, no icon.
bool CachedFusionStyle::drawToolButton(const QStyleOptionComplex *option, QPainter *painter,
                                       const QWidget *widget) const
{
    const auto *button = qstyleoption_cast<const QStyleOptionToolButton *>(option);
    if (!button || !button->text.isEmpty() || !button->icon.isNull())
        return false;
    return drawKept(CC_ToolButton | 0x10000, *button,
                    {int(button->subControls), int(button->activeSubControls),
                     int(button->features), int(button->arrowType), int(button->toolButtonStyle),
                     button->iconSize.width(), button->iconSize.height()},
                    painter, [&](const QStyleOptionToolButton *moved, QPainter *p) {
                        baseStyle()->drawComplexControl(CC_ToolButton, moved, p, widget);
                    });
}

// The base style's picture of option at size, over the window colour, kept under key.
template<typename Option, typename DrawBase>
const QImage &CachedFusionStyle::keptSample(const QString &key, const Option &option, QSize size,
                                            DrawBase drawBase) const
{
    auto found = m_samples.constFind(key);
    if (found == m_samples.constEnd()) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(option.palette.color(QPalette::Window));
        QPainter p(&picture);
        Option small(option);
        small.rect = picture.rect();
        drawBase(&small, &p);
        p.end();
        found = m_samples.insert(key, picture);
    }
    return *found;
}

// The frame as a nine-piece picture: corners copied, edges and the inside filled line by line.
bool CachedFusionStyle::drawFrame(const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    const QRect target = option->rect;
    const QColor ground = option->palette.color(QPalette::Window);
    if (!plainScale(painter) || target.width() < SampleSide || target.height() < FrameSampleHeight)
        return false;
    const QString key
        = QStringLiteral("frame %1 %2").arg(ground.rgba(), 0, 16).arg(option->fontMetrics.height());
    const QImage &sample
        = keptSample(key, *option, QSize(SampleSide, FrameSampleHeight),
                     [&](const QStyleOption *small, QPainter *p) {
                         baseStyle()->drawPrimitive(PE_FrameGroupBox, small, p, widget);
                     });
    // The frame may start below the sample's top; rows above it are the ground, left unpainted.
    int top = 0;
    while (top < sample.height() && sample.pixel(Band, top) == ground.rgb())
        ++top;
    if (sample.height() - top < SampleSide)
        return false;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(Qt::NoPen);
    const int x0 = target.left();
    const int y0 = target.top() + top;
    const int w = target.width();
    const int h = target.height() - top;
    const int sampleBottom = sample.height() - Band;
    const int sampleRight = SampleSide - Band;
    // Corners.
    painter->drawImage(QPoint(x0, y0), sample, QRect(0, top, Band, Band));
    painter->drawImage(QPoint(x0 + w - Band, y0), sample, QRect(sampleRight, top, Band, Band));
    painter->drawImage(QPoint(x0, y0 + h - Band), sample, QRect(0, sampleBottom, Band, Band));
    painter->drawImage(QPoint(x0 + w - Band, y0 + h - Band), sample,
                       QRect(sampleRight, sampleBottom, Band, Band));
    // Edges, one line of pixels at a time.
    for (int i = 0; i < Band; ++i) {
        painter->fillRect(x0 + Band, y0 + i, w - 2 * Band, 1, QColor(sample.pixel(Band, top + i)));
        painter->fillRect(x0 + Band, y0 + h - Band + i, w - 2 * Band, 1,
                          QColor(sample.pixel(Band, sampleBottom + i)));
        painter->fillRect(x0 + i, y0 + Band, 1, h - 2 * Band, QColor(sample.pixel(i, top + Band)));
        painter->fillRect(x0 + w - Band + i, y0 + Band, 1, h - 2 * Band,
                          QColor(sample.pixel(sampleRight + i, top + Band)));
    }
    painter->fillRect(x0 + Band, y0 + Band, w - 2 * Band, h - 2 * Band,
                      QColor(sample.pixel(Band, top + Band)));
    painter->restore();
    return true;
}

// A horizontal tool bar is the same from one end to the other apart from its ends: the ends are
// copied and each line between them is one fill.
bool CachedFusionStyle::drawToolBar(const QStyleOption *option, QPainter *painter,
                                    const QWidget *widget) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionToolBar *>(option);
    const QRect target = option->rect;
    if (!bar || !(option->state & State_Horizontal) || !plainScale(painter)
        || target.width() < SampleSide || target.height() > MaxToolBarHeight)
        return false;
    const QColor ground = option->palette.color(QPalette::Window);
    const QString key = QStringLiteral("bar %1 %2 %3 %4 %5")
                            .arg(ground.rgba(), 0, 16)
                            .arg(target.height())
                            .arg(int(bar->toolBarArea))
                            .arg(int(bar->positionOfLine))
                            .arg(int(bar->positionWithinLine));
    const QImage &sample = keptSample(key, *bar, QSize(SampleSide, target.height()),
                                      [&](const QStyleOptionToolBar *small, QPainter *p) {
                                          baseStyle()->drawControl(CE_ToolBar, small, p, widget);
                                      });
    const int h = target.height();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->drawImage(target.topLeft(), sample, QRect(0, 0, Band, h));
    painter->drawImage(QPoint(target.right() + 1 - Band, target.top()), sample,
                       QRect(SampleSide - Band, 0, Band, h));
    for (int y = 0; y < h; ++y)
        painter->fillRect(target.left() + Band, target.top() + y, target.width() - 2 * Band, 1,
                          QColor(sample.pixel(Band, y)));
    painter->restore();
    return true;
}
