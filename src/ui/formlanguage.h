#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
struct AppState;

// The language dialog. OK makes the choice LanguageIsEnglish and stores it when it changed.
class FormLanguage : public QDialog
{
    Q_OBJECT
public:
    explicit FormLanguage(AppState &state, QWidget *parent = nullptr);

    // True after an OK that changed the language.
    bool languageChanged() const { return m_languageChanged; }

    void CommandOK_Click();
    void CommandCancel_Click();

private:
    AppState &m_state;
    bool m_languageChanged = false;
    QLabel *LabelLanguage;
    QComboBox *ComboLanguage;
    QPushButton *CommandOK;
    QPushButton *CommandCancel;
};
