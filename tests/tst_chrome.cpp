// The main window's frame as people meet it: its size on the screen it opens on, the tune windows
// reachable on small screens, recent files and the last folder, a file named at start-up or
// dropped, help, the tree, and what a screen reader or the Tab key finds.

#include "formtune.h"
#include "formtunesq.h"
#include "imagecommands.h"
#include "testdata.h"
#include "testprogram.h"
#include "testsettings.h"
#include "tunevaluerow.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

namespace {

using namespace TestData;

QByteArray dataFile(int seed)
{
    return Header + patternImage(seed) + QByteArray::fromHex("05000000");
}

QRect availableArea(const QWidget *w)
{
    return w->screen()->availableGeometry();
}

// Whether a control can be brought into view: the scroll area around it scrolls to it, and then
// every widget it sits in shows the whole of it.
QString unreachable(QWidget *w)
{
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(p)) {
            // As far as the scroll bars go: the whole control, not only its text cursor.
            const QRect inside(w->mapTo(area->widget(), QPoint(0, 0)), w->size());
            auto scrollTo = [](QScrollBar *bar, int from, int to, int page) {
                if (to > bar->value() + page)
                    bar->setValue(to - page);
                if (from < bar->value())
                    bar->setValue(from);
            };
            scrollTo(area->horizontalScrollBar(), inside.left(), inside.right() + 1,
                     area->viewport()->width());
            scrollTo(area->verticalScrollBar(), inside.top(), inside.bottom() + 1,
                     area->viewport()->height());
            break;
        }
    }
    QRect rect(QPoint(0, 0), w->size());
    QWidget *inner = w;
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        rect.translate(inner->pos());
        if (!p->rect().contains(rect))
            return QStringLiteral("%1 (%2,%3 %4x%5) cut off by %6 (%7x%8)")
                .arg(w->objectName())
                .arg(rect.x())
                .arg(rect.y())
                .arg(rect.width())
                .arg(rect.height())
                .arg(p->objectName())
                .arg(p->width())
                .arg(p->height());
        inner = p;
        if (p->isWindow())
            break;
    }
    const QRect global(w->mapToGlobal(QPoint(0, 0)), w->size());
    if (!availableArea(w).contains(global))
        return QStringLiteral("%1 off the screen").arg(w->objectName());
    return {};
}

// The next control Tab goes to.
QWidget *nextTabStop(QWidget *w)
{
    for (QWidget *n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain()) {
        if ((n->focusPolicy() & Qt::TabFocus) && n->isEnabled() && n->isVisibleTo(w->window()))
            return n;
    }
    return nullptr;
}

QMessageBox *answerBox(QWidget *modal, QMessageBox::StandardButton button)
{
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (box)
        box->button(button)->click();
    return box;
}

} // namespace

class TstChrome : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { ModalHelper::verifyAllAnswered(); }

    void windowFitsScreen_data();
    void windowFitsScreen();
    void windowPlaceRemembered();
    void recentFiles();
    void startUpAndDrop_data();
    void startUpAndDrop();
    void toolbarAndTabOrder_data();
    void toolbarAndTabOrder();
    void helpAndTree();

private:
    std::unique_ptr<QTemporaryDir> m_settings;
    QTemporaryDir m_files;
};

void TstChrome::init()
{
    m_settings = std::make_unique<QTemporaryDir>();
    isolateSettings(m_settings->path());
}

void TstChrome::windowFitsScreen_data()
{
    QTest::addColumn<bool>("english");
    QTest::newRow("English") << true;
    QTest::newRow("Chinese") << false;
}

