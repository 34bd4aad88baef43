// The File commands New, Open, Save and Save As, driven through the real main window, its real
// file dialog and message boxes, on real files in a temporary folder.

#include "appstate.h"
#include "filesizelimit.h"
#include "formtune.h"
#include "formtunesq.h"
#include "mdiformmain.h"
#include "modalhelper.h"
#include "settingsstore.h"
#include "testdata.h"
#include "testprogram.h"
#include "testsettings.h"
#include "translations.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace {

using namespace TestData;

// The shared program fixture, on the stored COM port.
struct Program : TestProgram
{
    Program()
        : TestProgram(0)
    {
        window->activateWindow();
        QCoreApplication::processEvents();
    }

    void trigger(const QString &action)
    {
        window->findChild<QAction *>(action)->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void chooseChinese()
    {
        ModalScript script({[](QWidget *dialog) {
            dialog->findChild<QComboBox *>(QStringLiteral("ComboLanguage"))->setCurrentIndex(1);
            dialog->findChild<QPushButton *>(QStringLiteral("CommandOK"))->click();
        }});
        window->SwitchLanguage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString title(const QString &fileName) const
    {
        return (state.LanguageIsEnglish ? QStringLiteral("RQ73 Tune[FileName:")
                                        : QStringLiteral("RQ73 Tune[文件名:"))
               + fileName + QLatin1Char(']');
    }

    QMdiSubWindow *tuneSubWindow() const
    {
        return window->formTune()
                   ? qobject_cast<QMdiSubWindow *>(window->formTune()->parentWidget())
                   : nullptr;
    }
};

// Loads a file through Open, as the user does, and checks it worked.
void openThroughMenu(Program &p, const QString &path)
{
    ModalScript script({chooseFile(path), press(QMessageBox::Ok)});
    p.trigger(QStringLiteral("MenuOpen"));
    QVERIFY(script.allAnswered());
    QCOMPARE(script.unexpected(), QStringList());
    QCOMPARE(p.state.CurrentFilePath, path);
}

} // namespace

class TstFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void saveRightAfterStartUp_data();
    void saveRightAfterStartUp();
    void saveCancelledAsksAgain();
    void newKeepsSecondHalfAndSaveAsksBeforeReplacing_data();
    void newKeepsSecondHalfAndSaveAsksBeforeReplacing();
    void openLoadsFileAndReopensTuneWindow_data();
    void openLoadsFileAndReopensTuneWindow();
    void openRejected_data();
    void openRejected();
    void saveFailureKeepsOldFileAndPath_data();
    void saveFailureKeepsOldFileAndPath();
    void saveAsWritesNewFileAndAdoptsIt();
    void allFilesFilterShowsEveryFile();

private:
    QTemporaryDir m_settingsDir;
};

void TstFiles::initTestCase()
{
    QVERIFY(m_settingsDir.isValid());
    isolateSettings(m_settingsDir.path());
}

void TstFiles::init()
{
    SettingsStore::openSettings().clear();
}

void TstFiles::saveRightAfterStartUp_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("dialogTitle");
    QTest::newRow("menu") << "MenuSave" << true << "Save";
    QTest::newRow("toolbar") << "保存" << true << "Save";
    QTest::newRow("toolbar, Chinese") << "保存" << false << QStringLiteral("保存");
}

void TstFiles::saveRightAfterStartUp()
{
    QFETCH(QString, command);
    QFETCH(bool, english);
    QFETCH(QString, dialogTitle);
    QTemporaryDir dir;
    Program p;
    if (!english)
        p.chooseChinese();

    Seen dialog;
    const QString path = dir.filePath(QStringLiteral("first.rdat"));
    {
        // A name typed without extension gets ".rdat".
        ModalScript script({chooseFile(dir.filePath(QStringLiteral("first")), &dialog)});
        p.trigger(command);
        QVERIFY(script.allAnswered());
        QCOMPARE(script.unexpected(), QStringList());
    }
    QCOMPARE(dialog.title, dialogTitle);
    QCOMPARE(dialog.mode, QFileDialog::AcceptSave);
    QCOMPARE(dialog.proposedName, QStringLiteral("new.rdat"));
    QCOMPARE(readBytes(path),
             Header + QByteArray(RadioImage::Size, '\0') + QByteArray::fromHex("05000000"));
    QCOMPARE(p.state.CurrentFilePath, path);
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("first.rdat"));
    QCOMPARE(p.window->windowTitle(), p.title(QStringLiteral("first.rdat")));

    // The path is known now: Save writes the image as it stands, without a dialog.
    p.state.image.WriteImageWord(0, -300);
    p.state.TuneTxTime = 9;
    ModalScript none;
    p.trigger(command);
    QCOMPARE(none.unexpected(), QStringList());
    const QByteArray bytes = readBytes(path);
    QCOMPARE(bytes.size(), 2068);
    QCOMPARE(bytes.mid(16, 4), QByteArray::fromHex("d4feffff"));
    QCOMPARE(bytes.right(4), QByteArray::fromHex("09000000"));
}

