#include "formbackups.h"

#include "appstate.h"

#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

FormBackups::FormBackups(const BackupStore &store, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , LabelBackups(new QLabel(tr("&Backups, newest first:"), this))
    , ListBackups(new QTreeWidget(this))
    , LabelFolder(new QLabel(this))
    , LabelLimit(new QLabel(tr("&Keep at most:"), this))
    , SpinLimit(new QSpinBox(this))
    , CommandOpen(new QPushButton(tr("&Open"), this))
    , CommandFolder(new QPushButton(tr("Show &Folder"), this))
    , CommandClose(new QPushButton(tr("Close"), this))
{
    setObjectName(QStringLiteral("FormBackups"));
    setWindowTitle(tr("Backups"));
    LabelBackups->setObjectName(QStringLiteral("LabelBackups"));
    ListBackups->setObjectName(QStringLiteral("ListBackups"));
    LabelFolder->setObjectName(QStringLiteral("LabelFolder"));
    LabelLimit->setObjectName(QStringLiteral("LabelLimit"));
    SpinLimit->setObjectName(QStringLiteral("SpinLimit"));
    CommandOpen->setObjectName(QStringLiteral("CommandOpen"));
    CommandFolder->setObjectName(QStringLiteral("CommandFolder"));
    CommandClose->setObjectName(QStringLiteral("CommandClose"));

    ListBackups->setHeaderLabels({tr("Date"), tr("Kind"), tr("Size")});
    ListBackups->setRootIsDecorated(false);
    ListBackups->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBackups->setAllColumnsShowFocus(true);
    ListBackups->header()->setStretchLastSection(false);
    ListBackups->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    ListBackups->setAccessibleName(tr("Backups"));
    LabelBackups->setBuddy(ListBackups);

    LabelFolder->setText(QDir::toNativeSeparators(m_store.folder()));
    LabelFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelFolder->setAccessibleName(tr("Backup folder"));

    SpinLimit->setRange(1, BackupStore::MaxLimit);
    SpinLimit->setValue(BackupStore::storedLimit());
    SpinLimit->setAccessibleName(tr("Keep at most"));
    SpinLimit->setToolTip(tr("The oldest backups are removed when a new one is saved."));
    LabelLimit->setBuddy(SpinLimit);

    CommandOpen->setAccessibleName(tr("Open"));
    CommandFolder->setAccessibleName(tr("Show Folder"));
    CommandClose->setAccessibleName(CommandClose->text());
    for (QPushButton *button : {CommandOpen, CommandFolder, CommandClose})
        button->setAutoDefault(false);
    CommandOpen->setDefault(true);

    auto *limitRow = new QHBoxLayout;
    limitRow->addWidget(LabelLimit);
    limitRow->addWidget(SpinLimit);
    limitRow->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CommandOpen);
    buttons->addWidget(CommandFolder);
    buttons->addStretch(1);
    buttons->addWidget(CommandClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelBackups);
    layout->addWidget(ListBackups, 1);
    layout->addWidget(LabelFolder);
    layout->addLayout(limitRow);
    layout->addLayout(buttons);
    resize(560, 420);

    connect(CommandOpen, &QPushButton::clicked, this, &FormBackups::CommandOpen_Click);
    connect(CommandFolder, &QPushButton::clicked, this, &FormBackups::CommandFolder_Click);
    connect(CommandClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBackups, &QTreeWidget::itemActivated, this, &FormBackups::CommandOpen_Click);
    connect(ListBackups, &QTreeWidget::currentItemChanged, this, &FormBackups::updateButtons);
    // The cap takes effect at the next backup: lowering it here deletes nothing at once.
    connect(SpinLimit, &QSpinBox::valueChanged, this,
            [](int value) { BackupStore::storeLimit(value); });

    refreshList();
}

QString FormBackups::kindText(BackupStore::Kind kind)
{
    switch (kind) {
    case BackupStore::Kind::SquelchRead:
        return tr("Squelch read");
    case BackupStore::Kind::ReplacedFile:
        return tr("Replaced file");
    case BackupStore::Kind::BeforeWrite:
        return tr("Before write");
    case BackupStore::Kind::FullRead:
        break;
    }
    return tr("Full read");
}

void FormBackups::refreshList()
{
    ListBackups->clear();
    for (const BackupStore::Entry &entry : m_store.entries()) {
        auto *item = new QTreeWidgetItem(ListBackups);
        QString date = entry.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (entry.sequence > 1)
            date += QStringLiteral(" (%1)").arg(entry.sequence);
        item->setText(0, date);
        item->setText(1, kindText(entry.kind));
        item->setText(2, tr("%1 bytes").arg(entry.size));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, entry.path);
        item->setToolTip(0, entry.fileName);
    }
    for (int c = 1; c < ListBackups->columnCount(); ++c)
        ListBackups->resizeColumnToContents(c);
    if (ListBackups->topLevelItemCount() > 0)
        ListBackups->setCurrentItem(ListBackups->topLevelItem(0));
    updateButtons();
}

void FormBackups::updateButtons()
{
    CommandOpen->setEnabled(ListBackups->currentItem() != nullptr);
}

void FormBackups::CommandOpen_Click()
{
    const QTreeWidgetItem *item = ListBackups->currentItem();
    if (!item)
        return;
    m_chosenPath = item->data(0, Qt::UserRole).toString();
    accept();
}

void FormBackups::CommandFolder_Click()
{
    // The folder exists before the first backup too, so the technician can see where they go.
    const QString folder = m_store.folder();
    if (!folder.isEmpty() && QDir().mkpath(folder)
        && QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        return;
    QMessageBox box(
        QMessageBox::Warning, QString::fromLatin1(AppState::ApplicationTitle),
        tr("The backup folder could not be shown:\n%1").arg(QDir::toNativeSeparators(folder)),
        QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("FolderFailed"));
    box.exec();
}
