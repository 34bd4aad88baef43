#pragma once

#include "alignprocedure.h"
#include "alignradio.h"
#include "alignresult.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class AlignRun;
class AppState;
class Instrument;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// Program > Auto Align...: runs an alignment procedure against the radio and a measuring
// instrument and shows each step live (try, value, reading, result).
//
// The window owns no cable and no image. Each Start asks makeRadio for the radio of one run: the
// main window passes one over the session's live link, so every try goes through the image and
// the undo history like an edit; linkRadioFactory() is a stand-alone one over AppState's image
// and COM port. The procedure's value names are resolved by resolveTuneValue, the values of the
// tune data window a user edits.
class FormAutoAlign : public QWidget
{
    Q_OBJECT
public:
    using RadioFactory = std::function<std::unique_ptr<AlignRadio>()>;

    explicit FormAutoAlign(RadioFactory makeRadio, QWidget *parent = nullptr);
    ~FormAutoAlign() override;

    // A radio over the tool's own link on state's image and COM port, with a backup of the read.
    static RadioFactory linkRadioFactory(AppState &state);
    static std::optional<AlignValueInfo> resolveTuneValue(const QString &text);

    // Instrument replies slower than this are a fault; tests pass a short one.
    void setInstrumentTimeoutMs(int ms) { m_instrumentTimeoutMs = ms; }

    bool isRunning() const;
    // The last run's result; empty before the first.
    const AlignRunResult *lastResult() const;
    // false after showing why.
    bool saveReportTo(const QString &path);

    void Start();
    void Stop();
    void SaveReport();
    void BrowseProcedure();

signals:
    void runFinished(AlignRunResult::Outcome outcome);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showProcedure(const AlignProcedure &procedure);
    void showStep(int index);
    void onOpened();
    void onFinished(AlignRunResult::Outcome outcome);
    void fail(const QString &text);
    void setRunning(bool running);
    void log(const QString &line);

    RadioFactory m_makeRadio;
    int m_instrumentTimeoutMs;
    std::optional<AlignProcedure> m_procedure;
    std::unique_ptr<Instrument> m_instrument;
    std::unique_ptr<AlignRadio> m_radio;
    AlignRun *m_run = nullptr;
    std::optional<AlignRunResult> m_result;

    QLabel *LabelInstrument;
    QLineEdit *TextInstrument;
    QLabel *LabelProcedure;
    QLineEdit *TextProcedure;
    QPushButton *CommandBrowse;
    QCheckBox *CheckWrite;
    QTableWidget *TableSteps;
    QPlainTextEdit *TextLog;
    QLabel *LabelStatus;
    QPushButton *CommandStart;
    QPushButton *CommandStop;
    QPushButton *CommandSaveReport;
};
