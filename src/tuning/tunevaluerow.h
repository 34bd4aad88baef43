#pragma once

#include "tunevaluetable.h"

#include <QObject>

class ImageSession;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;

// One value of the tune data window: slider, value box and up/down buttons on one word of the
// image, with the label the window places in its grid. Every change is written into the word at
// once, through the image session; every committed change (end of a drag, a click or key on the
// slider, a box commit, an up/down step) is announced once through committed(), which the window
// turns into one frame. A display-only value has its box alone, read-only.
//
// The row is not a widget of its own: its controls are the frame's children, side by side in
// layout(), which the window places in its grid beside the label. A window holds 94 rows, and a
// widget around each was one widget in six to create, lay out and paint.
class TuneValueRow : public QObject
{
    Q_OBJECT
public:
    // refreshing is the window's flag: while it is set the controls neither write nor commit.
    // The controls are made on frame, which owns the row too.
    TuneValueRow(const TuneValues::Value &value, ImageSession &session, const bool &refreshing,
                 QWidget *frame);

    const TuneValues::Value &value() const { return m_value; }
    QLabel *label() const { return m_label; }
    // The slider, box and buttons; the caller places it, and the layout it joins owns it.
    QHBoxLayout *layout() const { return m_layout; }
    QSlider *slider() const { return m_slider; }
    QLineEdit *text() const { return m_text; }
    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    // Puts the word into the box and the slider, 0 when the refresh range does not hold it.
    // The caller sets the refreshing flag around it.
    void refresh();

    // The box's commit: on Enter, and when the box loses the focus after an edit.
    void commitText(bool selectAfter = false);
    void stepUp();
    void stepDown();

    // True while the row writes its own word: it shows what it wrote, whatever a refresh would.
    bool isWriting() const { return m_writing; }
    // The box holds text the row did not put there and that is not committed yet.
    bool hasUncommittedText() const;

    // Shows whether the word differs from the image as last opened or read (was: the value then)
    // and whether its last frame could not be sent.
    void setMarks(bool changed, int was, bool unsent);
    bool isMarkedChanged() const { return m_markedChanged; }
    bool isMarkedUnsent() const { return m_markedUnsent; }
    // Acts exactly as typing v into the box and pressing Enter.
    void revertTo(int v);

    // The widest text a box must show whole.
    static constexpr const char *WidestValue = "-300";

signals:
    // restore: the value was put back (Revert), which never keys the transmitter.
    void committed(int wordAddress, bool restore);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step(int direction);
    void showText(const QString &text);
    void showContextMenu(const QPoint &pos);
    void onSliderValueChanged(int position);
    void onSliderReleased();
    // Moves the slider without treating the move as an edit of its own.
    void placeSlider(int value);
    int word() const;
    void writeWord(int v);

    const TuneValues::Value m_value;
    ImageSession &m_session;
    const bool &m_refreshing;
    QHBoxLayout *m_layout = nullptr;
    QLabel *m_label = nullptr;
    QSlider *m_slider = nullptr;
    QLineEdit *m_text = nullptr;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    bool m_placing = false;
    bool m_writing = false;
    bool m_markedChanged = false;
    bool m_markedUnsent = false;
    int m_was = 0;
    bool m_restoring = false; // the commit under way puts a value back
    // What the box last showed by the row's own doing; anything else in it is someone's typing.
    QString m_shown;
    int m_pressedAt = 0;
};