void TstChrome::windowFitsScreen()
{
    QFETCH(bool, english);
    TestProgram p(1, english);
    MDIFormMain &w = *p.window;
    QVERIFY2(availableArea(&w).contains(w.frameGeometry()),
             qPrintable(QStringLiteral("window %1,%2 %3x%4 on a screen of %5x%6")
                            .arg(w.frameGeometry().x())
                            .arg(w.frameGeometry().y())
                            .arg(w.frameGeometry().width())
                            .arg(w.frameGeometry().height())
                            .arg(availableArea(&w).width())
                            .arg(availableArea(&w).height())));

    FormTune *tune = w.formTune();
    QVERIFY(tune);
    // The scroll ranges follow the layout once its pending requests are done.
    QCoreApplication::processEvents();
    QVERIFY(tune->rows().size() > 90);
    QList<QWidget *> controls;
    for (TuneValueRow *r : tune->rows()) {
        // Rows of the tabs not shown are reached through their tab.
        if (r->text()->isVisibleTo(tune))
            controls << r->text() << r->label();
    }
    for (const char *name : {"CommandRead", "CommandWrite", "ComboTxTime", "TabStrip1"})
        controls << tune->findChild<QWidget *>(QString::fromLatin1(name));
    QVERIFY(controls.size() > 60);
    for (QWidget *c : std::as_const(controls)) {
        QVERIFY(c);
        const QString fault = unreachable(c);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
    // No caption or button text is cut.
    for (QWidget *c : tune->findChildren<QWidget *>()) {
        if ((qobject_cast<QLabel *>(c) || qobject_cast<QPushButton *>(c)) && c->isVisibleTo(tune))
            QVERIFY2(c->width() >= c->minimumSizeHint().width(), qPrintable(c->objectName()));
    }

    // RQ73_SHOT_DIR=folder keeps a picture of each window for a person to look at.
    const QString shots = qEnvironmentVariable("RQ73_SHOT_DIR");
    auto keepShot = [&](const char *what) {
        if (!shots.isEmpty())
            w.grab().save(QDir(shots).filePath(QStringLiteral("%1-%2.png")
                                                   .arg(QString::fromLatin1(what),
                                                        QString::fromLatin1(
                                                            QTest::currentDataTag()))));
    };
    keepShot("tune");
    w.openFormTuneSq();
    FormTuneSq *sq = w.formTuneSq();
    QVERIFY(sq);
    QCoreApplication::processEvents();
    const QList<QLineEdit *> boxes = sq->findChildren<QLineEdit *>();
    QVERIFY(boxes.size() >= 76);
    for (QLineEdit *box : boxes) {
        const QString fault = unreachable(box);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
    for (QPushButton *button : sq->findChildren<QPushButton *>()) {
        const QString fault = unreachable(button);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
    keepShot("sq");
}

void TstChrome::windowPlaceRemembered()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed(area.topLeft() + QPoint(30, 20), area.size() * 3 / 4);
    {
        TestProgram p(1);
        p.window->setGeometry(placed);
        p.window->LayoutTreePane(3200);
    }
    {
        TestProgram p(1);
        QCOMPARE(p.window->geometry(), placed);
        QCOMPARE(p.window->splitterTwips(), 3200);
        QVERIFY(!p.window->isMaximized());
        p.window->showMaximized();
    }
    TestProgram p(1);
    QVERIFY(p.window->isMaximized());
}

void TstChrome::recentFiles()
{
    const QString folder = m_files.filePath(QStringLiteral("recent"));
    QVERIFY(QDir().mkpath(folder));
    auto path = [&](int k) { return QDir(folder).filePath(QStringLiteral("f%1.rdat").arg(k)); };
    for (int k = 1; k <= 10; ++k)
        QVERIFY(writeBytes(path(k), dataFile(k)));

    TestProgram p(1);
    auto *menu = p.window->findChild<QMenu *>(QStringLiteral("MenuRecent"));
    QVERIFY(menu);
    QVERIFY(!menu->isEnabled());
    auto entries = [&] {
        emit menu->aboutToShow();
        QStringList paths;
        for (QAction *a : menu->actions())
            paths << a->data().toString();
        return paths;
    };
    auto openOk = [&](const QString &file) {
        whenModal([](QWidget *m) { QVERIFY(answerBox(m, QMessageBox::Ok)); });
        p.window->openDataFile(file);
        QCOMPARE(p.state.CurrentFileName, QFileInfo(file).fileName());
    };

    // Opened files: newest first, never twice, at most eight. The submenu is ready at once: a
    // disabled one never shows, so it cannot fill itself when shown.
    openOk(path(1));
    QVERIFY(menu->isEnabled());
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().constFirst()->data().toString(), path(1));
    openOk(path(2));
    openOk(path(1));
    QCOMPARE(entries(), QStringList({path(1), path(2)}));
    QVERIFY(menu->isEnabled());
    QCOMPARE(menu->actions().constFirst()->text(), QStringLiteral("&1 f1.rdat"));
    for (int k = 3; k <= 10; ++k)
        openOk(path(k));
    QCOMPARE(entries(), QStringList({path(10), path(9), path(8), path(7), path(6), path(5),
                                     path(4), path(3)}));

    // Saved under a new name through the dialog, which opens in the folder used last.
    const QString other = m_files.filePath(QStringLiteral("other"));
    QVERIFY(QDir().mkpath(other));
    const QString saved = QDir(other).filePath(QStringLiteral("saved.rdat"));
    QString shownFolder;
    whenModal([&](QWidget *m) {
        auto *dialog = qobject_cast<QFileDialog *>(m);
        QVERIFY(dialog);
        shownFolder = dialog->directory().absolutePath();
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(saved);
        static_cast<QDialog *>(dialog)->accept();
    });
    p.window->MenuSaveAs_Click();
    QCOMPARE(shownFolder, QDir(folder).absolutePath());
    QCOMPARE(readBytes(saved).left(Header.size()), Header);
    QCOMPARE(entries().constFirst(), saved);
    QCOMPARE(entries().size(), 8);
    whenModal([&](QWidget *m) {
        auto *dialog = qobject_cast<QFileDialog *>(m);
        QVERIFY(dialog);
        shownFolder = dialog->directory().absolutePath();
        dialog->reject();
    });
    p.window->MenuOpen_Click();
    QCOMPARE(shownFolder, QDir(other).absolutePath());

    // A recent file that has gone is taken off the list with a note; nothing is asked.
    QVERIFY(QFile::remove(path(9)));
    emit menu->aboutToShow();
    const QString before = p.state.CurrentFileName;
    menu->actions().at(2)->trigger();
    QCOMPARE(p.state.CurrentFileName, before);
    QVERIFY(!entries().contains(path(9)));
    QCOMPARE(entries().size(), 7);
    QVERIFY(p.window->statusBar()->currentMessage().contains(QDir::toNativeSeparators(path(9))));

    // An entry that is still there opens as Open does, with its question.
    emit menu->aboutToShow();
    whenModal([](QWidget *m) { QVERIFY(answerBox(m, QMessageBox::Ok)); });
    menu->actions().at(1)->trigger();
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("f10.rdat"));
    QCOMPARE(entries().constFirst(), path(10));

    // The list outlives the program.
    TestProgram again(1);
    auto *menu2 = again.window->findChild<QMenu *>(QStringLiteral("MenuRecent"));
    emit menu2->aboutToShow();
    QCOMPARE(menu2->actions().size(), 7);
    QCOMPARE(menu2->actions().constFirst()->data().toString(), path(10));
}

