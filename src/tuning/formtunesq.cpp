#include "formtunesq.h"

#include "appstate.h"
#include "imagesession.h"
#include "keyfilter.h"
#include "squelchtable.h"
#include "tunefont.h"
#include "valuemarks.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Grid columns of one group: level label, on box, off box, Test button, and a gap before the
// next group.
constexpr int ColumnsPerGroup = 5;
// Grid rows: the headers, the 15 table rows, a gap, the reference row and the Modify button.
constexpr int HeaderGridRow = 0;
constexpr int ReferenceGridRow = SquelchTable::AsqRows + 2;
constexpr int ModifyGridRow = ReferenceGridRow + 1;
constexpr int GroupGapPixels = 14;
constexpr int ReferenceGapPixels = 8;

// Wide enough for the largest threshold and a digit more while typing.
constexpr char BoxSample[] = "000000";
// Room around a Test button's caption; the style's own minimum would make 76 of them too wide
// for the table to fit beside the tree pane.
constexpr int ButtonPadding = 16;

} // namespace

FormTuneSq::FormTuneSq(ImageSession &session, TuneWindowHost &host, QWidget *parent)
    : TuneChildWindow(session, host, WindowListCommand, 1000, 1007, QSize(640, 480), parent)
{
    setObjectName(QStringLiteral("FormTuneSq"));
    // The same caption in both languages.
    setWindowTitle(QStringLiteral("SQ"));
    setFont(tuneWindowFont());
    buildControls();
    resize(sizeHint());
    connect(&m_session, &ImageSession::wordsChanged, this, &FormTuneSq::followWords);
    connect(&m_session, &ImageSession::imageReplaced, this, &FormTuneSq::AnalyseSq);
    connect(&m_session, &ImageSession::referenceReplaced, this, &FormTuneSq::updateMarks);
    connect(&m_session, &ImageSession::unsentChanged, this, &FormTuneSq::updateMarks);
    connect(&m_session, &ImageSession::liveFrameFinished, this,
            [this](int key, LiveFrameOutcome) { m_testsPending.remove(key); });
}

void FormTuneSq::showBox(int box)
{
    m_shown[box] = SquelchTable::displayText(m_session.word(SquelchTable::boxWord(box)));
    TextSq[box]->setText(m_shown[box]);
    markBox(box);
}

void FormTuneSq::markBox(int box)
{
    const int w = SquelchTable::boxWord(box);
    // A Test frame carries the pair: its mark is on the row's first word.
    const bool unsent = m_session.unsentWords().contains(w - box % 2);
    const bool changed = m_session.isChanged(w);
    // The reference rows have no level label; their tip says what they are.
    ValueMarks::apply(TextSq[box], changed, m_session.referenceWord(w), unsent,
                      SquelchTable::row(box / 2).reference ? TextSq[box]->accessibleName()
                                                           : QString());
}

void FormTuneSq::updateMarks()
{
    for (int k = 0; k < SquelchTable::BoxCount; ++k)
        markBox(k);
}

LiveTuneSender &FormTuneSq::sender() const
{
    return m_session.liveLink();
}

void FormTuneSq::followWords(const QList<int> &words)
{
    const QScopedValueRollback analysing(m_analysing, true);
    for (const int w : words) {
        const int box = w - SquelchTable::boxWord(0);
        if (box < 0 || box >= SquelchTable::BoxCount)
            continue;
        if (box != m_committingBox)
            showBox(box);
        markBox(box);
    }
}