void TstFiles::saveCancelledAsksAgain()
{
    QTemporaryDir dir;
    Program p;
    Seen first, second;
    {
        ModalScript script({chooseFile(QString(), &first)});
        p.trigger(QStringLiteral("MenuSave"));
        QVERIFY(script.allAnswered());
    }
    QVERIFY(first.shown);
    QVERIFY(p.state.CurrentFilePath.isEmpty());
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("new.rdat"));
    QVERIFY(QDir(dir.path()).isEmpty());
    {
        ModalScript script({chooseFile(QString(), &second)});
        p.trigger(QStringLiteral("MenuSave"));
        QVERIFY(script.allAnswered());
    }
    QCOMPARE(second.proposedName, QStringLiteral("new.rdat"));
    QCOMPARE(p.window->windowTitle(), p.title(QStringLiteral("new.rdat")));
}

void TstFiles::newKeepsSecondHalfAndSaveAsksBeforeReplacing_data()
{
    QTest::addColumn<int>("lastState");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("last seen maximised") << 2 << true;
    QTest::newRow("last seen normal") << 0 << false;
    QTest::newRow("last seen minimised") << 1 << false;
}

void TstFiles::newKeepsSecondHalfAndSaveAsksBeforeReplacing()
{
    QFETCH(int, lastState);
    QFETCH(bool, maximised);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("radio.rdat"));
    QVERIFY(writeBytes(path, Header + patternImage(11) + QByteArray::fromHex("07000000")));
    Program p;
    openThroughMenu(p, path);
    QVERIFY(p.state.ImageHasSource);

    QMdiSubWindow *sub = p.tuneSubWindow();
    if (lastState == 0)
        sub->showNormal();
    else if (lastState == 1)
        sub->showMinimized();
    QCOMPARE(p.window->ChildWindowState(), lastState);
    p.window->openFormTuneSq();
    QPointer<FormTune> before = p.window->formTune();

    p.trigger(QStringLiteral("新建"));
    QCOMPARE(p.state.image.toByteArray(), QByteArray(1024, '\0') + patternImage(11).mid(1024));
    QCOMPARE(p.state.TuneTxTime, 7);
    QCOMPARE(p.state.CurrentFilePath, path);
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("radio.rdat"));
    QVERIFY(!p.state.ImageHasSource);
    // The tune data window alone, opened afresh in the state last recorded.
    QVERIFY(before.isNull());
    QVERIFY(!p.window->formTuneSq());
    QCOMPARE(p.window->mdiArea()->subWindowList().size(), 1);
    QVERIFY(p.tuneSubWindow());
    QCOMPARE(p.tuneSubWindow()->isMaximized(), maximised);
    QVERIFY(!p.tuneSubWindow()->isMinimized());

    // Save still writes to radio.rdat, without a dialog, once asked whether New's data may
    // replace it.
    ModalScript replace({pressNamed(QStringLiteral("ReplaceButton"))});
    p.trigger(QStringLiteral("MenuSave"));
    QVERIFY(replace.allAnswered());
    QCOMPARE(replace.unexpected(), QStringList());
    QCOMPARE(readBytes(path), Header + QByteArray(1024, '\0') + patternImage(11).mid(1024)
                                  + QByteArray::fromHex("07000000"));
}

void TstFiles::openLoadsFileAndReopensTuneWindow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("dialogTitle");
    QTest::addColumn<QString>("question");
    QTest::newRow("menu") << "MenuOpen" << true << "Open"
                          << "Do you want to cover current data?";
    QTest::newRow("toolbar") << "打开" << true << "Open"
                             << "Do you want to cover current data?";
    QTest::newRow("toolbar, Chinese")
        << "打开" << false << QStringLiteral("打开") << QStringLiteral("覆盖当前数据？");
}

