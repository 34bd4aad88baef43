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
    // The row of a value, by its machine name; null when there is none.
    TuneValueRow *row(const QString &name) const;
    const QList<TuneValueRow *> &rows() const { return m_rows; }

protected:
    void refresh() override { AnalyseTuneData(); }

private:
    QWidget *buildModeFrame(TuneValues::Mode mode);
    TuneValueRow *addRow(const TuneValues::Value &value, QWidget *frame);
    void TabStrip1_Click(int index);
    void ComboTxTime_Click(int index);
    void followWords(const QList<int> &words);
    void updateMarks();
    void showTxTime();

    bool m_refreshing = false;
    QList<TuneValueRow *> m_rows;
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
