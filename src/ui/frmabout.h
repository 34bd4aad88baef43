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

    static constexpr int VersionMajor = 1;
    static constexpr int VersionMinor = 0;
    static constexpr int VersionRevision = 7;

private:
    QLabel *picIcon;
    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblDescription;
    QLabel *lblDisclaimer;
    QPushButton *cmdOK;
};
