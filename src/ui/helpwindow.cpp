#include "helpwindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace Help {

QString helpFilePath(bool english)
{
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(english ? QStringLiteral("Tune_e.chm") : QStringLiteral("RQ73 Tune_c.chm"));
}

void show(QWidget *parent, bool english)
{
    const QString file = helpFilePath(english);
    if (QFileInfo::exists(file) && QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        return;

    // One help window at a time, kept beside the main window rather than modal over it.
    auto *window = parent ? parent->findChild<QDialog *>(QStringLiteral("HelpWindow")) : nullptr;
    if (!window) {
        window = new QDialog(parent);
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        auto *browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setOpenExternalLinks(false);
        auto *close = new QPushButton(window);
        close->setObjectName(QStringLiteral("HelpClose"));
        auto *layout = new QVBoxLayout(window);
        layout->addWidget(browser);
        layout->addWidget(close, 0, Qt::AlignRight);
        QObject::connect(close, &QPushButton::clicked, window, &QDialog::close);
        window->resize(640, 560);
    }
    auto *browser = window->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
    browser->setSource(QUrl(english ? QStringLiteral("qrc:/help/en/index.html")
                                    : QStringLiteral("qrc:/help/zh/index.html")));
    window->setWindowTitle(english ? QStringLiteral("RQ73 Tune Help")
                                   : QStringLiteral("RQ73 Tune 帮助"));
    window->findChild<QPushButton *>(QStringLiteral("HelpClose"))
        ->setText(english ? QStringLiteral("&Close") : QStringLiteral("关闭(&C)"));
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace Help
