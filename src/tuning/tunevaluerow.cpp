#include "tunevaluerow.h"

#include "appstate.h"
#include "cachedfusionstyle.h"
#include "captionlabel.h"
#include "imagesession.h"
#include "keyfilter.h"
#include "valuemarks.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

// A slider moves with the wheel only when the technician has put the focus on it: scrolling the
// page over a transmit value must not key the transmitter.
class TuneSlider : public QSlider
{
public:
    using QSlider::QSlider;

protected:
    void wheelEvent(QWheelEvent *event) override
    {
        if (!hasFocus()) {
            event->ignore();
            return;
        }
        QSlider::wheelEvent(event);
    }
};

// Page step of the frequency adjustment; the other sliders move by a twentieth of their range.
constexpr int FreqAdjustPageStep = 10;
constexpr int PageStep = 5;

} // namespace

TuneValueRow::TuneValueRow(const TuneValues::Value &value, ImageSession &session,
                           const bool &refreshing, QWidget *frame)
    : QObject(frame)
    , m_value(value)
    , m_session(session)
    , m_refreshing(refreshing)
{
    using TuneValues::controlName;
    setObjectName(QStringLiteral("Row") + controlName(value, ""));
    const QString name = TuneValues::accessibleName(value);

    auto *layout = m_layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    m_label = new CaptionLabel(TuneValues::caption(value), frame);
    m_label->setObjectName(controlName(value, "Label"));

    m_text = new QLineEdit(frame);
    m_text->setObjectName(controlName(value, "Text"));
    CachedFusionStyle::apply(m_text);
    m_text->setAccessibleName(name);
    m_text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Every box of the window has the same font and style: measure once, not 94 times.
    static QHash<QString, QSize> boxSizes;
    const QString key = m_text->font().key() + m_text->style()->name();
    auto size = boxSizes.constFind(key);
    if (size == boxSizes.constEnd()) {
        QStyleOptionFrame option;
        option.initFrom(m_text);
        option.lineWidth
            = m_text->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, m_text);
        const QFontMetrics metrics(m_text->font());
        // Room for the widest value with a digit to spare, so "-300" never touches the frame.
        const QSize content(metrics.horizontalAdvance(QStringLiteral("-3000")), metrics.height());
        const int width = m_text->style()
                              ->sizeFromContents(QStyle::CT_LineEdit, &option, content, m_text)
                              .width();
        size = boxSizes.insert(key, QSize(width, m_text->sizeHint().height()));
    }
    m_text->setFixedWidth(size->width());
    const int boxHeight = size->height();
    m_label->setBuddy(m_text);
    m_text->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_text, &QWidget::customContextMenuRequested, this, &TuneValueRow::showContextMenu);

    if (!value.editable) {
        m_text->setReadOnly(true);
        layout->addWidget(m_text);
        layout->addStretch(1);
        return;
    }

    m_slider = new TuneSlider(Qt::Horizontal, frame);
    // The wheel does not take the focus; a click or Tab does.
    m_slider->setFocusPolicy(Qt::StrongFocus);
    m_slider->setObjectName(controlName(value, "Slider"));
    CachedFusionStyle::apply(m_slider);
    m_slider->setAccessibleName(name);
    m_slider->setRange(value.editLow, value.editHigh);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(value.group == TuneValues::Group::FreqAdjust ? FreqAdjustPageStep
                                                                       : PageStep);
    m_slider->setMinimumWidth(120);
    layout->addWidget(m_slider, 1);
    layout->addWidget(m_text);
    // The box was made first; Tab must still go left to right, slider then box.
    QWidget::setTabOrder(m_slider, m_text);

    // The pair is a layout, not a widget of its own: the window holds 90 of them.
    auto *buttons = new QVBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    const int buttonHeight = std::max(8, boxHeight / 2);
    auto makeButton = [&](Qt::ArrowType arrow, const QString &suffix, const QString &spoken) {
        auto *b = new QToolButton(frame);
        b->setObjectName(controlName(value, "UpDown") + suffix);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAccessibleName(spoken);
        b->setFixedSize(buttonHeight + 6, buttonHeight);
        CachedFusionStyle::apply(b);
        buttons->addWidget(b);
        return b;
    };
    m_up = makeButton(Qt::UpArrow, QStringLiteral("Up"), tr("%1 Up").arg(name));
    m_down = makeButton(Qt::DownArrow, QStringLiteral("Down"), tr("%1 Down").arg(name));
    layout->addLayout(buttons);

    connect(m_slider, &QSlider::valueChanged, this, &TuneValueRow::onSliderValueChanged);
    connect(m_slider, &QSlider::sliderPressed, this, [this] { m_pressedAt = m_slider->value(); });
    connect(m_slider, &QSlider::sliderReleased, this, &TuneValueRow::onSliderReleased);
    connect(m_up, &QToolButton::clicked, this, &TuneValueRow::stepUp);
    connect(m_down, &QToolButton::clicked, this, &TuneValueRow::stepDown);
    m_text->installEventFilter(this);
}

int TuneValueRow::word() const
{
    return m_session.word(m_value.wordAddress);
}

void TuneValueRow::writeWord(int v)
{
    const QScopedValueRollback writing(m_writing, true);
    m_session.setWord(m_value.wordAddress, v);
}

