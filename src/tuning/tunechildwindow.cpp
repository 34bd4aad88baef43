#include "tunechildwindow.h"

#include "appstate.h"
#include "focusmark.h"
#include "imagesession.h"
#include "tunewindowhost.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMessageBox>

TuneChildWindow::TuneChildWindow(ImageSession &session, TuneWindowHost &host, int commandNumber,
                                 int checkFirst, int checkLast, QSize preferredSize,
                                 QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_state(session.state())
    , m_host(host)
    , m_commandNumber(commandNumber)
    , m_checkFirst(checkFirst)
    , m_checkLast(checkLast)
    , m_english(m_state.LanguageIsEnglish)
    , m_preferredSize(preferredSize)
{
    resize(preferredSize);
    new FocusMark(this);
}

QSize TuneChildWindow::sizeHint() const
{
    return layout() ? QWidget::sizeHint() : m_preferredSize;
}

void TuneChildWindow::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_host.childLoaded(*this);
}

void TuneChildWindow::Form_Activate()
{
    m_host.childActivated(*this);
    refresh();
}

void TuneChildWindow::Form_Resize(Qt::WindowStates states)
{
    int windowState = 0;
    if (states & Qt::WindowMinimized)
        windowState = 1;
    else if (states & Qt::WindowMaximized)
        windowState = 2;
    m_host.recordChildWindowState(windowState);
}

void TuneChildWindow::Form_Unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    m_host.childUnloaded(*this);
}

void TuneChildWindow::closeEvent(QCloseEvent *event)
{
    // A transmission keyed from a window ends with it.
    m_session.stopTransmitting();
    Form_Unload();
    QWidget::closeEvent(event);
}

bool TuneChildWindow::confirmAndTransfer(TransferKind kind, const QString &question,
                                         const QString &successText,
                                         const std::function<void()> &afterSuccess)
{
    // The question about unsaved changes comes first; the window's own follows unchanged.
    if (isReadTransfer(kind) && !m_host.settleUnsavedChanges())
        return false;
    // A write backed up and previewed asks its one question with the changes in view, and
    // reports what it found itself.
    const bool previewed = !isReadTransfer(kind) && ImageSession::safeWriteEnabled();
    if (!previewed) {
        QMessageBox ask(QMessageBox::Warning, QString::fromLatin1(AppState::ApplicationTitle),
                        question, QMessageBox::Ok | QMessageBox::Cancel, this);
        ask.setObjectName(QStringLiteral("TransferQuestion"));
        if (ask.exec() != QMessageBox::Ok)
            return false;
    }
    if (!m_host.runTransfer(kind, true))
        return false;
    if (afterSuccess)
        afterSuccess();
    if (previewed)
        return true;
    QMessageBox done(QMessageBox::NoIcon, QString::fromLatin1(AppState::ApplicationTitle),
                     successText, QMessageBox::Ok, this);
    done.setObjectName(QStringLiteral("TransferSucceeded"));
    done.exec();
    return true;
}