void FormTuneSq::buildControls()
{
    using namespace SquelchTable;

    const QString asqOn = columnCaption(true, true);
    const QString asqOff = columnCaption(true, false);
    const QString sqOn = columnCaption(false, true);
    const QString sqOff = columnCaption(false, false);
    const QString testCaption = tr("Test");
    const QString modifyCaption = tr("Modify");
    const QString reference = SquelchTable::referenceText();

    // Every control is made on the table widget at once: moving 300 widgets there afterwards
    // would cost a noticeable part of the window's opening time.
    m_table = new QWidget;
    m_table->setObjectName(QStringLiteral("SquelchTable"));
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->setRowMinimumHeight(ReferenceGridRow - 1, ReferenceGapPixels);

    const QFontMetrics metrics(font());
    const int boxWidth = metrics.horizontalAdvance(QString::fromLatin1(BoxSample))
                         + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;

    // Headers: the table name and the two column captions of every group.
    for (int k = 0; k < GroupCount; ++k) {
        const bool automatic = k == 0 || k == 4;
        auto *index = new QLabel(k == 0   ? QStringLiteral("FM")
                                 : k == 4 ? QStringLiteral("AM")
                                          : QString(),
                                 m_table);
        auto *on = new QLabel(automatic ? asqOn : sqOn, m_table);
        auto *off = new QLabel(automatic ? asqOff : sqOff, m_table);
        index->setObjectName(QStringLiteral("LabelIndex(%1)").arg(k));
        on->setObjectName(QStringLiteral("LabelSqOn(%1)").arg(k));
        off->setObjectName(QStringLiteral("LabelSqOff(%1)").arg(k));
        index->setAlignment(Qt::AlignRight | Qt::AlignBottom);
        for (QLabel *label : {on, off})
            label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        LabelIndex.append(index);
        LabelSqOn.append(on);
        LabelSqOff.append(off);
    }
    for (int group = 0; group < GroupCount; ++group) {
        const int k = GroupHeader[group];
        const int column = group * ColumnsPerGroup;
        grid->addWidget(LabelIndex[k], HeaderGridRow, column);
        grid->addWidget(LabelSqOn[k], HeaderGridRow, column + 1);
        grid->addWidget(LabelSqOff[k], HeaderGridRow, column + 2);
        if (group + 1 < GroupCount)
            grid->setColumnMinimumWidth(column + ColumnsPerGroup - 1, GroupGapPixels);
    }

    const int testWidth = metrics.horizontalAdvance(testCaption) + ButtonPadding;

    TextSq.resize(BoxCount);
    m_shown.resize(BoxCount);
    CommandTest.resize(RowCount);
    for (const Row &r : rows()) {
        const QString table = tableName(r.table);
        const QString level = r.reference ? reference : QString::number(r.level);
        const bool automatic = r.table != Table::Squelch;
        const int column = r.group * ColumnsPerGroup;
        const int gridRow = r.reference ? ReferenceGridRow : HeaderGridRow + 1 + r.line;

        for (int side = 0; side < 2; ++side) {
            const int box = 2 * r.index + side;
            auto *edit = new QLineEdit(m_table);
            edit->setObjectName(QStringLiteral("TextSq(%1)").arg(box));
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            edit->setMaxLength(8);
            edit->setFixedWidth(boxWidth);
            const QString caption
                = side == 0 ? (automatic ? asqOn : sqOn) : (automatic ? asqOff : sqOff);
            edit->setAccessibleName(QStringLiteral("%1 %2 %3").arg(table, level, caption));
            // The reference rows have no level label; the tip says what they are.
            if (r.reference)
                edit->setToolTip(edit->accessibleName());
            edit->installEventFilter(this);
            grid->addWidget(edit, gridRow, column + 1 + side);
            TextSq[box] = edit;
        }

        auto *test = new QPushButton(testCaption, m_table);
        test->setObjectName(QStringLiteral("CommandTest(%1)").arg(r.index));
        test->setAccessibleName(QStringLiteral("%1 %2 %3").arg(testCaption, table, level));
        test->setAutoDefault(false);
        test->setFixedWidth(testWidth);
        const int index = r.index;
        connect(test, &QPushButton::clicked, this, [this, index] { CommandTest_Click(index); });
        grid->addWidget(test, gridRow, column + 3);
        CommandTest[r.index] = test;

        if (!r.reference) {
            auto *label = new QLabel(r.levelText(), m_table);
            label->setObjectName(QStringLiteral("LabelSqLevel(%1)").arg(r.index));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            label->setAccessibleName(QStringLiteral("%1 %2").arg(table, level));
            label->setBuddy(TextSq[2 * r.index]);
            grid->addWidget(label, gridRow, column);
            LabelSqLevel.append(label);
        }
        // The headers name the first row of their group.
        if (r.line == 0) {
            const int k = GroupHeader[r.group];
            LabelIndex[k]->setBuddy(TextSq[2 * r.index]);
            LabelSqOn[k]->setBuddy(TextSq[2 * r.index]);
            LabelSqOff[k]->setBuddy(TextSq[2 * r.index + 1]);
        }
    }

    for (int t = 0; t < 2; ++t) {
        auto *modify = new QPushButton(modifyCaption, m_table);
        modify->setObjectName(QStringLiteral("CommandModify(%1)").arg(t));
        modify->setAccessibleName(
            QStringLiteral("%1 %2").arg(modifyCaption, tableName(t == 0 ? Table::Fm : Table::Am)));
        modify->setAutoDefault(false);
        connect(modify, &QPushButton::clicked, this, [this, t] { CommandModify_Click(t); });
        // FM is the first group, AM the second.
        grid->addWidget(modify, ModifyGridRow, t * ColumnsPerGroup + 1, 1, 2);
        CommandModify.append(modify);
    }

    CommandRead = new QPushButton(tr("Read Tune"), m_table);
    CommandRead->setObjectName(QStringLiteral("CommandRead"));
    CommandWrite = new QPushButton(tr("Write Tune"), m_table);
    CommandWrite->setObjectName(QStringLiteral("CommandWrite"));
    for (QPushButton *button : {CommandRead, CommandWrite}) {
        button->setAccessibleName(button->text());
        button->setAutoDefault(false);
    }
    connect(CommandRead, &QPushButton::clicked, this, &FormTuneSq::CommandRead_Click);
    connect(CommandWrite, &QPushButton::clicked, this, &FormTuneSq::CommandWrite_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CommandRead);
    buttons->addWidget(CommandWrite);
    auto *column = new QVBoxLayout;
    column->addLayout(grid);
    column->addSpacing(8);
    column->addLayout(buttons);
    column->addStretch();
    // Spare room goes to the right and below, so the groups stay together at any window size.
    auto *content = new QHBoxLayout;
    content->addLayout(column);
    content->addStretch();
    m_table->setLayout(content);

    // On a small screen the rows scroll rather than squeeze.
    m_scroll = new QScrollArea;
    m_scroll->setObjectName(QStringLiteral("SquelchScroll"));
    m_scroll->setWidget(m_table);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);
}

