#include "mainstatusbar.h"

#include "appstate.h"
#include "imagesession.h"
#include "livestatuspanel.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QTime>
#include <QTimer>
#include <QToolButton>

MainStatusBar::MainStatusBar(const AppState &state, ImageSession &session, QWidget *parent)
    : QStatusBar(parent)
    , m_state(state)
    , m_session(session)
    , m_modifiedPanel(new QLabel(this))
    , m_notePanel(new QLabel(this))
    , m_noteTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setContentsMargins(6, 0, 6, 0);
        addWidget(m_panels[i], i == 0 ? 1 : 0);
    }
    addWidget(new LiveStatusPanel(m_session, this), 2);
    // Ends a transmission at once, whatever keyed it.
    m_stopTx = new QToolButton(this);
    m_stopTx->setObjectName(QStringLiteral("StopTransmitting"));
    // Shown only while there is something to stop, so the status bar keeps its room for the
    // panels on a small screen the rest of the time.
    m_stopTx->setVisible(false);
    addWidget(m_stopTx);
    connect(m_stopTx, &QToolButton::clicked, &m_session, &ImageSession::stopTransmitting);
    connect(&m_session, &ImageSession::keyedWordChanged, m_stopTx,
            [this](int word) { m_stopTx->setVisible(word >= 0); });
    m_modifiedPanel->setObjectName(QStringLiteral("ModifiedPanel"));
    m_modifiedPanel->setContentsMargins(6, 0, 6, 0);
    addWidget(m_modifiedPanel);
    m_notePanel->setObjectName(QStringLiteral("NotePanel"));
    m_notePanel->setContentsMargins(6, 0, 6, 0);
    addWidget(m_notePanel);
    m_noteTimer->setSingleShot(true);
    connect(m_noteTimer, &QTimer::timeout, m_notePanel, &QLabel::clear);
    connect(&m_session, &ImageSession::modifiedChanged, this, &MainStatusBar::showModified);
    connect(&m_session, &ImageSession::sourceChanged, this, &MainStatusBar::showModified);
    connect(&m_session, &ImageSession::backupSaved, this, &MainStatusBar::showBackupResult);
}

void MainStatusBar::relabel()
{
    m_stopTx->setText(tr("Stop TX"));
    m_stopTx->setAccessibleName(tr("Stop Transmitting"));
    m_stopTx->setToolTip(tr("Stop Transmitting"));
    showPort();
    showModified();
}

void MainStatusBar::showPort()
{
    m_panels[1]->setText(tr("COM%1").arg(m_state.ComPortNumber));
}

void MainStatusBar::showClock()
{
    const QLocale locale = QLocale::system();
    m_panels[2]->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    // The long time format shows seconds; the time zone would only crowd the panel.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    m_panels[3]->setText(locale.toString(QTime::currentTime(), timeFormat.trimmed()));
    m_panels[0]->setText(QString::fromLatin1(AppState::ApplicationTitle));
}

void MainStatusBar::showModified()
{
    QString text = m_session.isModified() ? tr("Modified") : QString();
    if (m_session.source() == ImageSource::PartialRead) {
        const QString incomplete = tr("Incomplete read");
        text = text.isEmpty() ? incomplete : incomplete + QStringLiteral(", ") + text;
    }
    m_modifiedPanel->setText(text);
    m_modifiedPanel->setAccessibleName(text);
}

void MainStatusBar::showBackupResult(const BackupStore::SaveResult &result)
{
    // The read itself worked either way; a backup that failed is told, never turned into an error
    // of the read.
    if (result.ok())
        showNote(tr("Backup saved: %1").arg(QFileInfo(result.path).fileName()), BackupMessageMs);
    else
        showNote(tr("Backup not saved: %1").arg(result.errorText), BackupFailureMessageMs);
}

void MainStatusBar::showMissingRecent(const QString &path)
{
    showMessage(
        tr("File not found, removed from Recent Files: %1").arg(QDir::toNativeSeparators(path)),
        MissingRecentMessageMs);
}

void MainStatusBar::showNote(const QString &text, int ms)
{
    m_notePanel->setText(text);
    m_notePanel->setAccessibleName(text);
    m_noteTimer->start(ms);
}
