#pragma once

#include <QPushButton>

class QListWidget;

// A text file that could not be written: the message names the file, the reason sits beneath.
void showTextSaveFailure(QWidget *parent, const QString &objectName, const QString &message,
                         const QString &reason);

// The transfer window's "Save Log" button: asks for a file and writes the debug list to it with a
// header line of date, COM port and device.
class SaveLogButton : public QPushButton
{
    Q_OBJECT
public:
    SaveLogButton(const QListWidget *list, int comPortNumber, QWidget *parent = nullptr);

    // Writes the log to path now; on failure says why in a message and returns false.
    bool saveTo(const QString &path);

    // Asks for a text file to save to, offering stem-<date>-<time>.txt; empty when cancelled.
    static QString askTextFile(QWidget *parent, const QString &title, const QString &objectName,
                               const QString &stem);

private:
    void askAndSave();

    const QListWidget *m_list;
    const int m_comPortNumber;
};
