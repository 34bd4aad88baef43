#pragma once

#include <QWidget>

class PictureSeparator;
class QFrame;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The navigation pane at the main window's left: the program's name, the tree of windows and the
// splitter bar. Its geometry is kept in twips, so it keeps its size on high-DPI screens.
class TreePane : public QWidget
{
    Q_OBJECT
public:
    explicit TreePane(QWidget *parent = nullptr);

    // Refills the tree in the current language.
    void relabel();
    // Selects the entry of a window by its key, as a click on it would show it.
    void selectKey(const QString &key);
    // x: the splitter position in twips.
    void layoutPane(int x);
    int splitterTwips() const { return m_splitterTwips; }
    QTreeWidget *tree() const { return TreeView1; }

signals:
    // A tree entry was chosen; key names the window ("TreeTuneData", "TreeTuneSq").
    void nodeClicked(const QString &key);
    void separatorDragged(const QPoint &globalPos);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QFrame *FrameTree;
    QLabel *Label1;
    QTreeWidget *TreeView1;
    PictureSeparator *m_separator;
    int m_splitterTwips = 0;
};
