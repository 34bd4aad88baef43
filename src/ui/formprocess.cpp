#include "formprocess.h"

#include "appstate.h"
#include "blockplan.h"
#include "portopenmessage.h"
#include "radioimage.h"
#include "savelogbutton.h"
#include "transferengine.h"
#include "transfertexts.h"
#include "twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int ProgressScale = 1000;
}

FormProcess::FormProcess(RadioImage &image, TransferKind kind, int comPortNumber,
                         std::function<void()> afterRead, QWidget *parent,
                         const TransferTimings &timings)
    : QDialog(parent)
    , m_kind(kind)
    , m_comPortNumber(comPortNumber)
    , m_afterRead(std::move(afterRead))
    , m_engine(new TransferEngine(image, this))
    , m_isRead(isReadTransfer(kind))
    , LabelProcess(new QLabel(this))
    , ProgressBar1(new QProgressBar(this))
    , TextShow(new QLineEdit(this))
    , ListDebug(new QListWidget(this))
{
    setObjectName(QStringLiteral("FormProcess"));
    m_engine->setTimings(timings);
    LabelProcess->setObjectName(QStringLiteral("LabelProcess"));
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    TextShow->setObjectName(QStringLiteral("TextShow"));
    ListDebug->setObjectName(QStringLiteral("ListDebug"));

    setWindowTitle(m_isRead ? TransferTexts::readTitle() : TransferTexts::writeTitle());
    // Before the first block the label reads 0%; the "###%" rule applies from then on.
    LabelProcess->setText(TransferTexts::complete() + QStringLiteral("0%"));
    ProgressBar1->setRange(0, ProgressScale);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    TextShow->setReadOnly(true);
    TextShow->setAlignment(Qt::AlignCenter);
    QFont big = TextShow->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 2);
    TextShow->setFont(big);
    TextShow->setVisible(false);
    // Frames are long lines of hex: scroll sideways rather than wrap.
    ListDebug->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ListDebug->setWordWrap(false);
    ListDebug->setTextElideMode(Qt::ElideNone);
    // The newest frame stays in view, also when the list has laid out its lines later or a
    // horizontal scroll bar has taken height from it.
    connect(ListDebug->verticalScrollBar(), &QScrollBar::rangeChanged, ListDebug,
            [this](int, int max) { ListDebug->verticalScrollBar()->setValue(max); });
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    ListDebug->setFont(mono);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelProcess);
    layout->addWidget(ProgressBar1);
    layout->addWidget(TextShow);
    layout->addWidget(ListDebug, 1);
    layout->addWidget(new SaveLogButton(ListDebug, m_comPortNumber, this), 0, Qt::AlignRight);
    resize(520, Twips::toPixels(4320, logicalDpiY()));

    connect(m_engine, &TransferEngine::debugLine, this, &FormProcess::addDebugLine);
    connect(m_engine, &TransferEngine::progress, this, [this](double fraction) {
        ProgressBar1->setValue(static_cast<int>(fraction * ProgressScale + 0.5));
        LabelProcess->setText(progressText(fraction));
    });
    connect(m_engine, &TransferEngine::retryQuestion, this, &FormProcess::askRetry,
            Qt::QueuedConnection);
    connect(m_engine, &TransferEngine::finished, this, &FormProcess::finish);
}

FormProcess::~FormProcess()
{
    m_engine->stop();
}

QString FormProcess::progressText(double fraction)
{
    return TransferTexts::complete() + progressPercentText(fraction);
}

void FormProcess::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        // Start once the window is on screen, so a port failure's message sits over it.
        QTimer::singleShot(0, this, &FormProcess::startTransfer);
    }
}

void FormProcess::startTransfer()
{
    const PortOpenResult result = m_engine->start(m_comPortNumber, m_kind);
    if (result.ok())
        return;
    showPortOpenFailure(this, TransferTexts::reselectPort(), result);
}

void FormProcess::addDebugLine(const QString &line)
{
    ListDebug->addItem(line);
}

void FormProcess::askRetry()
{
    if (!isVisible())
        return;
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(AppState::ApplicationTitle),
                    TransferTexts::retryQuestion(), QMessageBox::Retry | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("RetryQuestion"));
    if (box.exec() == QMessageBox::Retry)
        m_engine->retry();
    else
        m_engine->cancel();
}

void FormProcess::finish(bool success)
{
    m_succeeded = success;
    if (!success)
        return;
    TextShow->setText(m_isRead ? TransferTexts::readOk() : TransferTexts::writeOk());
    TextShow->setVisible(true);
    if (m_isRead && m_afterRead)
        m_afterRead();
    if (m_closeWhenDone)
        QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
}

void FormProcess::keyPressEvent(QKeyEvent *event)
{
    // Escape would leave the radio half-written; the window's close button still stops the
    // transfer on purpose.
    if (event->key() == Qt::Key_Escape && m_engine->isRunning()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FormProcess::done(int result)
{
    // Closing mid-transfer stops it cleanly: the blocks already read stay in the image.
    m_engine->stop();
    QDialog::done(result);
}