QSize FormTuneSq::sizeHint() const
{
    // The scroll area would offer only a fraction of the table; ask for all of it.
    return m_table ? m_table->sizeHint() : TuneChildWindow::sizeHint();
}

void FormTuneSq::AnalyseSq()
{
    const QScopedValueRollback analysing(m_analysing, true);
    for (int k = 0; k < SquelchTable::BoxCount; ++k)
        showBox(k);
}

bool FormTuneSq::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Undo and redo of a box's own typing while there is any; otherwise the program's.
        const int box = TextSq.indexOf(qobject_cast<QLineEdit *>(watched));
        auto *key = static_cast<QKeyEvent *>(event);
        if (box >= 0 && (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))
            && TextSq[box]->text() == m_shown.at(box)) {
            event->ignore();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::FocusOut) {
        const int box = TextSq.indexOf(qobject_cast<QLineEdit *>(watched));
        if (box >= 0) {
            if (event->type() == QEvent::KeyPress)
                return TextSq_KeyPress(box, static_cast<QKeyEvent *>(event));
            commitBox(box, false);
        }
    }
    return TuneChildWindow::eventFilter(watched, event);
}

bool FormTuneSq::TextSq_KeyPress(int box, QKeyEvent *event)
{
    int key = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = KeyEnter;
    else if (event->key() == Qt::Key_Backspace)
        key = KeyBackspace;
    else if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false; // the box's own shortcuts: select all, copy, paste
    else if (event->text().size() == 1 && event->text().at(0).isPrint())
        key = event->text().at(0).unicode();
    else
        return false; // keys that type nothing: arrows, Home, Delete, Tab

    QLineEdit *edit = TextSq[box];
    const int passed = FilterKeyPress(edit->text(), edit->hasSelectedText(),
                                      m_state.DecimalSeparator, key, KeyFilterMode::EightDigit);
    if (passed == 0)
        return true;
    if (passed == KeyEnter) {
        commitBox(box, true);
        return true;
    }
    return false;
}