void TstFiles::openLoadsFileAndReopensTuneWindow()
{
    QFETCH(QString, command);
    QFETCH(bool, english);
    QFETCH(QString, dialogTitle);
    QFETCH(QString, question);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("radio7.rdat"));
    QVERIFY(writeBytes(path, Header + patternImage(11) + QByteArray::fromHex("feffffff")));
    Program p;
    if (!english)
        p.chooseChinese();
    p.window->openFormTuneSq();
    QPointer<FormTune> before = p.window->formTune();

    Seen dialog, ask;
    {
        ModalScript script({chooseFile(path, &dialog), press(QMessageBox::Ok, &ask)});
        p.trigger(command);
        QVERIFY(script.allAnswered());
        QCOMPARE(script.unexpected(), QStringList());
    }
    QCOMPARE(dialog.title, dialogTitle);
    QCOMPARE(dialog.mode, QFileDialog::AcceptOpen);
    QCOMPARE(dialog.fileMode, QFileDialog::ExistingFile);
    QCOMPARE(dialog.proposedName, QString());
    QCOMPARE(ask.title, QStringLiteral("RQ73 Tune"));
    QCOMPARE(ask.text, question);
    QCOMPARE(ask.icon, QMessageBox::Warning);
    QCOMPARE(ask.buttons, QMessageBox::Ok | QMessageBox::Cancel);

    QCOMPARE(p.state.image.toByteArray(), patternImage(11));
    QCOMPARE(p.state.TuneTxTime, -2);
    QCOMPARE(p.state.CurrentFilePath, path);
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("radio7.rdat"));
    QVERIFY(p.state.ImageHasSource);
    QCOMPARE(p.window->windowTitle(), p.title(QStringLiteral("radio7.rdat")));
    QVERIFY(before.isNull());
    QVERIFY(!p.window->formTuneSq());
    QCOMPARE(p.window->mdiArea()->subWindowList().size(), 1);
    QVERIFY(p.tuneSubWindow()->isMaximized());
    QCOMPARE(p.window->formTune()->languageIsEnglish(), english);
}

void TstFiles::openRejected_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("confirm");
    // Empty when no message is expected.
    QTest::addColumn<QString>("messageTitle");
    QTest::addColumn<QString>("messageText");
    const QByteArray whole = Header + patternImage(42) + QByteArray::fromHex("01000000");
    QByteArray wrong = whole;
    wrong[3] = '4';
    QTest::newRow("cancelled at the question") << whole << true << false << QString() << QString();
    QTest::newRow("wrong header") << wrong << true << true << "Error"
                                  << "Error file！";
    QTest::newRow("wrong header, Chinese")
        << wrong << false << true << QStringLiteral("错误") << QStringLiteral("错误的文件！");
    QTest::newRow("one byte short") << whole.left(2067) << true << true << "RQ73 Tune"
                                    << "holds 2068 bytes, this one holds 2067";
    QTest::newRow("empty") << QByteArray() << true << true << "RQ73 Tune"
                           << "this one holds 0";
    QTest::newRow("empty, Chinese") << QByteArray() << false << true << "RQ73 Tune"
                                    << QStringLiteral("应有 2068 字节，此文件只有 0 字节");
#ifdef Q_OS_UNIX
    // Nobody writes into the pipe: opening it would wait for ever.
    QTest::newRow("pipe") << QByteArray("<fifo>") << true << true << "RQ73 Tune"
                          << "\"%1\" is not a regular file: it is a pipe, a device or a socket.";
    QTest::newRow("pipe, Chinese") << QByteArray("<fifo>") << false << true << "RQ73 Tune"
                                   << QStringLiteral("“%1”不是普通文件：它是管道、设备或套接字。");
#endif
}

void TstFiles::openRejected()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, english);
    QFETCH(bool, confirm);
    QFETCH(QString, messageTitle);
    QFETCH(QString, messageText);
    QTemporaryDir dir;
    const QString loaded = dir.filePath(QStringLiteral("before.rdat"));
    QVERIFY(writeBytes(loaded, Header + patternImage(200) + QByteArray::fromHex("03000000")));
    const QString rejected = dir.filePath(QStringLiteral("rejected.rdat"));
#ifdef Q_OS_UNIX
    if (content == "<fifo>") {
        QCOMPARE(::mkfifo(QFile::encodeName(rejected).constData(), 0600), 0);
        messageText = messageText.arg(QDir::toNativeSeparators(rejected));
    } else
