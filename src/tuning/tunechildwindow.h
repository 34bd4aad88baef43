#pragma once

#include "transferkind.h"

#include <QWidget>
#include <functional>

struct AppState;
class ImageSession;
class TuneWindowHost;

// What both tune windows share as MDI children: the window-list entry with its command number,
// the check marks on activation, the window state recorded on resize, and the refresh of the
// controls from the image each time the window is activated. The image is the session's: a window
// writes words through it and follows what it announces.
class TuneChildWindow : public QWidget
{
    Q_OBJECT
public:
    TuneChildWindow(ImageSession &session, TuneWindowHost &host, int commandNumber, int checkFirst,
                    int checkLast, QSize preferredSize, QWidget *parent = nullptr);

    ImageSession &session() const { return m_session; }

    int commandNumber() const { return m_commandNumber; }
    int checkFirst() const { return m_checkFirst; }
    int checkLast() const { return m_checkLast; }
    bool languageIsEnglish() const { return m_english; }

    // Until a window has laid out its controls, its preferred size decides how large the frame
    // opens and cascades it.
    QSize sizeHint() const override;

    // Called by the frame once the window sits in its sub-window.
    void Form_Load();
    void Form_Activate();
    void Form_Resize(Qt::WindowStates states);
    void Form_Unload();

    // The Read and Write buttons of both tune windows: ask the question (OK/Cancel, exclamation
    // icon), run the transfer in the modal transfer window and, when it worked, run
    // afterSuccess (a refresh) and then say so. Returns whether the transfer succeeded.
    bool confirmAndTransfer(TransferKind kind, const QString &question, const QString &successText,
                            const std::function<void()> &afterSuccess = {});

protected:
    // Puts the image's values into the controls.
    virtual void refresh() = 0;
    void closeEvent(QCloseEvent *event) override;

    ImageSession &m_session;
    AppState &m_state;
    TuneWindowHost &m_host;

private:
    const int m_commandNumber;
    const int m_checkFirst;
    const int m_checkLast;
    // The language in force when the window loaded; its texts keep it while it stays open.
    const bool m_english;
    const QSize m_preferredSize;
    bool m_loaded = false;
};
