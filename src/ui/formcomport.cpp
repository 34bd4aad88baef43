#include "formcomport.h"

#include "appstate.h"
#include "portopen.h"
#include "settingsmessage.h"
#include "settingsstore.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

FormComPort::FormComPort(AppState &state, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , LabelComPort(new QLabel(this))
    , ComboComPort(new QComboBox(this))
    , CommandRefresh(new QPushButton(this))
    , LabelDevice(new QLabel(this))
    , LabelPortDetails(new QLabel(this))
    , LabelAdvice(new QLabel(this))
    , TextAccessCommand(new QLineEdit(this))
    , CommandOK(new QPushButton(this))
    , CommandCancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("FormComPort"));
    LabelComPort->setObjectName(QStringLiteral("LabelComPort"));
    ComboComPort->setObjectName(QStringLiteral("ComboComPort"));
    CommandRefresh->setObjectName(QStringLiteral("CommandRefresh"));
    LabelDevice->setObjectName(QStringLiteral("LabelDevice"));
    LabelPortDetails->setObjectName(QStringLiteral("LabelPortDetails"));
    LabelAdvice->setObjectName(QStringLiteral("LabelAdvice"));
    TextAccessCommand->setObjectName(QStringLiteral("TextAccessCommand"));
    CommandOK->setObjectName(QStringLiteral("CommandOK"));
    CommandCancel->setObjectName(QStringLiteral("CommandCancel"));

    setWindowTitle(tr("Set COM"));
    LabelComPort->setText(tr("Comm Port"));
    CommandRefresh->setText(tr("&Refresh"));
    CommandOK->setText(tr("&OK"));
    CommandCancel->setText(tr("&Cancel"));
    CommandOK->setDefault(true);
    LabelComPort->setBuddy(ComboComPort);

    ComboComPort->setAccessibleName(tr("Comm Port"));
    CommandRefresh->setAccessibleName(tr("Refresh the list of ports"));
    LabelDevice->setAccessibleName(tr("Device of the selected port"));
    LabelPortDetails->setAccessibleName(tr("What the system reports about the selected port"));
    LabelAdvice->setAccessibleName(tr("Advice"));
    TextAccessCommand->setAccessibleName(tr("Command that grants access to serial ports"));
    CommandOK->setAccessibleName(tr("OK"));
    CommandCancel->setAccessibleName(tr("Cancel"));

    // Texts the technician may want to copy into a search or a terminal: normal colour, and
    // selectable with the mouse and the keyboard.
    const Qt::TextInteractionFlags selectable
        = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    for (QLabel *label : {LabelDevice, LabelPortDetails, LabelAdvice}) {
        label->setTextInteractionFlags(selectable);
        label->setTextFormat(Qt::PlainText);
    }
    LabelAdvice->setWordWrap(true);
    LabelDevice->setWordWrap(true);
    LabelAdvice->setBuddy(TextAccessCommand);
    // The command is copied as a whole, so it sits in a box of its own that never breaks it.
    TextAccessCommand->setReadOnly(true);
    TextAccessCommand->setText(PortProbe::accessCommand());
    const QFontMetrics metrics(TextAccessCommand->font());
    TextAccessCommand->setMinimumWidth(metrics.horizontalAdvance(TextAccessCommand->text())
                                       + 4 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth)
                                       + metrics.averageCharWidth() * 2);

    auto *grid = new QGridLayout(this);
    grid->addWidget(LabelComPort, 0, 0);
    grid->addWidget(ComboComPort, 0, 1);
    grid->addWidget(CommandRefresh, 0, 2);
    grid->addWidget(LabelDevice, 1, 0, 1, 3);
    grid->addWidget(LabelPortDetails, 2, 0, 1, 3);
    grid->addWidget(LabelAdvice, 3, 0, 1, 3);
    grid->addWidget(TextAccessCommand, 4, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CommandOK);
    buttons->addWidget(CommandCancel);
    grid->addLayout(buttons, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    setMinimumWidth(420);

    showPorts(PortProbe::run());

    connect(ComboComPort, &QComboBox::currentIndexChanged, this, &FormComPort::showDevice);
    connect(CommandRefresh, &QPushButton::clicked, this, &FormComPort::CommandRefresh_Click);
    connect(CommandOK, &QPushButton::clicked, this, &FormComPort::CommandOK_Click);
    connect(CommandCancel, &QPushButton::clicked, this, &FormComPort::CommandCancel_Click);
}

void FormComPort::showPorts(const PortProbe &probe, int preferred)
{
    m_probe = probe;
    {
        const QSignalBlocker quiet(ComboComPort);
        ComboComPort->clear();
        for (const int n : probe.ports)
            ComboComPort->addItem(QStringLiteral("COM%1").arg(n), n);
        const qsizetype kept = preferred > 0 ? probe.ports.indexOf(preferred) : -1;
        if (kept >= 0) {
            ComboComPort->setCurrentIndex(static_cast<int>(kept));
        } else {
            const PortChoice choice = PortChoice::choose(probe.ports, m_state.ComPortNumber);
            if (choice.index >= 0) {
                ComboComPort->setCurrentIndex(choice.index);
                // The port in use is gone: the first one is used for this run, without being
                // stored.
                m_state.ComPortNumber = choice.comPortNumber;
            }
        }
    }
    const bool refused = probe.someRefused;
    LabelAdvice->setText(refused ? PortProbe::refusedAdvice() : QString());
    LabelAdvice->setVisible(refused);
    TextAccessCommand->setVisible(refused);
    showDevice();
}

QString FormComPort::detailText(const PortDetails &details)
{
    if (details.isEmpty())
        return tr("The system reports nothing more about this port.");
    QStringList lines;
    if (!details.description.isEmpty())
        lines << tr("Description: %1").arg(details.description);
    if (!details.manufacturer.isEmpty())
        lines << tr("Maker: %1").arg(details.manufacturer);
    if (const QString id = details.usbIdText(); !id.isEmpty())
        lines << tr("USB vendor:product ID: %1").arg(id);
    return lines.join(QLatin1Char('\n'));
}

void FormComPort::showDevice()
{
    const int n = ComboComPort->currentData().toInt();
    if (n > 0) {
        LabelDevice->setText(m_probe.devices.value(n, portDeviceName(n)));
        LabelPortDetails->setText(detailText(m_probe.details.value(n)));
        LabelPortDetails->setVisible(true);
        return;
    }
    // An empty list would leave the technician guessing; say what can be done about it.
    LabelDevice->setText(PortProbe::noPortAdvice());
    LabelPortDetails->clear();
    LabelPortDetails->setVisible(false);
}

void FormComPort::CommandRefresh_Click()
{
    showPorts(PortProbe::run(), ComboComPort->currentData().toInt());
}

void FormComPort::CommandOK_Click()
{
    // With nothing listed there is nothing to choose: the port stays as it is.
    if (ComboComPort->count() > 0) {
        m_state.ComPortNumber = ComboComPort->currentText().mid(3).toInt();
        if (!SettingsStore::WriteRegistryText(QString::fromLatin1(SettingsStore::ComPortValue),
                                              QString::number(m_state.ComPortNumber)))
            SettingsMessage::showSaveFailure(this);
    }
    accept();
}

void FormComPort::CommandCancel_Click()
{
    reject();
}
