#pragma once

#include "tunechildwindow.h"

#include <QList>
#include <QSet>

class LiveTuneSender;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

// The squelch tune window: the squelch threshold table of words 128 to 279, with a live Test of
// each row, the rescale of the FM and AM tables from their reference rows, and the squelch
// transfers.
class FormTuneSq : public TuneChildWindow
{
    Q_OBJECT
public:
    static constexpr int WindowListCommand = 1003;

    FormTuneSq(ImageSession &session, TuneWindowHost &host, QWidget *parent = nullptr);

    // Puts the image's squelch table into the controls.
    void AnalyseSq();

    QSize sizeHint() const override;

    QLineEdit *textSq(int box) const { return TextSq.at(box); }
    QPushButton *commandTest(int row) const { return CommandTest.at(row); }
    QPushButton *commandModify(int table) const { return CommandModify.at(table); }
    QLabel *labelSqLevel(int row) const { return LabelSqLevel.at(row); }
    LiveTuneSender &sender() const;

    void CommandTest_Click(int row);
    void CommandModify_Click(int table);
    void CommandRead_Click();
    void CommandWrite_Click();

protected:
    void refresh() override { AnalyseSq(); }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    bool TextSq_KeyPress(int box, QKeyEvent *event);
    void commitBox(int box, bool fromEnter);
    void followWords(const QList<int> &words);
    void showBox(int box);
    void markBox(int box);
    void updateMarks();

    // Keeps the boxes' own events from writing to the image while the window fills them.
    bool m_analysing = false;
    // The box whose commit is writing its word; it keeps the text the commit gave it.
    int m_committingBox = -1;

    QScrollArea *m_scroll = nullptr;
    QWidget *m_table = nullptr;
    QList<QLineEdit *> TextSq;
    // What each box last showed by the window's own doing; anything else is typing.
    QStringList m_shown;
    // This window's Test frames still on their way; the other window's frames queue beside them
    // and never make a Test wait.
    QSet<int> m_testsPending;
    QList<QPushButton *> CommandTest;
    QList<QLabel *> LabelSqLevel;
    QList<QLabel *> LabelIndex;
    QList<QLabel *> LabelSqOn;
    QList<QLabel *> LabelSqOff;
    QList<QPushButton *> CommandModify;
    QPushButton *CommandRead = nullptr;
    QPushButton *CommandWrite = nullptr;
};
