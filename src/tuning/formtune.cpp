#include "formtune.h"

#include "appstate.h"
#include "cachedfusionstyle.h"
#include "imagesession.h"
#include "tunefont.h"
#include "tunevaluerow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

using TuneValues::Group;
using TuneValues::Mode;
using TuneValues::Value;

namespace {

// The tabs in the order the panel shows them.
const Mode TabModes[] = {Mode::AM, Mode::FM, Mode::USB, Mode::LSB};

QGroupBox *makeFrame(const QString &objectName, const QString &title, QWidget *parent)
{
    auto *frame = new QGroupBox(title, parent);
    frame->setObjectName(objectName);
    CachedFusionStyle::apply(frame);
    return frame;
}

QGridLayout *makeGrid(QWidget *frame)
{
    auto *grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    grid->setContentsMargins(8, 6, 8, 6);
    return grid;
}

} // namespace

FormTune::FormTune(ImageSession &session, TuneWindowHost &host, QWidget *parent)
    : TuneChildWindow(session, host, WindowListCommand, 1000, 1005, QSize(1000, 620), parent)
{
    setObjectName(QStringLiteral("FormTune"));
    setWindowTitle(tr("Tune Data"));
    setFont(tuneWindowFont());
    // Esc ends a transmission at once, wherever the focus is in the window.
    auto *stopTx = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stopTx->setContext(Qt::WidgetWithChildrenShortcut);
    connect(stopTx, &QShortcut::activated, this, [this] { m_session.stopTransmitting(); });

    // On a small screen or a large scale factor the window scrolls rather than clips. The
    // controls are made on the scrolled page itself: moving 200 of them there afterwards took
    // nearly a fifth of the window's construction.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("TuneScroll"));
    auto *content = new QWidget(m_scroll->viewport());
    content->setObjectName(QStringLiteral("TuneContent"));

    // Left: the transmit rows of one mode at a time.
    TabStrip1 = new QTabBar(content);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setAccessibleName(tr("Mode"));
    TabStrip1->setExpanding(false);
    m_modeFrames = new QStackedWidget(content);
    for (const Mode mode : TabModes) {
        const int tab = TabStrip1->addTab(TuneValues::tabCaption(mode));
        TabStrip1->setTabData(tab, TuneValues::modeName(mode));
        m_modeFrames->addWidget(makeModeFrame(mode, content));
    }
    // Three of the four tabs are out of sight at first: their 54 rows, more than half of the
    // window's, are built when a tab is first shown or a row of theirs is asked for.
    buildModeRows(TabModes[0]);
    auto *left = new QVBoxLayout;
    left->setSpacing(0);
    left->addWidget(TabStrip1);
    left->addWidget(m_modeFrames);
    left->addStretch(1);

    // Right: everything that is always in view.
    auto *freqGrid = new QGridLayout;
    freqGrid->setContentsMargins(8, 0, 8, 0);
    addRow(*TuneValues::find(Group::FreqAdjust, 0), content);
    freqGrid->addWidget(m_rows.last()->label(), 0, 0);
    freqGrid->addLayout(m_rows.last()->layout(), 0, 1);
    freqGrid->setColumnStretch(1, 1);

    auto fillFrame = [this](QWidget *frame, Group group, int count) {
        QGridLayout *grid = makeGrid(frame);
        for (int j = 0; j < count; ++j) {
            TuneValueRow *r = addRow(*TuneValues::find(group, j), frame);
            grid->addWidget(r->label(), j, 0);
            grid->addLayout(r->layout(), j, 1);
        }
        grid->setColumnStretch(1, 1);
    };
    QGroupBox *frameRx = makeFrame(QStringLiteral("FrameRx"), tr("RX Setting"), content);
    fillFrame(frameRx, Group::Sq, 3);
    QGroupBox *frameTx = makeFrame(QStringLiteral("FrameTxBPS"), tr("TX Setting"), content);
    fillFrame(frameTx, Group::TxBPS, 3);
    auto *rxTx = new QHBoxLayout;
    rxTx->addWidget(frameRx, 1);
    rxTx->addWidget(frameTx, 1);

    // Volumes on the left, microphones on the right, on one grid so the columns line up.
    QGroupBox *frameVolume = makeFrame(QStringLiteral("FrameVolume"), tr("Other"), content);
    QGridLayout *other = makeGrid(frameVolume);
    for (int j = 0; j < 6; ++j) {
        TuneValueRow *r = addRow(*TuneValues::find(Group::Volume, j), frameVolume);
        other->addWidget(r->label(), j, 0);
        other->addLayout(r->layout(), j, 1);
    }
    for (int j = 0; j < 5; ++j) {
        TuneValueRow *r = addRow(*TuneValues::find(Group::Mic, j), frameVolume);
        other->addWidget(r->label(), j, 2);
        other->addLayout(r->layout(), j, 3);
    }
    other->setColumnStretch(1, 1);
    other->setColumnStretch(3, 1);

    // The first entries of the two squelch tables, shown for reference.
    auto *levels = new QHBoxLayout;
    levels->setContentsMargins(8, 0, 8, 0);
    for (int k = 0; k < 4; ++k) {
        TuneValueRow *r = addRow(*TuneValues::find(Group::SqLevel, k), content);
        levels->addWidget(r->label());
        levels->addLayout(r->layout());
        levels->addSpacing(12);
    }
    levels->addStretch(1);

    LabelTxTime = new QLabel(TuneValues::txTimeCaption(), content);
    LabelTxTime->setObjectName(QStringLiteral("LabelTxTime"));
    ComboTxTime = new QComboBox(content);
    ComboTxTime->setObjectName(QStringLiteral("ComboTxTime"));
    ComboTxTime->setAccessibleName(TuneValues::txTimeCaption());
    for (int s = 1; s <= 10; ++s)
        ComboTxTime->addItem(QString::number(s));
    LabelTxTime->setBuddy(ComboTxTime);
    CommandRead = new QPushButton(tr("Read TuneData"), content);
    CommandRead->setObjectName(QStringLiteral("CommandRead"));
    CommandRead->setAccessibleName(tr("Read TuneData"));
    CommandWrite = new QPushButton(tr("Write TuneData"), content);
    CommandWrite->setObjectName(QStringLiteral("CommandWrite"));
    CommandWrite->setAccessibleName(tr("Write TuneData"));
    // Enter in a value box commits the value; it must never press a button as well.
    CommandRead->setAutoDefault(false);
    CommandWrite->setAutoDefault(false);
    auto *commands = new QHBoxLayout;
    commands->setContentsMargins(8, 0, 8, 0);
    commands->addWidget(LabelTxTime);
    commands->addWidget(ComboTxTime);
    commands->addStretch(1);
    commands->addWidget(CommandRead);
    commands->addWidget(CommandWrite);

    auto *right = new QVBoxLayout;
    right->setSpacing(8);
    right->addLayout(freqGrid);
    right->addLayout(rxTx);
    right->addWidget(frameVolume);
    right->addLayout(levels);
    right->addSpacing(8);
    right->addLayout(commands);
    right->addStretch(1);

    auto *main = new QHBoxLayout(content);
    main->setContentsMargins(8, 8, 8, 8);
    main->setSpacing(12);
    main->addLayout(left, 5);
    main->addLayout(right, 6);
    m_scroll->setWidget(content);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);

    connect(TabStrip1, &QTabBar::currentChanged, this, &FormTune::TabStrip1_Click);
    connect(ComboTxTime, &QComboBox::currentIndexChanged, this, &FormTune::ComboTxTime_Click);
    connect(CommandRead, &QPushButton::clicked, this, &FormTune::CommandRead_Click);
    connect(CommandWrite, &QPushButton::clicked, this, &FormTune::CommandWrite_Click);
    TabStrip1->setCurrentIndex(0);
    TabStrip1_Click(0);

    connect(&m_session, &ImageSession::wordsChanged, this, &FormTune::followWords);
    connect(&m_session, &ImageSession::imageReplaced, this, &FormTune::AnalyseTuneData);
    connect(&m_session, &ImageSession::tuneTxTimeChanged, this, &FormTune::showTxTime);
    connect(&m_session, &ImageSession::referenceReplaced, this, &FormTune::updateMarks);
    connect(&m_session, &ImageSession::unsentChanged, this, &FormTune::updateMarks);
    updateMarks();
}

