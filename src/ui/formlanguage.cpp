#include "formlanguage.h"

#include "appstate.h"
#include "settingsmessage.h"
#include "settingsstore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

FormLanguage::FormLanguage(AppState &state, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , LabelLanguage(new QLabel(this))
    , ComboLanguage(new QComboBox(this))
    , CommandOK(new QPushButton(this))
    , CommandCancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("FormLanguage"));
    LabelLanguage->setObjectName(QStringLiteral("LabelLanguage"));
    ComboLanguage->setObjectName(QStringLiteral("ComboLanguage"));
    CommandOK->setObjectName(QStringLiteral("CommandOK"));
    CommandCancel->setObjectName(QStringLiteral("CommandCancel"));

    setWindowTitle(tr("Set Language"));
    LabelLanguage->setText(tr("Language Select"));
    CommandOK->setText(tr("&OK"));
    CommandCancel->setText(tr("&Cancel"));
    ComboLanguage->addItems({tr("English"), tr("Chinese")});
    ComboLanguage->setCurrentIndex(state.LanguageIsEnglish ? 0 : 1);
    CommandOK->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(LabelLanguage, 0, 0);
    grid->addWidget(ComboLanguage, 0, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CommandOK);
    buttons->addWidget(CommandCancel);
    grid->addLayout(buttons, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(300);

    connect(CommandOK, &QPushButton::clicked, this, &FormLanguage::CommandOK_Click);
    connect(CommandCancel, &QPushButton::clicked, this, &FormLanguage::CommandCancel_Click);
}

void FormLanguage::CommandOK_Click()
{
    const bool english = ComboLanguage->currentIndex() == 0;
    m_languageChanged = english != m_state.LanguageIsEnglish;
    m_state.LanguageIsEnglish = english;
    if (m_languageChanged
        && !SettingsStore::WriteRegistryText(QString::fromLatin1(SettingsStore::LanguageValue),
                                             english ? QStringLiteral("True")
                                                     : QStringLiteral("False")))
        SettingsMessage::showSaveFailure(this);
    accept();
}

void FormLanguage::CommandCancel_Click()
{
    reject();
}
