#include "childwindows.h"

#include "formautoalign.h"
#include "formtune.h"
#include "formtunesq.h"
#include "imagecommands.h"
#include "sessionalignradio.h"
#include "treepane.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <algorithm>

namespace {

// Every child window the frame can open: the tree entry that opens it, its window-list command
// number and how it is made.
struct ChildWindowKind
{
    const char *treeKey;
    int command;
    TuneChildWindow *(*make)(ImageSession &session, TuneWindowHost &host);
};

const ChildWindowKind Kinds[] = {
    {"TreeTuneData", FormTune::WindowListCommand,
     [](ImageSession &s, TuneWindowHost &h) -> TuneChildWindow * { return new FormTune(s, h); }},
    {"TreeTuneSq", FormTuneSq::WindowListCommand,
     [](ImageSession &s, TuneWindowHost &h) -> TuneChildWindow * { return new FormTuneSq(s, h); }},
};

const ChildWindowKind *kindOf(int command)
{
    const auto kind
        = std::find_if(std::begin(Kinds), std::end(Kinds),
                       [command](const ChildWindowKind &k) { return k.command == command; });
    return kind == std::end(Kinds) ? nullptr : kind;
}

} // namespace

ChildWindows::ChildWindows(ImageSession &session, ImageCommands &commands, QMdiArea &area,
                           TreePane &treePane, QWidget &frame)
    : QObject(&frame)
    , m_session(session)
    , m_commands(commands)
    , m_area(area)
    , m_treePane(treePane)
    , m_frame(frame)
{
    connect(&m_area, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow *sub) {
        if (auto *child = sub ? qobject_cast<TuneChildWindow *>(sub->widget()) : nullptr)
            child->Form_Activate();
    });
    connect(&m_treePane, &TreePane::nodeClicked, this, &ChildWindows::openByTreeKey);
}

void ChildWindows::setWindowList(QMenu *menu, const QKeySequence &reservedKey)
{
    m_windowListMenu = menu;
    m_reservedKey = reservedKey;
}

FormTune *ChildWindows::formTune() const
{
    return qobject_cast<FormTune *>(child(FormTune::WindowListCommand));
}

FormTuneSq *ChildWindows::formTuneSq() const
{
    return qobject_cast<FormTuneSq *>(child(FormTuneSq::WindowListCommand));
}

void ChildWindows::openByTreeKey(const QString &key)
{
    for (const ChildWindowKind &kind : Kinds) {
        if (key == QLatin1String(kind.treeKey))
            open(kind.command);
    }
}

void ChildWindows::open(int command)
{
    if (TuneChildWindow *open = m_children.value(command)) {
        bringForward(open);
        return;
    }
    const ChildWindowKind *kind = kindOf(command);
    if (!kind)
        return;
    TuneChildWindow *child = kind->make(m_session, *this);
    m_children.insert(command, child);

    QMdiSubWindow *sub = m_area.addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(m_frame.windowIcon());
    // On some desktops the child's Close key is Ctrl+W, which would make Write To Radio's key
    // ambiguous and dead; the child keeps its other close keys.
    for (QAction *action : sub->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(m_reservedKey) > 0)
            action->setShortcuts(keys);
    }
    connect(sub, &QMdiSubWindow::windowStateChanged, child,
            [child](Qt::WindowStates oldState, Qt::WindowStates newState) {
                const auto shape = Qt::WindowMinimized | Qt::WindowMaximized;
                if ((oldState & shape) != (newState & shape))
                    child->Form_Resize(newState);
            });
    child->Form_Load();
    // A window last seen minimised comes back normal.
    if (m_windowState == 2)
        sub->showMaximized();
    else
        sub->showNormal();
    m_area.setActiveSubWindow(sub);
}

void ChildWindows::openAutoAlign()
{
    if (m_autoAlign) {
        m_area.setActiveSubWindow(qobject_cast<QMdiSubWindow *>(m_autoAlign->parentWidget()));
        return;
    }
    // Every try goes through the session: the tune data window follows it, and the run is one
    // step of the undo history.
    m_autoAlign = new FormAutoAlign([this]() -> std::unique_ptr<AlignRadio> {
        return std::make_unique<SessionAlignRadio>(m_session);
    });
    QMdiSubWindow *sub = m_area.addSubWindow(m_autoAlign);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(m_frame.windowIcon());
    sub->show();
    m_area.setActiveSubWindow(sub);
}

void ChildWindows::bringForward(TuneChildWindow *child)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(child->parentWidget())) {
        m_area.setActiveSubWindow(sub);
        sub->raise();
    }
}

void ChildWindows::closeAll()
{
    // Every child, not only the active one: with the frame inactive there may be no active child.
    for (QMdiSubWindow *sub : m_area.subWindowList())
        sub->close();
}

void ChildWindows::childLoaded(TuneChildWindow &child)
{
    QAction *entry = m_windowListMenu->addAction(child.windowTitle());
    entry->setObjectName(QStringLiteral("WindowList%1").arg(child.commandNumber()));
    entry->setData(child.commandNumber());
    entry->setCheckable(true);
    m_windowList.insert(child.commandNumber(), entry);
    TuneChildWindow *target = &child;
    // Choosing the entry of the window already in front activates nothing, so the check mark
    // the menu just took away is put back here.
    connect(entry, &QAction::triggered, &child, [this, target] {
        bringForward(target);
        childActivated(*target);
    });
}

void ChildWindows::childUnloaded(TuneChildWindow &child)
{
    delete m_windowList.take(child.commandNumber());
    if (m_children.value(child.commandNumber()) == &child)
        m_children.remove(child.commandNumber());
}

void ChildWindows::childActivated(TuneChildWindow &child)
{
    if (const ChildWindowKind *kind = kindOf(child.commandNumber()))
        m_treePane.selectKey(QString::fromLatin1(kind->treeKey));
    for (auto it = m_windowList.cbegin(); it != m_windowList.cend(); ++it) {
        if (it.key() >= child.checkFirst() && it.key() <= child.checkLast())
            it.value()->setChecked(it.key() == child.commandNumber());
    }
}

bool ChildWindows::runTransfer(TransferKind kind, bool unsavedSettled)
{
    return m_commands.runTransfer(kind, unsavedSettled);
}

bool ChildWindows::settleUnsavedChanges()
{
    return m_commands.settleUnsavedChanges();
}
