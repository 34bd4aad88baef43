#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Which program and version is running, in the current language.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

private:
    QLabel *picIcon;
    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblDescription;
    QLabel *lblDisclaimer;
    QPushButton *cmdOK;
};
