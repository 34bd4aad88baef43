#pragma once

#include "backupstore.h"

#include <QStatusBar>

class ImageSession;
class QLabel;
class QTimer;
struct AppState;

// The frame's status bar: the program's name, the COM port, the date and the time in four
// panels, then panels of their own for the live link, unsaved changes and passing notes, so
// nothing this program says hides the four.
class MainStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    MainStatusBar(const AppState &state, ImageSession &session, QWidget *parent = nullptr);

    // The clock panels and the program's name; the frame's timer calls it.
    void showClock();
    void showPort();
    void showModified();
    // Texts in the current language.
    void relabel();

    void showBackupResult(const BackupStore::SaveResult &result);
    void showMissingRecent(const QString &path);

private:
    void showNote(const QString &text, int ms);

    const AppState &m_state;
    ImageSession &m_session;
    QLabel *m_panels[4] = {};
    QLabel *m_modifiedPanel;
    QLabel *m_notePanel;
    class QToolButton *m_stopTx;
    QTimer *m_noteTimer;

    static constexpr int BackupMessageMs = 10000;
    static constexpr int BackupFailureMessageMs = 60000;
    static constexpr int MissingRecentMessageMs = 10000;
};