void FormTune::updateMarks()
{
    for (TuneValueRow *r : std::as_const(m_rows))
        markRow(r);
}

void FormTune::markRow(TuneValueRow *r) const
{
    const int w = r->value().wordAddress;
    r->setMarks(r->value().editable && m_session.isChanged(w), m_session.referenceWord(w),
                m_session.unsentWords().contains(w));
}

FormTune::~FormTune()
{
    // A value typed but not committed when the window goes is committed now, as leaving the box
    // would; afterwards no box may commit while the controls are torn down.
    for (TuneValueRow *r : std::as_const(m_rows)) {
        if (r->text() == static_cast<QWidget *>(focusWidget()) && r->hasUncommittedText())
            r->commitText();
        r->text()->removeEventFilter(r);
    }
    // A frame still on its way reaches the radio: the link is the session's and outlives the
    // window.
}

QSize FormTune::sizeHint() const
{
    return m_scroll ? m_scroll->widget()->sizeHint() : TuneChildWindow::sizeHint();
}

LiveTuneSender &FormTune::liveSender() const
{
    return m_session.liveLink();
}

QWidget *FormTune::makeModeFrame(Mode mode, QWidget *page)
{
    static const char *const names[] = {"FrameFM", "FrameAM", "FrameUsb", "FrameLsb"};
    QGroupBox *frame = makeFrame(QString::fromLatin1(names[static_cast<int>(mode)]),
                                 TuneValues::frameCaption(mode), page);
    *modeFrameSlot(mode) = frame;
    makeGrid(frame)->setColumnStretch(1, 1);
    return frame;
}

