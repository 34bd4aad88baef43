#pragma once

#include <QWidget>

// The splitter bar at the tree pane's right edge. It only reports the drag; the main window
// decides where the pane goes.
class PictureSeparator : public QWidget
{
    Q_OBJECT
public:
    explicit PictureSeparator(QWidget *parent = nullptr);

    bool dragging() const { return m_dragging; }

signals:
    void dragged(const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_dragging = false;
};
