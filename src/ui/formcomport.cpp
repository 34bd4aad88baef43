#include "formcomport.h"

#include "appstate.h"
#include "portopen.h"
#include "portprobe.h"
#include "settingsmessage.h"
#include "settingsstore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

FormComPort::FormComPort(AppState &state, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , LabelComPort(new QLabel(this))
    , ComboComPort(new QComboBox(this))
    , LabelDevice(new QLabel(this))
    , CommandOK(new QPushButton(this))
    , CommandCancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("FormComPort"));
    LabelComPort->setObjectName(QStringLiteral("LabelComPort"));
    ComboComPort->setObjectName(QStringLiteral("ComboComPort"));
    LabelDevice->setObjectName(QStringLiteral("LabelDevice"));
    CommandOK->setObjectName(QStringLiteral("CommandOK"));
    CommandCancel->setObjectName(QStringLiteral("CommandCancel"));

    setWindowTitle(tr("Set COM"));
    LabelComPort->setText(tr("Comm Port"));
    CommandOK->setText(tr("&OK"));
    CommandCancel->setText(tr("&Cancel"));
    CommandOK->setDefault(true);
    LabelDevice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelDevice->setWordWrap(true);
    QPalette muted = LabelDevice->palette();
    muted.setColor(QPalette::WindowText, palette().color(QPalette::Disabled, QPalette::WindowText));
    LabelDevice->setPalette(muted);

    auto *grid = new QGridLayout(this);
    grid->addWidget(LabelComPort, 0, 0);
    grid->addWidget(ComboComPort, 0, 1);
    grid->addWidget(LabelDevice, 0, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CommandOK);
    buttons->addWidget(CommandCancel);
    grid->addLayout(buttons, 1, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    setMinimumWidth(360);

    buildList();
    showDevice();

    connect(ComboComPort, &QComboBox::currentIndexChanged, this, &FormComPort::showDevice);
    connect(CommandOK, &QPushButton::clicked, this, &FormComPort::CommandOK_Click);
    connect(CommandCancel, &QPushButton::clicked, this, &FormComPort::CommandCancel_Click);
}

void FormComPort::buildList()
{
    const PortMap map = PortMap::load();
    const PortProbe probe = PortProbe::run(map);
    m_portsRefused = probe.someRefused;
    for (const int n : probe.ports)
        ComboComPort->addItem(QStringLiteral("COM%1").arg(n), n);
    const PortChoice choice = PortChoice::choose(probe.ports, m_state.ComPortNumber);
    if (choice.index < 0)
        return;
    ComboComPort->setCurrentIndex(choice.index);
    // The port in use is gone: the first one is used for this run, without being stored.
    m_state.ComPortNumber = choice.comPortNumber;
}

void FormComPort::showDevice()
{
    const int n = ComboComPort->currentData().toInt();
    if (n > 0) {
        LabelDevice->setText(portDeviceName(n));
        return;
    }
    // An empty list would leave the technician guessing; say what can be done about it.
    QString text = tr("No port can be opened now. Check that the programming cable is plugged in.");
    if (m_portsRefused)
        text += QLatin1Char('\n')
                + tr("Some ports refused access: on Linux, add your user to the dialout group "
                     "(sudo usermod -aG dialout $USER) and log in again.");
    LabelDevice->setText(text);
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
