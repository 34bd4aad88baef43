#pragma once

#include "portprobe.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct AppState;

// Picks the COM port of the programming cable among the ports that can be opened now.
class FormComPort : public QDialog
{
    Q_OBJECT
public:
    explicit FormComPort(AppState &state, QWidget *parent = nullptr);

    void CommandOK_Click();
    void CommandCancel_Click();
    // Probes the ports again, for a cable plugged in while the dialog is open.
    void CommandRefresh_Click();

    // Lists the ports of a probe and selects the entry by the dialog's rule; preferred is the
    // number to keep selected when it is still listed (0: the port in use).
    void showPorts(const PortProbe &probe, int preferred = 0);

    // What the detail label says about a port the system may know more of, in the current
    // language.
    static QString detailText(const PortDetails &details);

    static constexpr int HighestPort = 99;

private:
    void showDevice();

    AppState &m_state;
    PortProbe m_probe;
    QLabel *LabelComPort;
    QComboBox *ComboComPort;
    QPushButton *CommandRefresh;
    QLabel *LabelDevice;
    QLabel *LabelPortDetails;
    QLabel *LabelAdvice;
    QLineEdit *TextAccessCommand;
    QPushButton *CommandOK;
    QPushButton *CommandCancel;
};
