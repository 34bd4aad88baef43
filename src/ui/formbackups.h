#pragma once

#include "backupstore.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;

// File > Backups: the automatic backups, newest first, with date, kind and size. Open closes the
// window and leaves the chosen file to the frame, which opens it as File > Open would.
class FormBackups : public QDialog
{
    Q_OBJECT
public:
    explicit FormBackups(const BackupStore &store, QWidget *parent = nullptr);

    // After Open: the backup to open.
    QString chosenPath() const { return m_chosenPath; }
    void refreshList();

    // "Full read" or "Squelch read" in the current language.
    static QString kindText(BackupStore::Kind kind);

private:
    void CommandOpen_Click();
    void CommandFolder_Click();
    void updateButtons();

    BackupStore m_store;
    QString m_chosenPath;

    QLabel *LabelBackups;
    QTreeWidget *ListBackups;
    QLabel *LabelFolder;
    QLabel *LabelLimit;
    QSpinBox *SpinLimit;
    QPushButton *CommandOpen;
    QPushButton *CommandFolder;
    QPushButton *CommandClose;
};