void TstChrome::startUpAndDrop_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("opens");
    QTest::newRow("good file") << dataFile(3) << true << true;
    QTest::newRow("cut short") << dataFile(3).left(100) << true << false;
    QTest::newRow("missing") << QByteArray() << false << false;
}

void TstChrome::startUpAndDrop()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, exists);
    QFETCH(bool, opens);
    const QString file = m_files.filePath(QStringLiteral("%1.rdat").arg(QTest::currentDataTag())
                                              .replace(QLatin1Char(' '), QLatin1Char('_')));
    QFile::remove(file);
    if (exists)
        QVERIFY(writeBytes(file, contents));

    // What each way of opening asked and said: the question, then any message.
    struct Seen
    {
        QString question;
        QString message;
        QString fileName;
    };
    // The question is answered OK; a message after it is read and closed.
    auto answerAll = [opens](Seen &seen, QWidget *ignore) {
        whenModal(
            [&seen, opens](QWidget *m) {
                auto *box = qobject_cast<QMessageBox *>(m);
                QVERIFY(box);
                seen.question = box->text();
                if (!opens) {
                    whenModal(
                        [&seen](QWidget *next) {
                            auto *message = qobject_cast<QMessageBox *>(next);
                            QVERIFY(message);
                            seen.message = message->text();
                            message->buttons().constFirst()->click();
                        },
                        box);
                }
                box->button(QMessageBox::Ok)->click();
            },
            ignore);
    };

    Seen viaOpen, viaCommandLine, viaDrop;
    {
        TestProgram p(1);
        whenModal([&](QWidget *m) {
            auto *dialog = qobject_cast<QFileDialog *>(m);
            QVERIFY(dialog);
            // Typed, as a user would: the dialog's list may not have read the folder yet.
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(file);
            if (!exists) {
                // The dialog itself refuses a missing file; Open never sees one.
                dialog->reject();
                return;
            }
            answerAll(viaOpen, dialog);
            static_cast<QDialog *>(dialog)->accept();
        });
        p.window->MenuOpen_Click();
        viaOpen.fileName = p.state.CurrentFileName;
    }
    {
        TestProgram p(1);
        answerAll(viaCommandLine, nullptr);
        p.window->openDataFile(file);
        viaCommandLine.fileName = p.state.CurrentFileName;
    }
    {
        TestProgram p(1);
        // Dropped on a value box: the file opens, its path never lands in the box.
        QLineEdit *box = p.window->formTune()->rows().constFirst()->text();
        const QString boxText = box->text();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        mime.setText(file);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(box, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &drop);
        QVERIFY(drop.isAccepted());
        answerAll(viaDrop, nullptr);
        QTRY_VERIFY(!viaDrop.question.isEmpty() && (opens || !viaDrop.message.isEmpty()));
        viaDrop.fileName = p.state.CurrentFileName;
        if (!opens)
            QCOMPARE(box->text(), boxText);

        // Anything but a data file is refused at the door.
        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(m_files.filePath(QStringLiteral("notes.txt")))});
        QDragEnterEvent other(QPoint(300, 300), Qt::CopyAction, &text, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(p.window.get(), &other);
        QVERIFY(!other.isAccepted());
    }

    QCOMPARE(viaCommandLine.question, QStringLiteral("Do you want to cover current data?"));
    QCOMPARE(viaDrop.question, viaCommandLine.question);
    QCOMPARE(viaDrop.message, viaCommandLine.message);
    QCOMPARE(viaDrop.fileName, viaCommandLine.fileName);
    QCOMPARE(viaCommandLine.fileName,
             opens ? QFileInfo(file).fileName() : QStringLiteral("new.rdat"));
    QCOMPARE(viaCommandLine.message.isEmpty(), opens);
    if (exists) {
        QCOMPARE(viaOpen.question, viaCommandLine.question);
        QCOMPARE(viaOpen.message, viaCommandLine.message);
        QCOMPARE(viaOpen.fileName, viaCommandLine.fileName);
    } else {
        QVERIFY(viaCommandLine.message.contains(QDir::toNativeSeparators(file))
                || viaCommandLine.message.contains(QFileInfo(file).fileName()));
    }
}

