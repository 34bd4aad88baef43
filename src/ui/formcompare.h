#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// The result of Verify Radio or Compare With File: a summary line and the differing words, one a
// line, which can be exported as a text file.
class FormCompare : public QDialog
{
    Q_OBJECT
public:
    FormCompare(const QString &title, const QString &summary, const QStringList &lines,
                QWidget *parent = nullptr);

    QString summary() const;
    QStringList lines() const;

    // Writes the summary and the lines to path; on failure says why in a message and returns
    // false.
    bool exportTo(const QString &path);

private:
    void CommandExport_Click();

    QLabel *LabelSummary;
    QLabel *LabelDifferences;
    QListWidget *ListDifferences;
    QPushButton *CommandExport;
    QPushButton *CommandClose;
};