#endif
        QVERIFY(writeBytes(rejected, content));

    Program p;
    if (!english)
        p.chooseChinese();
    openThroughMenu(p, loaded);
    p.window->openFormTuneSq();
    QPointer<FormTune> tune = p.window->formTune();
    QPointer<FormTuneSq> sq = p.window->formTuneSq();

    Seen message;
    {
        QList<Answer> answers{chooseFile(rejected),
                              press(confirm ? QMessageBox::Ok : QMessageBox::Cancel)};
        if (!messageTitle.isEmpty())
            answers << press(QMessageBox::Ok, &message);
        ModalScript script(answers);
        p.trigger(QStringLiteral("打开"));
        QVERIFY(script.allAnswered());
        QCOMPARE(script.unexpected(), QStringList());
    }
    if (!messageTitle.isEmpty()) {
        QCOMPARE(message.title, messageTitle);
        QVERIFY2(message.text.contains(messageText), qPrintable(message.text));
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.buttons, QMessageBox::Ok);
    }

    QCOMPARE(p.state.image.toByteArray(), patternImage(200));
    QCOMPARE(p.state.TuneTxTime, 3);
    QCOMPARE(p.state.CurrentFilePath, loaded);
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("before.rdat"));
    QCOMPARE(p.window->windowTitle(), p.title(QStringLiteral("before.rdat")));
    QVERIFY(p.state.ImageHasSource);
    // The tune windows were left alone.
    QVERIFY(!tune.isNull());
    QCOMPARE(p.window->formTune(), tune.data());
    QVERIFY(!sq.isNull());
    QCOMPARE(p.window->formTuneSq(), sq.data());
}

void TstFiles::saveFailureKeepsOldFileAndPath_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "missing" << true << "The folder does not exist.";
    QTest::newRow("missing folder, Chinese")
        << "missing" << false << QStringLiteral("文件夹不存在。");
#ifdef Q_OS_UNIX
    QTest::newRow("disk full") << "full" << true << "Writing failed; the disk may be full.";
    QTest::newRow("disk full, Chinese")
        << "full" << false << QStringLiteral("写入失败，磁盘可能已满。");
#endif
}

void TstFiles::saveFailureKeepsOldFileAndPath()
{
    QFETCH(QString, how);
    QFETCH(bool, english);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString loaded = dir.filePath(QStringLiteral("before.rdat"));
    const QByteArray old = Header + patternImage(200) + QByteArray::fromHex("03000000");
    QVERIFY(writeBytes(loaded, old));
    const QString other = dir.filePath(QStringLiteral("other.rdat"));
    QVERIFY(writeBytes(other, old));

    Program p;
    if (!english)
        p.chooseChinese();
    openThroughMenu(p, loaded);
    p.state.image.WriteImageWord(0, 1234);

    // Save As to a file the save fails on.
    const QString target
        = how == QStringLiteral("missing") ? dir.filePath(QStringLiteral("gone/new.rdat")) : other;
    Seen dialog, message;
    {
        QList<Answer> answers{chooseFile(target, &dialog)};
        if (target == other)
            answers << press(QMessageBox::Yes); // replace the existing file
        answers << press(QMessageBox::Ok, &message);
        ModalScript script(answers);
#ifdef Q_OS_UNIX
        std::optional<FileSizeLimit> full;
        if (how == QStringLiteral("full"))
            full.emplace(1000);
#endif
        p.trigger(QStringLiteral("MenuSaveAs"));
        QVERIFY(script.allAnswered());
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'|')));
    }
    QCOMPARE(dialog.title, QStringLiteral("另存为"));
    QCOMPARE(dialog.mode, QFileDialog::AcceptSave);
    QCOMPARE(dialog.proposedName, QString());
    QCOMPARE(message.title, QStringLiteral("RQ73 Tune"));
    QCOMPARE(message.icon, QMessageBox::Critical);
    QVERIFY2(message.text.contains(QDir::toNativeSeparators(target)), qPrintable(message.text));
    QVERIFY2(message.text.contains(reason), qPrintable(message.text));

    QCOMPARE(readBytes(other), old);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList({QStringLiteral("before.rdat"), QStringLiteral("other.rdat")}));
    QCOMPARE(p.state.CurrentFilePath, loaded);
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("before.rdat"));
    QCOMPARE(p.window->windowTitle(), p.title(QStringLiteral("before.rdat")));

    // Save still writes to the file that was loaded, without asking.
    ModalScript none;
    p.trigger(QStringLiteral("MenuSave"));
    QCOMPARE(none.unexpected(), QStringList());
    QCOMPARE(readBytes(loaded).mid(16, 4), QByteArray::fromHex("d2040000"));
}

