#pragma once

#include "transferkind.h"
#include "transfertimings.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class RadioImage;
class TransferEngine;

// The modal view of one read or write transfer: progress, the debug list of every frame, the
// Retry/Cancel question and the result. The transfer itself runs in the engine.
class FormProcess : public QDialog
{
    Q_OBJECT
public:
    // The transfer of kind between image and the radio on COM port comPortNumber. afterRead runs
    // the moment a read succeeds, while the window still shows its result.
    FormProcess(RadioImage &image, TransferKind kind, int comPortNumber,
                std::function<void()> afterRead = {}, QWidget *parent = nullptr,
                const TransferTimings &timings = {});
    ~FormProcess() override;

    // Whether the transfer finished with every block taken.
    bool succeeded() const { return m_succeeded; }
    // A step of a longer command: the window closes by itself once the transfer succeeded, and
    // stays to show a failure.
    void setCloseWhenDone(bool close)
    {
        m_closeWhenDone = close;
        // Read by anything that drives the window from outside: it needs no answer.
        setProperty("closesWhenDone", close);
    }

    // The "Complete:" line for a fraction, in the current language.
    static QString progressText(double fraction);

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void startTransfer();
    void addDebugLine(const QString &line);
    void askRetry();
    void finish(bool success);

    const TransferKind m_kind;
    const int m_comPortNumber;
    std::function<void()> m_afterRead;
    TransferEngine *m_engine;
    const bool m_isRead;
    bool m_succeeded = false;
    bool m_started = false;
    bool m_closeWhenDone = false;

    QLabel *LabelProcess;
    QProgressBar *ProgressBar1;
    QLineEdit *TextShow;
    QListWidget *ListDebug;
};