void FormTuneSq::commitBox(int box, bool fromEnter)
{
    if (m_analysing)
        return;
    QLineEdit *edit = TextSq[box];
    // Passing through a box changes nothing: a stored value shown as "100" or "0" stays stored.
    // Any other text is committed, whoever put it there.
    if (edit->text() != m_shown.at(box)) {
        const int word = SquelchTable::boxWord(box);
        const SquelchTable::Commit commit
            = SquelchTable::commitText(edit->text(), m_session.word(word));
        // A cleared box puts back what it showed, and that is what the image holds from now on:
        // the screen never shows a value the image does not hold.
        const std::int32_t value = commit.value ? *commit.value : commit.text.toInt();
        m_shown[box] = commit.text;
        edit->setText(commit.text);
        {
            const QScopedValueRollback committing(m_committingBox, box);
            m_session.setWord(word, value);
        }
        m_session.commitEdit({word}, ImageSession::LiveKind::None);
    }
    if (fromEnter)
        edit->selectAll();
}

void FormTuneSq::CommandTest_Click(int row)
{
    if (!m_testsPending.isEmpty()) {
        QMessageBox busy(QMessageBox::Critical, QString::fromLatin1(AppState::ApplicationTitle),
                         QStringLiteral("Port is running"), QMessageBox::Ok, this);
        busy.setObjectName(QStringLiteral("PortIsRunning"));
        busy.exec();
        return;
    }
    const SquelchTable::Row which = SquelchTable::row(row);
    const int firstWord = which.onWord();
    // The reference rows are never read from the radio, so they are 0 after every read; a Test
    // of 0 and 0 would put a threshold of nothing into the radio.
    if (which.reference && m_session.word(which.onWord()) == 0
        && m_session.word(which.offWord()) == 0) {
        QMessageBox refused(QMessageBox::Warning, QString::fromLatin1(AppState::ApplicationTitle),
                            tr("Nothing was sent: both values of the reference row are 0, and "
                               "the reference rows are never read from the radio. Enter the "
                               "reference values first."),
                            QMessageBox::Ok, this);
        refused.setObjectName(QStringLiteral("TestRefused"));
        refused.exec();
        return;
    }
    m_testsPending.insert(firstWord);
    m_session.sendSquelchTest(firstWord);
}

void FormTuneSq::CommandModify_Click(int table)
{
    const SquelchTable::RescaleTable &which
        = table == 0 ? SquelchTable::FmRescale : SquelchTable::AmRescale;
    // A zero reference would put zeros into a whole column: the reference rows are never read
    // from the radio, so they are 0 after every read. A column whose first value is 0 has no
    // ratio and is left as it is by the rescale itself, so only a reference the rescale would
    // use is refused.
    for (const int side : {0, 1}) {
        if (m_session.word(which.referenceWord + side) == 0
            && m_session.word(which.firstWord + side) != 0) {
            QMessageBox refused(QMessageBox::Warning,
                                QString::fromLatin1(AppState::ApplicationTitle),
                                tr("The table was not changed: its reference row holds 0, and "
                                   "scaling to 0 would lose every threshold of the column. Enter "
                                   "the reference row first."),
                                QMessageBox::Ok, this);
            refused.setObjectName(QStringLiteral("ModifyRefused"));
            refused.exec();
            return;
        }
    }
    QList<WordChange> changes;
    QList<int> words;
    for (const auto &[word, value] : SquelchTable::rescaleOf(m_session.image(), which)) {
        changes.append({word, value});
        words.append(word);
    }
    m_session.setWords(changes);
    // The whole table is one step.
    m_session.commitEdit(words, ImageSession::LiveKind::None);
}

void FormTuneSq::CommandRead_Click()
{
    confirmAndTransfer(TransferKind::SquelchRead,
                       tr("Read tune data from radio.Do you wish continue?"),
                       tr("Read data successful"));
}

void FormTuneSq::CommandWrite_Click()
{
    confirmAndTransfer(TransferKind::SquelchWrite,
                       tr("Write tune data into radio.Do you wish continue?"),
                       tr("Write data successful"));
}
