#include "formwritepreview.h"

#include "livetuneframe.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FormWritePreview::FormWritePreview(const QList<ImageCompare::Difference> &changes,
                                   const QString &backupNote, const QString &warning,
                                   QWidget *parent)
    : QDialog(parent)
    , LabelSummary(new QLabel(this))
    , LabelChanges(new QLabel(tr("&Values that will change (radio → new):"), this))
    , ListChanges(new QListWidget(this))
    , LabelBackup(new QLabel(backupNote, this))
    , CommandWrite(new QPushButton(tr("&Write"), this))
    , CommandCancel(new QPushButton(tr("Cancel"), this))
{
    setObjectName(QStringLiteral("FormWritePreview"));
    setWindowTitle(tr("Write To Radio"));
    LabelSummary->setObjectName(QStringLiteral("LabelSummary"));
    LabelChanges->setObjectName(QStringLiteral("LabelChanges"));
    ListChanges->setObjectName(QStringLiteral("ListChanges"));
    LabelBackup->setObjectName(QStringLiteral("LabelBackup"));
    CommandWrite->setObjectName(QStringLiteral("CommandWrite"));
    CommandCancel->setObjectName(QStringLiteral("CommandCancel"));

    QString summary = summaryOf(changes.size());
    if (!warning.isEmpty())
        summary = warning + QStringLiteral("\n\n") + summary;
    LabelSummary->setText(summary);
    LabelSummary->setWordWrap(true);
    LabelSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelBackup->setWordWrap(true);
    LabelBackup->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelChanges->setBuddy(ListChanges);
    for (const ImageCompare::Difference &change : changes)
        ListChanges->addItem(lineOf(change));
    ListChanges->setAccessibleName(tr("Values that will change"));
    ListChanges->setAccessibleDescription(summary);
    LabelChanges->setVisible(!changes.isEmpty());
    ListChanges->setVisible(!changes.isEmpty());
    CommandWrite->setAccessibleName(tr("Write"));
    CommandCancel->setAccessibleName(CommandCancel->text());
    // Nothing happens to the radio unless asked for.
    CommandWrite->setAutoDefault(false);
    CommandCancel->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CommandWrite);
    buttons->addWidget(CommandCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelSummary);
    layout->addWidget(LabelChanges);
    layout->addWidget(ListChanges, 1);
    layout->addWidget(LabelBackup);
    layout->addLayout(buttons);
    resize(changes.isEmpty() ? 460 : 620, changes.isEmpty() ? 160 : 440);

    connect(CommandWrite, &QPushButton::clicked, this, &QDialog::accept);
    connect(CommandCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString FormWritePreview::summary() const
{
    return LabelSummary->text();
}

QStringList FormWritePreview::lines() const
{
    QStringList list;
    for (int i = 0; i < ListChanges->count(); ++i)
        list.append(ListChanges->item(i)->text());
    return list;
}

QString FormWritePreview::lineOf(const ImageCompare::Difference &change)
{
    const QString line = ImageCompare::describe(change);
    return LiveTune::isTransmitWord(change.word) ? tr("%1   [keys the transmitter]").arg(line)
                                                 : line;
}

QString FormWritePreview::summaryOf(qsizetype changes)
{
    if (changes == 0)
        return tr("The radio already holds every value of this write.");
    return tr("The write changes %n value(s) in the radio.", nullptr, int(changes));
}
