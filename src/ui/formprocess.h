#pragma once

#include "transfertimings.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class TransferEngine;
struct AppState;

// The modal view of one read or write transfer: progress, the debug list of every frame, the
// Retry/Cancel question and the result. The transfer itself runs in the engine.
class FormProcess : public QDialog
{
    Q_OBJECT
public:
    // refreshAfterRead runs after a successful read, to put the new image into the open windows.
    FormProcess(AppState &state, std::function<void()> refreshAfterRead, QWidget *parent = nullptr,
                const TransferTimings &timings = {});
    ~FormProcess() override;

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

    AppState &m_state;
    std::function<void()> m_refreshAfterRead;
    TransferEngine *m_engine;
    const bool m_isRead;
    bool m_started = false;

    QLabel *LabelProcess;
    QProgressBar *ProgressBar1;
    QLineEdit *TextShow;
    QListWidget *ListDebug;
};
