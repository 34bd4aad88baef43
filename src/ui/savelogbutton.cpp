#include "savelogbutton.h"

#include "appstate.h"
#include "transferlog.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>

SaveLogButton::SaveLogButton(const QListWidget *list, int comPortNumber, QWidget *parent)
    : QPushButton(tr("Save Log"), parent)
    , m_list(list)
    , m_comPortNumber(comPortNumber)
{
    setObjectName(QStringLiteral("CommandSaveLog"));
    setAccessibleName(text());
    // Enter in the transfer window must not open a file dialog.
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &SaveLogButton::askAndSave);
}

bool SaveLogButton::saveTo(const QString &path)
{
    QStringList lines;
    lines.reserve(m_list->count());
    for (int i = 0; i < m_list->count(); ++i)
        lines.append(m_list->item(i)->text());
    const QString error = TransferLog::write(
        path, TransferLog::header(QDateTime::currentDateTime(), m_comPortNumber), lines);
    if (error.isEmpty())
        return true;
    showTextSaveFailure(this, QStringLiteral("SaveLogFailed"),
                        tr("The log could not be saved to %1.").arg(QDir::toNativeSeparators(path)),
                        error);
    return false;
}

void showTextSaveFailure(QWidget *parent, const QString &objectName, const QString &message,
                         const QString &reason)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(AppState::ApplicationTitle), message,
                    QMessageBox::Ok, parent);
    box.setObjectName(objectName);
    box.setInformativeText(reason);
    box.exec();
}

QString SaveLogButton::askTextFile(QWidget *parent, const QString &title, const QString &objectName,
                                   const QString &stem)
{
    QFileDialog dialog(parent, title);
    dialog.setObjectName(objectName);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({tr("Text file(*.txt)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(
        QStringLiteral("%1-%2.txt")
            .arg(stem, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void SaveLogButton::askAndSave()
{
    const QString path = askTextFile(window(), tr("Save Log"), QStringLiteral("SaveLogDialog"),
                                     QStringLiteral("rq73-log"));
    if (!path.isEmpty())
        saveTo(path);
}