void TstFiles::saveAsWritesNewFileAndAdoptsIt()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.rdat"));
    const QString second = dir.filePath(QStringLiteral("second.rdat"));
    Program p;
    p.state.image.assign(patternImage(5));
    p.state.TuneTxTime = 0;
    {
        ModalScript script({chooseFile(first)});
        p.trigger(QStringLiteral("MenuSave"));
        QVERIFY(script.allAnswered());
    }
    // Saving over a longer file leaves exactly the data file.
    QVERIFY(writeBytes(second, QByteArray(5000, 'x')));
    Seen replace;
    {
        ModalScript script({chooseFile(second), press(QMessageBox::Yes, &replace)});
        p.trigger(QStringLiteral("MenuSaveAs"));
        QVERIFY(script.allAnswered());
        QCOMPARE(script.unexpected(), QStringList());
    }
    QVERIFY(replace.shown);
    const QByteArray expected = Header + patternImage(5) + QByteArray::fromHex("00000000");
    QCOMPARE(readBytes(second), expected);
    QCOMPARE(readBytes(first), expected);
    QCOMPARE(p.state.CurrentFilePath, second);
    QCOMPARE(p.window->windowTitle(), p.title(QStringLiteral("second.rdat")));

    // A cancelled Save As keeps the file Save writes to.
    {
        ModalScript script({chooseFile(QString())});
        p.trigger(QStringLiteral("MenuSaveAs"));
        QVERIFY(script.allAnswered());
    }
    QCOMPARE(p.state.CurrentFilePath, second);
}

void TstFiles::allFilesFilterShowsEveryFile()
{
    QTemporaryDir dir;
    const QByteArray data = Header + patternImage(77) + QByteArray::fromHex("04000000");
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("noextension")), data));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("a.rdat")), data));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("b.txt")), data));
    Program p;

    QStringList withDataFilter, withAllFilter;
    auto listed = [](QFileDialog *dialog) {
        auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
        QStringList names;
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            names << view->model()->index(row, 0, view->rootIndex()).data().toString();
        names.sort();
        return names;
    };
    auto chooseAllFiles = [](QFileDialog *dialog) {
        auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
    };
    Answer browse = [&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        dialog->setDirectory(dir.path());
        QTRY_COMPARE(listed(dialog), QStringList({QStringLiteral("a.rdat")}));
        withDataFilter = listed(dialog);
        chooseAllFiles(dialog);
        QTRY_COMPARE(listed(dialog).size(), 3);
        withAllFilter = listed(dialog);
        chooseFile(dir.filePath(QStringLiteral("noextension")))(modal);
    };
    {
        ModalScript script({browse, press(QMessageBox::Ok)});
        p.trigger(QStringLiteral("MenuOpen"));
        QVERIFY(script.allAnswered());
        QCOMPARE(script.unexpected(), QStringList());
    }
    QCOMPARE(withAllFilter, QStringList({"a.rdat", "b.txt", "noextension"}));
    QCOMPARE(p.state.image.toByteArray(), patternImage(77));
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("noextension"));

    // In a save dialog the proposed name keeps its extension when all files are listed.
    p.trigger(QStringLiteral("MenuNew"));
    p.state.CurrentFilePath.clear();
    p.state.CurrentFileName = QStringLiteral("new.rdat");
    QString nameAfterSwitch;
    Answer save = [&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        dialog->setDirectory(dir.path());
        chooseAllFiles(dialog);
        QTRY_COMPARE(listed(dialog).size(), 3);
        nameAfterSwitch = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        acceptLater(dialog);
    };
    {
        ModalScript script({save});
        p.trigger(QStringLiteral("MenuSave"));
        QVERIFY(script.allAnswered());
        QCOMPARE(script.unexpected(), QStringList());
    }
    QCOMPARE(nameAfterSwitch, QStringLiteral("new.rdat"));
    QCOMPARE(p.state.CurrentFilePath, dir.filePath(QStringLiteral("new.rdat")));
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("new.rdat"))).size(), 2068);
}

QTEST_MAIN(TstFiles)
#include "tst_files.moc"
