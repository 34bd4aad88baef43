#include "treepane.h"

#include "appstate.h"
#include "pictureseparator.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

TreePane::TreePane(QWidget *parent)
    : QWidget(parent)
    , FrameTree(new QFrame(this))
    , Label1(new QLabel(FrameTree))
    , TreeView1(new QTreeWidget(FrameTree))
    , m_separator(new PictureSeparator(this))
{
    setObjectName(QStringLiteral("PictureTree"));
    FrameTree->setObjectName(QStringLiteral("FrameTree"));
    FrameTree->setFrameShape(QFrame::StyledPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(6, 2);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(true);
    // Choosing the active window's entry would otherwise unfold a branch the user folded.
    TreeView1->setAutoScroll(false);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        emit nodeClicked(item->data(0, Qt::UserRole).toString());
    });
    connect(m_separator, &PictureSeparator::dragged, this, &TreePane::separatorDragged);
}

void TreePane::relabel()
{
    const QString appTitle = QString::fromLatin1(AppState::ApplicationTitle);
    Label1->setText(appTitle);
    Label1->adjustSize();
    // The entries are made again in the new language, the root folded as a new tree's is; the
    // entry chosen stays chosen.
    QString selected;
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it) {
        if ((*it)->isSelected())
            selected = (*it)->data(0, Qt::UserRole).toString();
    }
    TreeView1->clear();
    auto *root = new QTreeWidgetItem(TreeView1, {tr("RQ73 Tune")});
    root->setData(0, Qt::UserRole, appTitle);
    auto *tune = new QTreeWidgetItem(root, {tr("Tune Data")});
    tune->setData(0, Qt::UserRole, QStringLiteral("TreeTuneData"));
    auto *sq = new QTreeWidgetItem(root, {QStringLiteral("SQ")});
    sq->setData(0, Qt::UserRole, QStringLiteral("TreeTuneSq"));
    if (!selected.isEmpty())
        selectKey(selected);
}

void TreePane::selectKey(const QString &key)
{
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == key) {
            TreeView1->setCurrentItem(*it);
            return;
        }
    }
}

void TreePane::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Whatever changed the pane's size (window resize, toolbar or status bar toggled).
    layoutPane(m_splitterTwips);
}

void TreePane::layoutPane(int x)
{
    const double dpi = logicalDpiX();
    auto px = [dpi](int twips) { return Twips::toPixels(twips, dpi); };
    auto tw = [dpi](int pixels) { return Twips::fromPixels(pixels, dpi); };
    m_splitterTwips = x;

    const int paneWidth = x + Twips::PaneMargin;
    setFixedWidth(px(paneWidth));
    const int paneHeight = tw(height());

    QRect sep = m_separator->geometry();
    sep.setLeft(px(x));
    sep.setTop(0);
    sep.setWidth(std::max(1, px(Twips::SeparatorWidth)));
    // The bar runs the pane's full height so it can be grabbed anywhere along it.
    sep.setHeight(height());
    m_separator->setGeometry(sep);

    QRect frame = FrameTree->geometry();
    frame.moveLeft(0);
    if (paneWidth >= 100)
        frame.setWidth(px(paneWidth - 100));
    frame.moveTop(px(10));
    if (paneHeight >= 520)
        frame.setHeight(px(paneHeight - 520));
    FrameTree->setGeometry(frame);

    const int frameWidth = tw(FrameTree->width());
    const int frameHeight = tw(FrameTree->height());
    QRect tree = TreeView1->geometry();
    tree.moveLeft(0);
    if (frameWidth >= 120)
        tree.setWidth(px(frameWidth - 120));
    tree.moveTop(px(300));
    // Keep the tree's lower edge inside the frame so its last row and scroll bar stay visible.
    if (frameHeight >= 320)
        tree.setHeight(px(frameHeight - 320));
    TreeView1->setGeometry(tree);
}
