#include "formcompare.h"

#include "savelogbutton.h"
#include "transferlog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

FormCompare::FormCompare(const QString &title, const QString &summary, const QStringList &lines,
                         QWidget *parent)
    : QDialog(parent)
    , LabelSummary(new QLabel(summary, this))
    , LabelDifferences(new QLabel(tr("&Differing words:"), this))
    , ListDifferences(new QListWidget(this))
    , CommandExport(new QPushButton(tr("&Export..."), this))
    , CommandClose(new QPushButton(tr("Close"), this))
{
    setObjectName(QStringLiteral("FormCompare"));
    setWindowTitle(title);
    LabelSummary->setObjectName(QStringLiteral("LabelSummary"));
    LabelDifferences->setObjectName(QStringLiteral("LabelDifferences"));
    ListDifferences->setObjectName(QStringLiteral("ListDifferences"));
    CommandExport->setObjectName(QStringLiteral("CommandExport"));
    CommandClose->setObjectName(QStringLiteral("CommandClose"));

    LabelSummary->setWordWrap(true);
    LabelSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelDifferences->setBuddy(ListDifferences);
    ListDifferences->addItems(lines);
    ListDifferences->setAccessibleName(tr("Differing words"));
    ListDifferences->setAccessibleDescription(summary);
    CommandExport->setAccessibleName(tr("Export"));
    CommandClose->setAccessibleName(CommandClose->text());
    CommandExport->setAutoDefault(false);
    CommandClose->setDefault(true);
    // Nothing to export when the images agree; the summary says so.
    CommandExport->setEnabled(!lines.isEmpty());
    LabelDifferences->setVisible(!lines.isEmpty());
    ListDifferences->setVisible(!lines.isEmpty());

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CommandExport);
    buttons->addWidget(CommandClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelSummary);
    layout->addWidget(LabelDifferences);
    layout->addWidget(ListDifferences, 1);
    layout->addLayout(buttons);
    resize(lines.isEmpty() ? 420 : 560, lines.isEmpty() ? 120 : 420);

    connect(CommandExport, &QPushButton::clicked, this, &FormCompare::CommandExport_Click);
    connect(CommandClose, &QPushButton::clicked, this, &QDialog::accept);
}

QString FormCompare::summary() const
{
    return LabelSummary->text();
}

QStringList FormCompare::lines() const
{
    QStringList list;
    for (int i = 0; i < ListDifferences->count(); ++i)
        list.append(ListDifferences->item(i)->text());
    return list;
}

bool FormCompare::exportTo(const QString &path)
{
    const QString error = TransferLog::write(path, summary(), lines());
    if (error.isEmpty())
        return true;
    showTextSaveFailure(
        this, QStringLiteral("ExportFailed"),
        tr("The list could not be saved to %1.").arg(QDir::toNativeSeparators(path)), error);
    return false;
}

void FormCompare::CommandExport_Click()
{
    const QString path = SaveLogButton::askTextFile(
        this, tr("Export"), QStringLiteral("ExportDialog"), QStringLiteral("rq73-compare"));
    if (!path.isEmpty())
        exportTo(path);
}