void TstChrome::toolbarAndTabOrder_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("English") << true
                             << QStringList{QStringLiteral("New"),     QStringLiteral("Open"),
                                            QStringLiteral("Save"),    QStringLiteral("Read"),
                                            QStringLiteral("Set Com"), QStringLiteral("Write"),
                                            QStringLiteral("Help")};
    QTest::newRow("Chinese") << false
                             << QStringList{QStringLiteral("新建"), QStringLiteral("打开"),
                                            QStringLiteral("保存"), QStringLiteral("读频"),
                                            QStringLiteral("串口设置"), QStringLiteral("写频"),
                                            QStringLiteral("帮助")};
}

void TstChrome::toolbarAndTabOrder()
{
    QFETCH(bool, english);
    QFETCH(QStringList, names);
    TestProgram p(1, english);
    auto *toolbar = p.window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    QStringList spoken;
    for (QAction *a : toolbar->actions()) {
        if (!a->isSeparator())
            spoken << toolbar->widgetForAction(a)->accessibleName();
    }
    QCOMPARE(spoken, names);

    // Within every row Tab runs as the eye does: slider, then its box, then the next row.
    FormTune *tune = p.window->formTune();
    int checked = 0;
    for (TuneValueRow *r : tune->rows()) {
        QSlider *slider = r->slider();
        if (!slider || !r->text()->isVisibleTo(tune))
            continue;
        QCOMPARE(nextTabStop(slider), static_cast<QWidget *>(r->text()));
        QVERIFY(nextTabStop(r->text()) != slider);
        ++checked;
    }
    QVERIFY(checked > 30);
}

void TstChrome::helpAndTree()
{
    TestProgram p(1);
    auto *help = p.window->findChild<QMenu *>(QStringLiteral("MenuHelp"));
    QAction *contents = p.window->findChild<QAction *>(QStringLiteral("HelpKey"));
    QVERIFY(help->actions().contains(contents));
    QCOMPARE(contents->text(), QStringLiteral("&Contents"));
    QCOMPARE(contents->shortcut(), QKeySequence(Qt::Key_F1));

    auto *tree = p.window->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
    auto currentKey = [tree] {
        return tree->currentItem() ? tree->currentItem()->data(0, Qt::UserRole).toString()
                                   : QString();
    };
    QCOMPARE(currentKey(), QStringLiteral("TreeTuneData"));
    p.window->openFormTuneSq();
    QCOMPARE(currentKey(), QStringLiteral("TreeTuneSq"));
    p.window->openFormTune();
    QCOMPARE(currentKey(), QStringLiteral("TreeTuneData"));

    // A language switch rebuilds the tree: its root shows folded, open or not before, and the
    // active window's entry stays the current one.
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QVERIFY(root->isExpanded());
    whenModal([](QWidget *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("ComboLanguage"))->setCurrentIndex(1);
        dialog->findChild<QPushButton *>(QStringLiteral("CommandOK"))->click();
    });
    p.window->SwitchLanguage();
    root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("RQ73电调"));
    QVERIFY(!root->isExpanded());
    QCOMPARE(currentKey(), QStringLiteral("TreeTuneData"));
    QCOMPARE(contents->text(), QStringLiteral("目录(&C)"));
    root->setExpanded(true);
    whenModal([](QWidget *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("ComboLanguage"))->setCurrentIndex(0);
        dialog->findChild<QPushButton *>(QStringLiteral("CommandOK"))->click();
    });
    p.window->SwitchLanguage();
    QVERIFY(!tree->topLevelItem(0)->isExpanded());
    QCOMPARE(currentKey(), QStringLiteral("TreeTuneData"));
}

QTEST_MAIN(TstChrome)
#include "tst_chrome.moc"
