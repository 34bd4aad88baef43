#pragma once

#include <QPointer>
#include <QWidget>

// A plain frame around the value box or slider that has the keyboard focus in a window, drawn
// the same under every style: an arrow key moves what it frames, and on a tune window that can
// key the transmitter, so it must never be a control nobody sees has the focus. It follows the
// focus, scrolls with the control and lets the mouse through.
class FocusMark : public QWidget
{
    Q_OBJECT
public:
    explicit FocusMark(QWidget *window);

    // The control framed now; null while the focus is on nothing that takes arrow keys.
    QWidget *target() const { return m_target; }

    static constexpr int Width = 2;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QWidget *focused);
    void place();

    QWidget *m_window;
    QPointer<QWidget> m_target;
};