QWidget **FormTune::modeFrameSlot(Mode mode)
{
    QWidget **frames[] = {&FrameFM, &FrameAM, &FrameUsb, &FrameLsb};
    return frames[static_cast<int>(mode)];
}

void FormTune::buildModeRows(Mode mode)
{
    bool &built = m_modeBuilt[static_cast<int>(mode)];
    if (built)
        return;
    built = true;
    // The tabs' rows lead the list, tab by tab, whichever tab was built first.
    qsizetype at = 0;
    for (const Mode earlier : TabModes) {
        if (earlier == mode)
            break;
        if (m_modeBuilt[static_cast<int>(earlier)])
            at += 2 * TuneValues::RowsPerMode;
    }
    // Tab runs from the tab bar through the rows of the tab in view, built early or late.
    QWidget *before = at > 0 ? m_rows.at(at - 1)->text() : static_cast<QWidget *>(TabStrip1);

    // The frame is hidden while it fills (it is not the current page yet), so its new controls
    // appear with it rather than one event later.
    QWidget *frame = *modeFrameSlot(mode);
    auto *grid = static_cast<QGridLayout *>(frame->layout());
    const QScopedValueRollback refreshing(m_refreshing, true);
    const int first = static_cast<int>(mode) * TuneValues::RowsPerMode;
    for (int r = 0; r < TuneValues::RowsPerMode; ++r) {
        // Power and deviation of one row sit in adjacent lines, as in the image.
        for (const Group group : {Group::TxPower, Group::TxDeviation}) {
            TuneValueRow *row = addRow(*TuneValues::find(group, first + r), frame, at++);
            const int line = 2 * r + (group == Group::TxDeviation ? 1 : 0);
            grid->addWidget(row->label(), line, 0);
            grid->addLayout(row->layout(), line, 1);
            // Words, marks and unsent flags changed while the tab was unbuilt show at once.
            row->refresh();
            markRow(row);
            if (row->slider()) {
                QWidget::setTabOrder(before, row->slider());
                QWidget::setTabOrder(row->slider(), row->text());
            } else {
                QWidget::setTabOrder(before, row->text());
            }
            before = row->text();
        }
    }
}

