#pragma once

class QMainWindow;
class TreePane;

// The frame's size, place, maximised state and tree width, kept between runs. On the first start
// the frame takes the screen's available area, never more.
class WindowPlacement
{
public:
    WindowPlacement(QMainWindow &frame, TreePane &treePane);

    void restore();
    void save() const;
    // The frame has just been shown.
    void shown();

private:
    void fitToScreen();

    QMainWindow &m_frame;
    TreePane &m_treePane;
    // The window manager's frame is known only once the window is on screen.
    bool m_fitPending = false;
};
