#pragma once

#include "tunechildwindow.h"
#include "tunevaluetable.h"

#include <QList>

class LiveTuneSender;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTabBar;
class TuneValueRow;

// The tune data window: every calibration value of the tune region of the image, each a row of
// slider, box and up/down built from the value table. A committed change goes into the image
// and, through the window's own live link, to the radio at once.
class FormTune : public TuneChildWindow
{
    Q_OBJECT
public:
    static constexpr int WindowListCommand = 1000;

    FormTune(ImageSession &session, TuneWindowHost &host, QWidget *parent = nullptr);
    ~FormTune() override;

    // The whole of the controls, not the scroll area's share of them.
    QSize sizeHint() const override;

    // Puts the image's tune values into the controls.
    void AnalyseTuneData();

    void CommandRead_Click();
    void CommandWrite_Click();

    // Sends the word at that address to the radio as it stands in the image when the frame goes.
    void SendLiveTune(int wordAddress);

    LiveTuneSender &liveSender() const;
    bool isRefreshing() const { return m_refreshing; }
    // The row of a value, by its machine name; null when there is none. The rows of a tab not
    // yet shown are built on the way.
    TuneValueRow *row(const QString &name) const;
    // Every row of the window, the tabs' rows first, tab by tab; builds the tabs not yet shown.
    const QList<TuneValueRow *> &rows() const;

protected:
    void refresh() override { AnalyseTuneData(); }

private:
    QWidget *makeModeFrame(TuneValues::Mode mode, QWidget *page);
    // Fills a tab's frame with its rows, once; until then the frame stands empty and hidden.
    void buildModeRows(TuneValues::Mode mode);
    void buildAllModeRows();
    QWidget **modeFrameSlot(TuneValues::Mode mode);
    void markRow(TuneValueRow *row) const;
    TuneValueRow *addRow(const TuneValues::Value &value, QWidget *frame, qsizetype at = -1);
    void TabStrip1_Click(int index);
    void ComboTxTime_Click(int index);
    void followWords(const QList<int> &words);
    void updateMarks();
    void showTxTime();

    bool m_refreshing = false;
    // The rows built so far, in the order rows() gives them.
    QList<TuneValueRow *> m_rows;
    // Which tabs' rows exist, by mode.
    bool m_modeBuilt[4] = {};
    QTabBar *TabStrip1 = nullptr;
    QStackedWidget *m_modeFrames = nullptr;
    QScrollArea *m_scroll = nullptr;
    QWidget *FrameAM = nullptr;
    QWidget *FrameFM = nullptr;
    QWidget *FrameUsb = nullptr;
    QWidget *FrameLsb = nullptr;
    QComboBox *ComboTxTime = nullptr;
    QLabel *LabelTxTime = nullptr;
    QPushButton *CommandRead = nullptr;
    QPushButton *CommandWrite = nullptr;
};
