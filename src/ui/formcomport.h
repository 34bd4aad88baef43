#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
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

    static constexpr int HighestPort = 99;

private:
    void buildList();
    void showDevice();

    AppState &m_state;
    bool m_portsRefused = false;
    QLabel *LabelComPort;
    QComboBox *ComboComPort;
    QLabel *LabelDevice;
    QPushButton *CommandOK;
    QPushButton *CommandCancel;
};
