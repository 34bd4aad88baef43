#pragma once

#include "imagecompare.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// What a write is about to change in the radio, read from the radio a moment ago: the values,
// radio → new, the ones that key the transmitter marked, and where the radio's data was kept.
// Write goes on; Cancel (the default) leaves the radio as it is.
class FormWritePreview : public QDialog
{
    Q_OBJECT
public:
    // warning: said first when there is something the technician must know (data never filled).
    FormWritePreview(const QList<ImageCompare::Difference> &changes, const QString &backupNote,
                     const QString &warning, QWidget *parent = nullptr);

    QString summary() const;
    QStringList lines() const;

    // One line of the list, in the current language.
    static QString lineOf(const ImageCompare::Difference &change);
    static QString summaryOf(qsizetype changes);

private:
    QLabel *LabelSummary;
    QLabel *LabelChanges;
    QListWidget *ListChanges;
    QLabel *LabelBackup;
    QPushButton *CommandWrite;
    QPushButton *CommandCancel;
};