void FormTune::buildAllModeRows()
{
    for (const Mode mode : TabModes)
        buildModeRows(mode);
}

TuneValueRow *FormTune::addRow(const Value &value, QWidget *frame, qsizetype at)
{
    auto *row = new TuneValueRow(value, m_session, m_refreshing, frame);
    // A committed change is one step the technician can undo, and its frame goes out.
    connect(row, &TuneValueRow::committed, this, [this](int wordAddress, bool restore) {
        m_session.commitEdit({wordAddress}, restore ? ImageSession::LiveKind::TuneValueRestore
                                                    : ImageSession::LiveKind::TuneValue);
    });
    m_rows.insert(at < 0 ? m_rows.size() : at, row);
    return row;
}

// Building a tab's rows changes no value the window shows: asking for a row is still a look.
TuneValueRow *FormTune::row(const QString &name) const
{
    const Value *value = TuneValues::byName(name);
    if (!value)
        return nullptr;
    if (value->group == Group::TxPower || value->group == Group::TxDeviation)
        const_cast<FormTune *>(this)->buildModeRows(TuneValues::modeOfRow(value->index));
    for (TuneValueRow *r : m_rows) {
        if (r->value().name == name)
            return r;
    }
    return nullptr;
}

const QList<TuneValueRow *> &FormTune::rows() const
{
    const_cast<FormTune *>(this)->buildAllModeRows();
    return m_rows;
}

void FormTune::AnalyseTuneData()
{
    const QScopedValueRollback refreshing(m_refreshing, true);
    for (TuneValueRow *r : std::as_const(m_rows))
        r->refresh();
    if (m_state.TuneTxTime >= 10)
        m_session.setTuneTxTime(0);
    showTxTime();
    updateMarks();
}

void FormTune::followWords(const QList<int> &words)
{
    // A change made in this window arrives here too, in the middle of the row's own handling;
    // the flag keeps the refresh from counting as an edit of its own.
    const QScopedValueRollback refreshing(m_refreshing, true);
    for (TuneValueRow *r : std::as_const(m_rows)) {
        const int w = r->value().wordAddress;
        if (!words.contains(w))
            continue;
        if (!r->isWriting())
            r->refresh();
        markRow(r);
    }
}

void FormTune::showTxTime()
{
    const QScopedValueRollback refreshing(m_refreshing, true);
    // Only a damaged file holds a time below -1; like -1 it selects nothing.
    ComboTxTime->setCurrentIndex(
        m_state.TuneTxTime >= 0 && m_state.TuneTxTime < 10 ? m_state.TuneTxTime : -1);
}

void FormTune::SendLiveTune(int wordAddress)
{
    m_session.sendTuneValue(wordAddress);
}

void FormTune::TabStrip1_Click(int index)
{
    const QString caption = TabStrip1->tabText(index);
    Mode shown = Mode::LSB;
    if (caption == TuneValues::tabCaption(Mode::AM))
        shown = Mode::AM;
    else if (caption == TuneValues::tabCaption(Mode::FM))
        shown = Mode::FM;
    else if (caption == TuneValues::tabCaption(Mode::USB))
        shown = Mode::USB;
    buildModeRows(shown);
    m_modeFrames->setCurrentWidget(*modeFrameSlot(shown));
}

void FormTune::ComboTxTime_Click(int index)
{
    if (m_refreshing)
        return;
    m_session.setTuneTxTime(index);
}

void FormTune::CommandRead_Click()
{
    confirmAndTransfer(TransferKind::FullRead,
                       tr("Read tune data from radio.Do you wish continue?"),
                       tr("Read data successful"));
}

void FormTune::CommandWrite_Click()
{
    confirmAndTransfer(TransferKind::TuneDataWrite,
                       tr("Write tune data into radio.Do you wish continue?"),
                       tr("Write data successful"));
}
