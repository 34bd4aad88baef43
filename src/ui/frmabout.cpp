#include "frmabout.h"

#include "appstate.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
    , picIcon(new QLabel(this))
    , lblTitle(new QLabel(this))
    , lblVersion(new QLabel(this))
    , lblDescription(new QLabel(this))
    , lblDisclaimer(new QLabel(this))
    , cmdOK(new QPushButton(this))
{
    const QString title = QString::fromLatin1(AppState::ApplicationTitle);
    setObjectName(QStringLiteral("frmAbout"));
    picIcon->setObjectName(QStringLiteral("picIcon"));
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));

    setWindowTitle(tr("About %1").arg(title));
    lblTitle->setText(title);
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion->setText(tr("Version %1").arg(AppState::versionText()));
    lblDescription->setText(tr("%1 software is used for RQ73").arg(title));
    lblDisclaimer->setText(
        tr("Warning: wrong alignment values can put the radio out of its legal limits."));
    lblDisclaimer->setWordWrap(true);
    cmdOK->setText(tr("OK"));
    cmdOK->setDefault(true);
    picIcon->setPixmap(QApplication::windowIcon().pixmap(64, 64));

    auto *grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(lblDisclaimer, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setHorizontalSpacing(16);
    setMinimumWidth(420);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}