void TuneValueRow::refresh()
{
    const int w = word();
    const int shown = m_value.shows(w) ? w : 0;
    showText(QString::number(shown));
    if (m_slider)
        placeSlider(shown);
}

void TuneValueRow::placeSlider(int value)
{
    m_placing = true;
    m_slider->setValue(value);
    m_placing = false;
}

void TuneValueRow::onSliderValueChanged(int position)
{
    if (m_refreshing || m_placing)
        return;
    writeWord(position);
    showText(QString::number(position));
    // A drag follows the handle in the image and the box; its frame goes at the release.
    if (!m_slider->isSliderDown())
        emit committed(m_value.wordAddress, m_restoring);
}

void TuneValueRow::onSliderReleased()
{
    if (m_refreshing)
        return;
    if (m_slider->value() != m_pressedAt)
        emit committed(m_value.wordAddress, m_restoring);
}

void TuneValueRow::commitText(bool selectAfter)
{
    if (m_refreshing || !m_slider)
        return;
    bool ok = false;
    int v = m_text->text().toInt(&ok);
    // An empty box, a lone minus sign or pasted letters: the slider's value stands.
    if (!ok)
        v = m_slider->value();
    v = m_value.clampToEdit(v);
    showText(QString::number(v));

    const bool wordChanged = word() != v;
    const bool sliderMoves = m_slider->value() != v;
    writeWord(v);
    placeSlider(v);
    // A box left as it was is no change: nothing goes to the radio.
    if (wordChanged || sliderMoves)
        emit committed(m_value.wordAddress, m_restoring);
    if (selectAfter)
        m_text->selectAll();
}

void TuneValueRow::stepUp()
{
    step(+1);
}

void TuneValueRow::stepDown()
{
    step(-1);
}

void TuneValueRow::step(int direction)
{
    if (m_refreshing || !m_slider)
        return;
    // The stored word, not the box: a value outside the edit range moves from where it is, and
    // the slider shows the nearest end of its range meanwhile.
    int v = word();
    if (direction < 0 && v > m_value.editLow)
        --v;
    else if (direction > 0 && v < m_value.editHigh)
        ++v;
    else
        return;
    writeWord(v);
    showText(QString::number(v));
    placeSlider(v);
    emit committed(m_value.wordAddress, m_restoring);
}

bool TuneValueRow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_text)
        return QObject::eventFilter(watched, event);

    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        // Only typed characters pass the filter; moving keys, Delete and shortcuts (paste) do
        // their usual work, and whatever a paste leaves is judged at the commit.
        if (typed.size() != 1)
            return false;
        // Some platforms give Ctrl+V the text "v"; the shortcut must still reach the box.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const int code = typed.at(0).unicode();
        const bool character = code >= 0x20 && code != 0x7F;
        if (!character && code != KeyBackspace && code != KeyEnter)
            return false;
        const KeyFilterMode mode = m_value.group == TuneValues::Group::FreqAdjust
                                       ? KeyFilterMode::Signed
                                       : KeyFilterMode::ThreeDigit;
        const int passed = FilterKeyPress(m_text->text(), m_text->hasSelectedText(),
                                          m_session.state().DecimalSeparator, code, mode);
        if (passed == 0)
            return true;
        if (passed == KeyEnter) {
            commitText(true);
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Undo and redo of the box's own typing while there is any; otherwise the keys reach the
        // program's Undo and Redo of committed changes.
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))
            && !hasUncommittedText()) {
            event->ignore();
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut) {
        // A context menu on the box takes the focus only for a moment. A box left as it showed
        // is left alone: it may show 0 for a stored value outside its range, and passing through
        // it must not write that 0 into the radio. Any other text is committed, whoever put it
        // there: the keyboard, a paste, an assistive tool.
        if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason
            && hasUncommittedText())
            commitText(false);
    }
    return false;
}

void TuneValueRow::showText(const QString &text)
{
    m_shown = text;
    m_text->setText(text);
}

bool TuneValueRow::hasUncommittedText() const
{
    return m_slider && m_text->text() != m_shown;
}

void TuneValueRow::setMarks(bool changed, int was, bool unsent)
{
    if (changed == m_markedChanged && was == m_was && unsent == m_markedUnsent)
        return;
    m_markedChanged = changed;
    m_markedUnsent = unsent;
    m_was = was;
    const QString note = ValueMarks::apply(m_text, changed, was, unsent);
    if (m_slider)
        m_slider->setAccessibleDescription(note);
}

void TuneValueRow::revertTo(int v)
{
    m_text->setText(QString::number(v));
    m_restoring = true;
    commitText(false);
    m_restoring = false;
}

void TuneValueRow::showContextMenu(const QPoint &pos)
{
    QMenu *menu = m_text->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (m_markedChanged && m_slider) {
        QAction *revert = new QAction(tr("Revert to %1").arg(m_was), menu);
        revert->setObjectName(QStringLiteral("RevertValue"));
        const int was = m_was;
        connect(revert, &QAction::triggered, this, [this, was] { revertTo(was); });
        menu->insertAction(menu->actions().value(0), revert);
        menu->insertSeparator(menu->actions().value(1));
    }
    menu->popup(m_text->mapToGlobal(pos));
}
