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

QImage blankSample(int width, int height, const QColor &ground)
{
    QImage sample(width, height, QImage::Format_RGB32);
    sample.fill(ground);
    return sample;
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

bool CachedFusionStyle::smallEnough(const QPainter *painter, const QRect &target)
{
    return plainScale(painter) && !target.isEmpty() && target.width() <= MaxPictureWidth
           && target.height() <= MaxPictureHeight;
}

// A control's picture is the same wherever it stands: everything that shapes it is in the key,
// and the picture keeps its translucent edges, so it lands on its ground as Fusion's own drawing
// would.
void CachedFusionStyle::drawPicture(
    const PictureKey &key, QPainter *painter, const QRect &target,
    const std::function<void(QPainter *, const QRect &)> &draw) const
{
    auto found = m_pictures.constFind(key);
    if (found == m_pictures.constEnd()) {
        // Values and palettes come and go; the pictures of old ones are not kept.
        if (m_pictures.size() >= MaxPictures)
            m_pictures.clear();
        QImage image(target.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        draw(&p, image.rect());
        p.end();
        found = m_pictures.insert(key, QPixmap::fromImage(std::move(image)));
    }
    painter->drawPixmap(target.topLeft(), *found);
}

namespace {

// A patterned or gradient ground would be drawn relative to the widget, not to the picture.
bool solidPalette(const QPalette &palette)
{
    for (const auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        if (palette.brush(role).style() != Qt::SolidPattern)
            return false;
    return true;
}

} // namespace

bool CachedFusionStyle::drawPanel(const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
    const QRect target = option->rect;
    if (!frame || !smallEnough(painter, target) || !solidPalette(option->palette))
        return false;
    const PictureKey key{
        PE_PanelLineEdit,
        target.width(),
        target.height(),
        uint(option->state),
        option->palette.cacheKey(),
        int(option->direction),
        {frame->lineWidth, frame->midLineWidth, int(frame->features), int(frame->frameShape)}};
    drawPicture(key, painter, target, [&](QPainter *p, const QRect &rect) {
        QStyleOptionFrame moved(*frame);
        moved.rect = rect;
        baseStyle()->drawPrimitive(PE_PanelLineEdit, &moved, p, widget);
    });
    return true;
}

bool CachedFusionStyle::drawSlider(const QStyleOptionComplex *option, QPainter *painter,
                                   const QWidget *widget) const
{
    const auto *slider = qstyleoption_cast<const QStyleOptionSlider *>(option);
    const QRect target = option->rect;
    if (!slider || !smallEnough(painter, target) || !solidPalette(option->palette))
        return false;
    const PictureKey key{CC_Slider | 0x10000,
                         target.width(),
                         target.height(),
                         uint(option->state),
                         option->palette.cacheKey(),
                         int(option->direction),
                         {int(slider->subControls), int(slider->activeSubControls),
                          int(slider->orientation), slider->minimum, slider->maximum,
                          slider->sliderPosition, slider->sliderValue, int(slider->upsideDown),
                          int(slider->tickPosition), slider->tickInterval, slider->pageStep,
                          slider->singleStep}};
    drawPicture(key, painter, target, [&](QPainter *p, const QRect &rect) {
        QStyleOptionSlider moved(*slider);
        moved.rect = rect;
        baseStyle()->drawComplexControl(CC_Slider, &moved, p, widget);
    });
    return true;
}

// Only the arrow buttons: no text, no icon.
bool CachedFusionStyle::drawToolButton(const QStyleOptionComplex *option, QPainter *painter,
                                       const QWidget *widget) const
{
    const auto *button = qstyleoption_cast<const QStyleOptionToolButton *>(option);
    const QRect target = option->rect;
    if (!button || !button->text.isEmpty() || !button->icon.isNull()
        || !smallEnough(painter, target) || !solidPalette(option->palette))
        return false;
    const PictureKey key{CC_ToolButton | 0x10000,
                         target.width(),
                         target.height(),
                         uint(option->state),
                         option->palette.cacheKey(),
                         int(option->direction),
                         {int(button->subControls), int(button->activeSubControls),
                          int(button->features), int(button->arrowType),
                          int(button->toolButtonStyle), button->iconSize.width(),
                          button->iconSize.height()}};
    drawPicture(key, painter, target, [&](QPainter *p, const QRect &rect) {
        QStyleOptionToolButton moved(*button);
        moved.rect = rect;
        baseStyle()->drawComplexControl(CC_ToolButton, &moved, p, widget);
    });
    return true;
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
    auto found = m_samples.constFind(key);
    if (found == m_samples.constEnd()) {
        QImage sample = blankSample(SampleSide, FrameSampleHeight, ground);
        QPainter p(&sample);
        QStyleOption small(*option);
        small.rect = sample.rect();
        baseStyle()->drawPrimitive(PE_FrameGroupBox, &small, &p, widget);
        p.end();
        found = m_samples.insert(key, sample);
    }
    const QImage &sample = *found;
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
    auto found = m_samples.constFind(key);
    if (found == m_samples.constEnd()) {
        QImage sample = blankSample(SampleSide, target.height(), ground);
        QPainter p(&sample);
        QStyleOptionToolBar small(*bar);
        small.rect = sample.rect();
        baseStyle()->drawControl(CE_ToolBar, &small, &p, widget);
        p.end();
        found = m_samples.insert(key, sample);
    }
    const QImage &sample = *found;
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
