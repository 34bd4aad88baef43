#include "appstate.h"
#include "backupstore.h"
#include "datafile.h"
#include "formbackups.h"
#include "formcompare.h"
#include "formtune.h"
#include "formtunesq.h"
#include "imagecompare.h"
#include "imagesession.h"
#include "mdiformmain.h"
#include "modalhelper.h"
#include "radioimage.h"
#include "savelogbutton.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "testdata.h"
#include "testprogram.h"
#include "testsettings.h"
#include "translations.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

constexpr int RadioPort = 4;
constexpr int MissingPort = 5;

// A fresh program talking to COM port RadioPort, its backups in a folder of the test's own.
struct Program : TestProgram
{
    explicit Program(const QString &backupFolder, bool english = true)
        : TestProgram(RadioPort, english, [&](MDIFormMain &w) { w.setBackupFolder(backupFolder); })
    {}

    // The program's notes have a panel of their own, beside the four that stay in view.
    QString statusMessage() const
    {
        return window->statusBar()->findChild<QLabel *>(QStringLiteral("NotePanel"))->text();
    }
};

QByteArray patternMemory()
{
    return TestData::patternBytes(53, 7);
}

bool resultShown(QWidget *process)
{
    return process->findChild<QLineEdit *>(QStringLiteral("TextShow"))->isVisibleTo(process);
}

// Waits for the transfer window to show its result, hands it to look, then closes it.
void closeProcessWhenDone(std::function<void(QWidget *)> look = {}, QWidget *ignore = nullptr)
{
    whenModal(
        [look](QWidget *process) {
            (void)QTest::qWaitFor([&] { return resultShown(process); }, 30000);
            if (look)
                look(process);
            process->close();
        },
        ignore);
}

// Answers the tune windows' question with OK, closes the transfer window once done and the
// success message with OK.
void answerButtonRead()
{
    whenModal([](QWidget *modal) {
        auto *ask = qobject_cast<QMessageBox *>(modal);
        QVERIFY(ask);
        whenModal(
            [](QWidget *process) {
                (void)QTest::qWaitFor([&] { return resultShown(process); }, 30000);
                whenModal(
                    [](QWidget *done) {
                        qobject_cast<QMessageBox *>(done)->button(QMessageBox::Ok)->click();
                    },
                    process);
                process->close();
            },
            ask);
        ask->button(QMessageBox::Ok)->click();
    });
}

// Verify's two windows: the transfer window, closed once done, then the result.
void answerVerify(std::function<void(QWidget *)> lookAtProcess,
                  std::function<void(FormCompare *)> lookAtResult)
{
    closeProcessWhenDone([lookAtProcess, lookAtResult](QWidget *process) {
        if (lookAtProcess)
            lookAtProcess(process);
        whenModal(
            [lookAtResult](QWidget *modal) {
                auto *form = qobject_cast<FormCompare *>(modal);
                QVERIFY(form);
                lookAtResult(form);
                form->accept();
            },
            process);
    });
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.rdat")}, QDir::Files, QDir::Name);
}

QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QDateTime at(int second, int ms = 0)
{
    return QDateTime(QDate(2026, 12, 10), QTime(14, 15, second, ms));
}

} // namespace

class TstSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { ModalHelper::verifyAllAnswered(); }

    // The backup folder's rules, on real files.
    void backupNames_data();
    void backupNames();
    void backupNeverOverwrites();
    void backupCapRemovesOldestOnly();
    void storedLimit_data();
    void storedLimit();
    void backupFolderUnwritable();

    // Backups through the program, against the simulated radio.
    void backupAfterEachRead_data();
    void backupAfterEachRead();
    void noBackupAfterFailedRead_data();
    void noBackupAfterFailedRead();
    void failedBackupKeepsRead();
    void backupsWindowListsAndOpens();
    void backupsWindowShowsFolder();
    void saveOverOtherData_data();
    void saveOverOtherData();
    void safeWrite_data();
    void safeWrite();

    // Naming and comparing.
    void wordNames_data();
    void wordNames();
    void differencesAreWordByWord();
    void compareNamesBothWindows_data();
    void compareNamesBothWindows();
    void compareUnreadableFileChangesNothing();

    // Verify.
    void verifyFindsChangedWord();
    void verifyIdentical();
    void verifyCoversWhatTheReadCovers();

    // The transfer log.
    void logFileEqualsList();

    // Texts and names of the new windows.
    void windowsNameEveryControl_data();
    void windowsNameEveryControl();

private:
    QString backupFolder() const { return m_dir.filePath(QStringLiteral("backups")); }

    QTemporaryDir m_dir;
};

void TstSafety::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
}

void TstSafety::init()
{
    SettingsStore::openSettings().clear();
    QDir(backupFolder()).removeRecursively();
}

void TstSafety::backupNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ours");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("sequence");
    const int full = int(BackupStore::Kind::FullRead);
    const int squelch = int(BackupStore::Kind::SquelchRead);
    QTest::newRow("full") << "2026-12-10_14-15-07-042_full-read.rdat" << true << full << 1;
    QTest::newRow("squelch") << "2026-12-10_14-15-07-042_squelch-read.rdat" << true << squelch << 1;
    QTest::newRow("second") << "2026-12-10_14-15-07-042_full-read_2.rdat" << true << full << 2;
    QTest::newRow("user file") << "my radio.rdat" << false << full << 0;
    QTest::newRow("other kind") << "2026-12-10_14-15-07-042_write.rdat" << false << full << 0;
    QTest::newRow("other suffix") << "2026-12-10_14-15-07-042_full-read.txt" << false << full << 0;
    QTest::newRow("sequence one") << "2026-12-10_14-15-07-042_full-read_1.rdat" << false << full
                                  << 0;
    QTest::newRow("no such day") << "2026-02-30_14-15-07-042_full-read.rdat" << false << full << 0;
}

void TstSafety::backupNames()
{
    QFETCH(QString, name);
    QFETCH(bool, ours);
    QFETCH(int, kind);
    QFETCH(int, sequence);
    const std::optional<BackupStore::Entry> entry = BackupStore::parse(name);
    QCOMPARE(entry.has_value(), ours);
    if (!ours)
        return;
    QCOMPARE(entry->taken, at(7, 42));
    QCOMPARE(static_cast<int>(entry->kind), kind);
    QCOMPARE(entry->sequence, sequence);
    QCOMPARE(BackupStore::fileName(entry->taken, entry->kind, entry->sequence), name);
}

void TstSafety::backupNeverOverwrites()
{
    const BackupStore store(backupFolder());
    RadioImage first, second;
    first.WriteImageWord(0, 11);
    second.WriteImageWord(0, 22);
    const BackupStore::SaveResult a = store.save(first, 5, BackupStore::Kind::FullRead, at(1), 200);
    const BackupStore::SaveResult b
        = store.save(second, 7, BackupStore::Kind::FullRead, at(1), 200);
    QVERIFY(a.ok());
    QVERIFY(b.ok());
    QVERIFY(a.path != b.path);
    QCOMPARE(filesIn(backupFolder()), QStringList({"2026-12-10_14-15-01-000_full-read.rdat",
                                                   "2026-12-10_14-15-01-000_full-read_2.rdat"}));

    // The first file still holds the first image, byte for byte.
    QFile file(a.path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 2068);
    QCOMPARE(bytes.left(20), QByteArray("RQ73 DT Ver1.0.7") + QByteArray::fromHex("0b000000"));
    QCOMPARE(bytes.right(4), QByteArray::fromHex("05000000"));
    QCOMPARE(store.entries().size(), 2);
    QCOMPARE(store.entries().first().path, b.path);
}

void TstSafety::backupCapRemovesOldestOnly()
{
    QVERIFY(QDir().mkpath(backupFolder()));
    // Files the technician put there are neither counted nor removed.
    const QString own = backupFolder() + QStringLiteral("/before repair.rdat");
    QFile mine(own);
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.write("kept");
    mine.close();

    const BackupStore store(backupFolder());
    RadioImage image;
    QStringList removed;
    for (int s = 0; s < 5; ++s) {
        const auto kind = s % 2 ? BackupStore::Kind::SquelchRead : BackupStore::Kind::FullRead;
        const BackupStore::SaveResult r = store.save(image, 5, kind, at(10 + s), 3);
        QVERIFY(r.ok());
        removed += r.removed;
    }
    QCOMPARE(removed.size(), 2);
    QVERIFY(removed.first().endsWith(QStringLiteral("14-15-10-000_full-read.rdat")));
    QVERIFY(removed.last().endsWith(QStringLiteral("14-15-11-000_squelch-read.rdat")));
    QCOMPARE(filesIn(backupFolder()),
             QStringList({"2026-12-10_14-15-12-000_full-read.rdat",
                          "2026-12-10_14-15-13-000_squelch-read.rdat",
                          "2026-12-10_14-15-14-000_full-read.rdat", "before repair.rdat"}));
    const QList<BackupStore::Entry> entries = store.entries();
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(0).taken, at(14));
    QCOMPARE(entries.at(2).taken, at(12));
    QCOMPARE(entries.at(1).kind, BackupStore::Kind::SquelchRead);
    QCOMPARE(entries.at(1).size, 2068);
}

void TstSafety::storedLimit_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("limit");
    QTest::newRow("nothing") << QString() << 200;
    QTest::newRow("ten") << "10" << 10;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("zero") << "0" << 200;
    QTest::newRow("negative") << "-4" << 200;
    QTest::newRow("text") << "many" << 200;
}

void TstSafety::storedLimit()
{
    QFETCH(QString, stored);
    QFETCH(int, limit);
    if (!stored.isNull())
        QVERIFY(SettingsStore::WriteRegistryText(QStringLiteral("BackupLimit"), stored));
    QCOMPARE(BackupStore::storedLimit(), limit);
}

void TstSafety::backupFolderUnwritable()
{
    // A file where the folder should be: the folder cannot be made.
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const BackupStore store(blocker + QStringLiteral("/backups"));
    const BackupStore::SaveResult r
        = store.save(RadioImage(), 5, BackupStore::Kind::FullRead, at(1), 200);
    QVERIFY(!r.ok());
    QVERIFY(!r.errorText.isEmpty());
    QVERIFY(store.entries().isEmpty());
}

void TstSafety::backupAfterEachRead_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kind");
    QTest::newRow("menu") << "menu"
                          << "full-read";
    QTest::newRow("toolbar") << "toolbar"
                             << "full-read";
    QTest::newRow("tune data window") << "tune"
                                      << "full-read";
    QTest::newRow("squelch window") << "squelch"
                                    << "squelch-read";
}

void TstSafety::backupAfterEachRead()
{
    QFETCH(QString, command);
    QFETCH(QString, kind);
    SimulatedRadio radio;
    radio.memory() = patternMemory();
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p(backupFolder());
    p.state.TuneTxTime = 9;

    // The backup is there while the transfer window still shows its result.
    qsizetype whileOpen = -1;
    auto countBackups = [&](QWidget *) { whileOpen = filesIn(backupFolder()).size(); };
    if (command == QStringLiteral("menu")) {
        closeProcessWhenDone(countBackups);
        p.window->findChild<QAction *>(QStringLiteral("MenuRead"))->trigger();
    } else if (command == QStringLiteral("toolbar")) {
        closeProcessWhenDone(countBackups);
        p.window->findChild<QAction *>(QStringLiteral("读取"))->trigger();
    } else if (command == QStringLiteral("tune")) {
        p.window->openFormTune();
        answerButtonRead();
        p.window->formTune()->findChild<QPushButton *>(QStringLiteral("CommandRead"))->click();
    } else {
        p.window->openFormTuneSq();
        answerButtonRead();
        p.window->formTuneSq()->findChild<QPushButton *>(QStringLiteral("CommandRead"))->click();
    }
    QVERIFY(p.state.TransferSucceeded);
    if (whileOpen >= 0)
        QCOMPARE(whileOpen, 1);

    const QStringList names = filesIn(backupFolder());
    QCOMPARE(names.size(), 1);
    QVERIFY2(names.first().endsWith(QStringLiteral("_") + kind + QStringLiteral(".rdat")),
             qPrintable(names.first()));
    QCOMPARE(p.statusMessage(), QStringLiteral("Backup saved: ") + names.first());

    // The backup holds the image the read produced, with the transmit time.
    RadioImage saved;
    std::int32_t txTime = 0;
    QVERIFY(ReadFromFile(backupFolder() + QLatin1Char('/') + names.first(), saved, txTime).ok());
    QCOMPARE(txTime, 9);
    QVERIFY(saved == p.state.image);
    QCOMPARE(saved.ReadImageWord(200), radio.memoryWord(200));
    QVERIFY(radio.memoryWord(200) != 0);
}

void TstSafety::noBackupAfterFailedRead_data()
{
    QTest::addColumn<bool>("portMissing");
    QTest::newRow("port missing") << true;
    QTest::newRow("window closed midway") << false;
}

void TstSafety::noBackupAfterFailedRead()
{
    QFETCH(bool, portMissing);
    SimulatedRadio radio;
    radio.memory() = patternMemory();
    radio.setPaced(true);
    QVERIFY(radio.registerAsComPort(RadioPort));
    SettingsStore::openSettings().setValue(QStringLiteral("Ports/COM%1").arg(MissingPort),
                                           QStringLiteral("/nonexistent/rq73-safety-port"));
    Program p(backupFolder());
    if (portMissing) {
        p.state.ComPortNumber = MissingPort;
        // The port's message comes up over the transfer window as soon as it shows.
        whenModal([](QWidget *box) {
            QCOMPARE(box->objectName(), QStringLiteral("PortOpenFailure"));
            whenModal([](QWidget *process) { process->close(); });
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
        });
    } else {
        whenModal([&radio](QWidget *process) {
            (void)QTest::qWaitFor([&] { return radio.requests().size() == 3; }, 10000);
            process->close();
        });
    }
    p.window->MenuRead_Click();
    QVERIFY(!p.state.TransferSucceeded);
    QVERIFY(filesIn(backupFolder()).isEmpty());
    QVERIFY(p.statusMessage().isEmpty());
}

void TstSafety::failedBackupKeepsRead()
{
    SimulatedRadio radio;
    radio.memory() = patternMemory();
    QVERIFY(radio.registerAsComPort(RadioPort));
    const QString blocker = m_dir.filePath(QStringLiteral("not-a-folder"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    Program p(blocker + QStringLiteral("/backups"));

    p.window->openFormTune();
    QString success;
    whenModal([&success](QWidget *modal) {
        auto *ask = qobject_cast<QMessageBox *>(modal);
        whenModal(
            [&success](QWidget *process) {
                (void)QTest::qWaitFor([&] { return resultShown(process); }, 30000);
                whenModal(
                    [&success](QWidget *done) {
                        auto *box = qobject_cast<QMessageBox *>(done);
                        success = box->text();
                        box->button(QMessageBox::Ok)->click();
                    },
                    process);
                process->close();
            },
            ask);
        ask->button(QMessageBox::Ok)->click();
    });
    p.window->formTune()->CommandRead_Click();
    // The read is reported as the success it was; the backup's failure shows in the status bar.
    QVERIFY(p.state.TransferSucceeded);
    QVERIFY(!success.isEmpty());
    QCOMPARE(p.state.image.ReadImageWord(20), radio.memoryWord(20));
    QVERIFY2(p.statusMessage().startsWith(QStringLiteral("Backup not saved: ")),
             qPrintable(p.statusMessage()));
    QVERIFY(p.statusMessage().size() > QStringLiteral("Backup not saved: ").size());
}

void TstSafety::backupsWindowListsAndOpens()
{
    const BackupStore store(backupFolder());
    for (int s = 0; s < 3; ++s) {
        RadioImage image;
        image.WriteImageWord(0, 100 + s);
        const auto kind = s == 1 ? BackupStore::Kind::SquelchRead : BackupStore::Kind::FullRead;
        QVERIFY(store.save(image, 2 + s, kind, at(30 + s), 200).ok());
    }
    Program p(backupFolder());
    p.state.CurrentFileName = QStringLiteral("radio.rdat");
    p.state.CurrentFilePath = m_dir.filePath(QStringLiteral("radio.rdat"));

    QStringList dates, kinds, sizes;
    whenModal([&](QWidget *modal) {
        auto *form = qobject_cast<FormBackups *>(modal);
        QVERIFY(form);
        auto *list = form->findChild<QTreeWidget *>(QStringLiteral("ListBackups"));
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            dates << list->topLevelItem(i)->text(0);
            kinds << list->topLevelItem(i)->text(1);
            sizes << list->topLevelItem(i)->text(2);
        }
        list->setCurrentItem(list->topLevelItem(1));
        whenModal(
            [](QWidget *ask) {
                QCOMPARE(ask->objectName(), QStringLiteral("CoverQuestion"));
                qobject_cast<QMessageBox *>(ask)->button(QMessageBox::Ok)->click();
            },
            form);
        form->findChild<QPushButton *>(QStringLiteral("CommandOpen"))->click();
    });
    p.window->MenuBackups_Click();

    QCOMPARE(dates,
             QStringList({"2026-12-10 14:15:32", "2026-12-10 14:15:31", "2026-12-10 14:15:30"}));
    QCOMPARE(kinds, QStringList({"Full read", "Squelch read", "Full read"}));
    QCOMPARE(sizes, QStringList(3, QStringLiteral("2068 bytes")));
    // The second newest was opened; the next Save asks for a name instead of writing over it.
    QCOMPARE(p.state.image.ReadImageWord(0), 101);
    QCOMPARE(p.state.TuneTxTime, 3);
    QVERIFY(p.state.ImageHasSource);
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("2026-12-10_14-15-31-000_squelch-read.rdat"));
    QVERIFY(p.state.CurrentFilePath.isEmpty());
    QVERIFY(p.window->windowTitle().contains(p.state.CurrentFileName));
}

// Save writes to the file last opened or saved. When the image no longer holds that file's data,
// it asks first, naming both, and keeps a copy of what it replaces.
void TstSafety::saveOverOtherData_data()
{
    QTest::addColumn<QString>("before");  // what happened after the file was opened
    QTest::addColumn<QString>("question"); // empty: Save asks nothing
    QTest::addColumn<QString>("answer");   // the button pressed

    const QString read = QStringLiteral("Replace radio1.rdat with the data read from the radio?");
    const QString fresh = QStringLiteral("Replace radio1.rdat with the empty data of New?");
    QTest::newRow("opened") << "nothing" << QString() << QString();
    QTest::newRow("Open cancelled") << "cancelled open" << QString() << QString();
    for (const char *answer : {"ReplaceButton", "SaveAsButton", "cancel"}) {
        QTest::addRow("New, %s", answer) << "new" << fresh << answer;
        QTest::addRow("full read, %s", answer) << "read" << read << answer;
    }
    QTest::newRow("squelch read, Replace") << "squelch read" << read << "ReplaceButton";
    QTest::newRow("full read, Replace, Chinese")
        << "read" << QStringLiteral("用从对讲机读取的数据替换 radio1.rdat？") << "ReplaceButton";
    QTest::newRow("read cut short, Replace") << "partial read" << read << "ReplaceButton";
}

void TstSafety::saveOverOtherData()
{
    QFETCH(QString, before);
    QFETCH(QString, question);
    QFETCH(QString, answer);
    SimulatedRadio radio;
    radio.memory() = patternMemory();
    radio.setPaced(before == QStringLiteral("partial read"));
    QVERIFY(radio.registerAsComPort(RadioPort));

    const QString path = m_dir.filePath(QStringLiteral("radio1.rdat"));
    const QString other = m_dir.filePath(QStringLiteral("other.rdat"));
    QFile::remove(path);
    QFile::remove(other);
    RadioImage original;
    for (int w = 0; w < RadioImage::WordCount; ++w)
        original.WriteImageWord(w, 5000 + w);
    QVERIFY(WriteToFile(path, original, 3).ok());
    const QByteArray originalBytes = DataFile::encode(original, 3);

    Program p(backupFolder(), !QByteArray(QTest::currentDataTag()).endsWith("Chinese"));
    {
        ModalScript script({chooseFile(path), press(QMessageBox::Ok)});
        p.window->findChild<QAction *>(QStringLiteral("MenuOpen"))->trigger();
        QVERIFY(script.allAnswered());
    }
    if (before == QStringLiteral("cancelled open")) {
        ModalScript script({chooseFile(other), press(QMessageBox::Cancel)});
        QVERIFY(WriteToFile(other, RadioImage(), 5).ok());
        p.window->findChild<QAction *>(QStringLiteral("MenuOpen"))->trigger();
        QVERIFY(script.allAnswered());
        QFile::remove(other);
    } else if (before == QStringLiteral("new")) {
        p.window->findChild<QAction *>(QStringLiteral("MenuNew"))->trigger();
    } else if (before == QStringLiteral("read")) {
        closeProcessWhenDone();
        p.window->MenuRead_Click();
        QVERIFY(p.state.TransferSucceeded);
    } else if (before == QStringLiteral("squelch read")) {
        p.window->openFormTuneSq();
        answerButtonRead();
        p.window->formTuneSq()->findChild<QPushButton *>(QStringLiteral("CommandRead"))->click();
        QVERIFY(p.state.TransferSucceeded);
    } else if (before == QStringLiteral("partial read")) {
        whenModal([&radio](QWidget *process) {
            (void)QTest::qWaitFor([&] { return radio.requests().size() == 3; }, 10000);
            process->close();
        });
        p.window->MenuRead_Click();
        QVERIFY(!p.state.TransferSucceeded);
    }
    ModalHelper::verifyAllAnswered();
    const QByteArray shown = DataFile::encode(p.state.image, p.state.TuneTxTime);
    const QStringList backupsBefore = filesIn(backupFolder());

    Seen seen;
    ModalScript script;
    if (!question.isEmpty()) {
        Answer reply = answer == QStringLiteral("cancel") ? press(QMessageBox::Cancel, &seen)
                                                          : pressNamed(answer, &seen);
        // RQ73_SHOT_DIR=folder keeps a picture of the question for a look by eye.
        if (const QString shots = qEnvironmentVariable("RQ73_SHOT_DIR"); !shots.isEmpty())
            reply = [reply, shots](QWidget *box) {
                box->grab().save(QDir(shots).filePath(QStringLiteral("replace-%1.png")
                                                          .arg(QString::fromLatin1(
                                                              QTest::currentDataTag()))));
                reply(box);
            };
        script.expect(reply);
        if (answer == QStringLiteral("SaveAsButton"))
            script.expect(chooseFile(other));
    }
    p.window->findChild<QAction *>(QStringLiteral("MenuSave"))->trigger();
    QVERIFY(script.allAnswered());
    QCOMPARE(script.unexpected(), QStringList());
    QCOMPARE(seen.text, question);
    if (!question.isEmpty())
        QCOMPARE(seen.objectName, QStringLiteral("ReplaceFile"));

    const bool replaced = question.isEmpty() || answer == QStringLiteral("ReplaceButton");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), replaced ? shown : originalBytes);
    QFile otherFile(other);
    QCOMPARE(otherFile.exists(), answer == QStringLiteral("SaveAsButton"));
    if (otherFile.exists()) {
        QVERIFY(otherFile.open(QIODevice::ReadOnly));
        QCOMPARE(otherFile.readAll(), shown);
        QCOMPARE(p.state.CurrentFileName, QStringLiteral("other.rdat"));
    }

    // The file replaced with other data is in the backups folder as it was, byte for byte.
    QStringList added = filesIn(backupFolder());
    for (const QString &name : backupsBefore)
        added.removeAll(name);
    if (question.isEmpty() || !replaced) {
        QCOMPARE(added, QStringList());
        return;
    }
    QCOMPARE(added.size(), 1);
    QVERIFY2(added.first().endsWith(QStringLiteral("_replaced-file.rdat")), qPrintable(added.first()));
    QFile copy(backupFolder() + QLatin1Char('/') + added.first());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), originalBytes);
    if (p.state.LanguageIsEnglish)
        QCOMPARE(p.statusMessage(), QStringLiteral("Backup saved: ") + added.first());

    // Saved, the image is that file's data again: the next Save asks nothing.
    ModalScript none;
    p.window->findChild<QAction *>(QStringLiteral("MenuSave"))->trigger();
    QCOMPARE(none.unexpected(), QStringList());
    QCOMPARE(filesIn(backupFolder()).size(), backupsBefore.size() + 1);
}

// A write, by default: the radio is read and kept as a backup, the changes are shown, and only
// on Write is it written and read back. The bytes the radio received are the assertion.
void TstSafety::safeWrite_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("write");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("requests"); // operation per request: r read, w write

    const QString full12 = QString(12, QLatin1Char('r'));
    const QStringList both{
        QStringLiteral("Frequency Adjust: 100 → -7   [keys the transmitter]"),
        QStringLiteral("PA Mic Deviation: 101 → 9"),
        QStringLiteral("SQ level 6 SQ On: 102 → 44"),
    };
    QTest::newRow("menu, Write") << "menu" << true << both
                                 << full12 + QString(12, QLatin1Char('w')) + full12;
    QTest::newRow("menu, Cancel") << "menu" << false << both << full12;
    QTest::newRow("Write TuneData") << "tune" << true << both.mid(0, 2)
                                    << full12 + QStringLiteral("wwwww") + full12;
    QTest::newRow("squelch window") << "squelch" << true << both.mid(2)
                                    << QStringLiteral("rrrrrwwwwwrrrrr");
    QTest::newRow("menu, Write, Chinese")
        << "menu" << true
        << QStringList{QStringLiteral("频率校准：100 → -7   [使发射机发射]"),
                       QStringLiteral("PA Mic灵敏度：101 → 9"),
                       QStringLiteral("SQ 等级 6 SQ开启：102 → 44")}
        << full12 + QString(12, QLatin1Char('w')) + full12;
}

void TstSafety::safeWrite()
{
    QFETCH(QString, entry);
    QFETCH(bool, write);
    QFETCH(QStringList, lines);
    QFETCH(QString, requests);

    SimulatedRadio radio;
    radio.memory() = QByteArray(SimulatedRadio::MemorySize, '\0');
    radio.setMemoryWord(0, 100);
    radio.setMemoryWord(75, 101);
    radio.setMemoryWord(168, 102);
    QVERIFY(radio.registerAsComPort(RadioPort));
    const QByteArray radioBefore = radio.memory();
    const qint32 before[] = {100, 101, 102};

    // A file whose values differ from the radio's in three words, one of which keys.
    RadioImage image;
    image.WriteImageWord(0, -7);
    image.WriteImageWord(75, 9);
    image.WriteImageWord(168, 44);
    const QString path = m_dir.filePath(QStringLiteral("new.rdat"));
    QVERIFY(WriteToFile(path, image, 5).ok());
    const bool english = !QByteArray(QTest::currentDataTag()).endsWith("Chinese");
    Program p(backupFolder(), english);
    {
        ModalScript script({chooseFile(path), press(QMessageBox::Ok)});
        p.window->findChild<QAction *>(QStringLiteral("MenuOpen"))->trigger();
        QVERIFY(script.allAnswered());
    }
    QVERIFY(ImageSession::safeWriteEnabled());

    QString summary, backupNote, report, reportName;
    QStringList shown;
    ModalScript script;
    script.expect([&](QWidget *modal) {
        QCOMPARE(modal->objectName(), QStringLiteral("FormWritePreview"));
        summary = modal->findChild<QLabel *>(QStringLiteral("LabelSummary"))->text();
        backupNote = modal->findChild<QLabel *>(QStringLiteral("LabelBackup"))->text();
        auto *list = modal->findChild<QListWidget *>(QStringLiteral("ListChanges"));
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        // RQ73_SHOT_DIR=folder keeps a picture of the preview for a look by eye.
        if (const QString shots = qEnvironmentVariable("RQ73_SHOT_DIR"); !shots.isEmpty())
            modal->grab().save(QDir(shots).filePath(
                QStringLiteral("preview-%1.png").arg(QString::fromLatin1(QTest::currentDataTag()))));
        modal->findChild<QPushButton *>(write ? QStringLiteral("CommandWrite")
                                              : QStringLiteral("CommandCancel"))
            ->click();
    });
    if (write) {
        script.expect([&](QWidget *modal) {
            reportName = modal->objectName();
            report = qobject_cast<QMessageBox *>(modal)->text();
            qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Ok)->click();
        });
    }
    if (entry == QStringLiteral("menu")) {
        p.window->findChild<QAction *>(QStringLiteral("MenuWrite"))->trigger();
    } else if (entry == QStringLiteral("tune")) {
        p.window->openFormTune();
        p.window->formTune()->findChild<QPushButton *>(QStringLiteral("CommandWrite"))->click();
    } else {
        p.window->openFormTuneSq();
        p.window->formTuneSq()->findChild<QPushButton *>(QStringLiteral("CommandWrite"))->click();
    }
    QVERIFY(script.allAnswered());
    QCOMPARE(script.unexpected(), QStringList());

    QString operations;
    for (const SimulatedRadio::Request &r : radio.requests())
        operations += r.operation == 4 ? QLatin1Char('r') : QLatin1Char('w');
    QCOMPARE(operations, requests);
    QCOMPARE(shown, lines);
    QCOMPARE(summary, english ? QStringLiteral("The write changes %1 value(s) in the radio.")
                                    .arg(lines.size())
                              : QStringLiteral("本次写入将改变对讲机中的 %1 个值。").arg(lines.size()));
    if (!english)
        return;

    // The radio's data before the write, in the backups folder and named in the preview.
    const QStringList backups = filesIn(backupFolder());
    QCOMPARE(backups.size(), 1);
    QVERIFY2(backups.first().endsWith(QStringLiteral("_before-write.rdat")),
             qPrintable(backups.first()));
    QCOMPARE(backupNote, QStringLiteral("The radio's data as it is now is kept in the backup %1.")
                             .arg(backups.first()));
    RadioImage kept;
    std::int32_t tx = 0;
    QVERIFY(ReadFromFile(backupFolder() + QLatin1Char('/') + backups.first(), kept, tx).ok());
    // A squelch write reads only the squelch table first.
    const bool squelchOnly = entry == QStringLiteral("squelch");
    QCOMPARE(kept.ReadImageWord(0), squelchOnly ? 0 : before[0]);
    QCOMPARE(kept.ReadImageWord(75), squelchOnly ? 0 : before[1]);
    QCOMPARE(kept.ReadImageWord(168), before[2]);

    if (!write) {
        QCOMPARE(radio.memory(), radioBefore);
        return;
    }
    QCOMPARE(reportName, QStringLiteral("SafeWriteDone"));
    QCOMPARE(report, QStringLiteral("Written and checked: the radio holds every value of this "
                                    "write.\n\nThe radio's data before the write is in the backup "
                                    "%1.")
                         .arg(backups.first()));
    QCOMPARE(radio.memoryWord(0), entry == QStringLiteral("squelch") ? 100 : -7);
    QCOMPARE(radio.memoryWord(168), entry == QStringLiteral("tune") ? 102 : 44);
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

void TstSafety::backupsWindowShowsFolder()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    Program p(backupFolder());
    whenModal([](QWidget *modal) {
        auto *form = qobject_cast<FormBackups *>(modal);
        QVERIFY(!form->findChild<QPushButton *>(QStringLiteral("CommandOpen"))->isEnabled());
        form->findChild<QPushButton *>(QStringLiteral("CommandFolder"))->click();
        form->reject();
    });
    p.window->MenuBackups_Click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.urls, QList<QUrl>({QUrl::fromLocalFile(backupFolder())}));
    QVERIFY(QFileInfo(backupFolder()).isDir());
    QVERIFY(p.state.CurrentFilePath.isEmpty());
}

void TstSafety::wordNames_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");
    QTest::newRow("frequency") << 0 << "Frequency Adjust"
                               << "频率校准";
    QTest::newRow("usb power") << 90 << "USB Mid Band High Power"
                               << "USB 中频段高功率";
    QTest::newRow("usb deviation") << 91 << "USB Mid Band High Power Tx Deviation"
                                   << "USB 中频段高功率 发射频偏";
    QTest::newRow("fm power") << 16 << "FM Low Band Low Power"
                              << "FM 低频段低功率";
    QTest::newRow("volume") << 76 << "USB Volume"
                            << "USB喇叭音量";
    QTest::newRow("fm asq") << 129 << "FM level 1 ASQ Off"
                            << "FM 等级 1 ASQ关闭";
    QTest::newRow("sq level") << 169 << "SQ level 6 SQ Off"
                              << "SQ 等级 6 SQ关闭";
    QTest::newRow("sq1 on") << 158 << "SQ level 1 SQ On"
                            << "SQ 等级 1 SQ开启";
    QTest::newRow("am level") << 274 << "AM level 15 ASQ On"
                              << "AM 等级 15 ASQ开启";
    QTest::newRow("am reference") << 276 << "AM reference ASQ On"
                                  << "AM 参考 ASQ开启";
    QTest::newRow("fm reference") << 279 << "FM reference ASQ Off"
                                  << "FM 参考 ASQ关闭";
    QTest::newRow("gap") << 5 << ""
                         << "";
    QTest::newRow("beyond the windows") << 300 << ""
                                        << "";
}

void TstSafety::wordNames()
{
    QFETCH(int, word);
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    Translations translations;
    translations.apply(true);
    QCOMPARE(ImageCompare::wordName(word), english);
    translations.apply(false);
    QCOMPARE(ImageCompare::wordName(word), chinese);
    translations.apply(true);
}

void TstSafety::differencesAreWordByWord()
{
    RadioImage a, b;
    b.WriteImageWord(0, -3);
    b.WriteImageWord(300, 5);
    b.WriteImageWord(511, 0x7FFFFFFF);
    a.WriteImageWord(10, 1);
    b.WriteImageWord(10, 1);
    using D = ImageCompare::Difference;
    QCOMPARE(ImageCompare::differences(a, b),
             QList<D>({{0, 0, -3}, {300, 0, 5}, {511, 0, 0x7FFFFFFF}}));
    QCOMPARE(ImageCompare::differences(a, b, 1, 300), QList<D>({{300, 0, 5}}));
    QVERIFY(ImageCompare::differences(a, a).isEmpty());
    QCOMPARE(ImageCompare::describe(D{300, 0, 5}), QStringLiteral("Word 300: 0 → 5"));
    QCOMPARE(ImageCompare::describe(D{0, 0, -3}), QStringLiteral("Frequency Adjust: 0 → -3"));
}

void TstSafety::compareNamesBothWindows_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("English") << true
                             << QStringList({"USB Mid Band High Power: 55 → 60",
                                             "SQ level 6 SQ Off: 120 → 118", "Word 300: 0 → 7"});
    QTest::newRow("Chinese") << false
                             << QStringList({"USB 中频段高功率：55 → 60",
                                             "SQ 等级 6 SQ关闭：120 → 118", "字 300：0 → 7"});
}

void TstSafety::compareNamesBothWindows()
{
    QFETCH(bool, english);
    QFETCH(QStringList, expected);
    Program p(backupFolder(), english);
    p.state.image.WriteImageWord(90, 55);
    p.state.image.WriteImageWord(169, 120);
    p.state.image.WriteImageWord(200, 44);
    p.state.CurrentFileName = QStringLiteral("mine.rdat");

    RadioImage other = p.state.image;
    other.WriteImageWord(90, 60);
    other.WriteImageWord(169, 118);
    other.WriteImageWord(300, 7);
    const QString path = m_dir.filePath(QStringLiteral("other.rdat"));
    QVERIFY(WriteToFile(path, other, 5).ok());
    const RadioImage before = p.state.image;

    QStringList lines;
    QString summary, title;
    const QString exported = m_dir.filePath(QStringLiteral("compare.txt"));
    whenModal([&](QWidget *modal) {
        auto *form = qobject_cast<FormCompare *>(modal);
        QVERIFY(form);
        title = form->windowTitle();
        summary = form->summary();
        lines = form->lines();
        QVERIFY(form->exportTo(exported));
        form->accept();
    });
    p.window->compareWithFile(path);

    QCOMPARE(title, english ? QStringLiteral("Compare With File") : QStringLiteral("与文件比较"));
    QVERIFY(summary.contains(QDir::toNativeSeparators(path)));
    QVERIFY(summary.contains(QStringLiteral("3")));
    QCOMPARE(lines, expected);
    QCOMPARE(fileLines(exported), QStringList({summary}) + expected);
    // Comparing changes nothing the program holds.
    QVERIFY(p.state.image == before);
    QCOMPARE(p.state.CurrentFileName, QStringLiteral("mine.rdat"));
}

void TstSafety::compareUnreadableFileChangesNothing()
{
    Program p(backupFolder());
    const QString path = m_dir.filePath(QStringLiteral("short.rdat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("RQ73 DT Ver1.0.7 but short");
    file.close();
    QString shown;
    whenModal([&shown](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    p.window->compareWithFile(path);
    QVERIFY(!shown.isEmpty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void TstSafety::verifyFindsChangedWord()
{
    SimulatedRadio radio;
    radio.memory() = patternMemory();
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p(backupFolder());
    closeProcessWhenDone();
    p.window->MenuRead_Click();
    QVERIFY(p.state.TransferSucceeded);
    const RadioImage afterRead = p.state.image;
    const QStringList backupsBefore = filesIn(backupFolder());

    // Behind the program's back: a power word and a squelch word change in the radio.
    const qint32 oldPower = radio.memoryWord(40);
    const qint32 oldSquelch = radio.memoryWord(169);
    radio.setMemoryWord(40, 77);
    radio.setMemoryWord(169, 118);
    radio.clearRecords();

    QString title, processTitle;
    QStringList lines;
    answerVerify([&](QWidget *process) { processTitle = process->windowTitle(); },
                 [&](FormCompare *form) {
                     title = form->windowTitle();
                     lines = form->lines();
                 });
    p.window->MenuVerify_Click();

    QCOMPARE(processTitle, QStringLiteral("Verify Radio"));
    QCOMPARE(title, QStringLiteral("Verify Radio"));
    QCOMPARE(lines, QStringList({QStringLiteral("AM Mid Band Low Power: %1 → 77").arg(oldPower),
                                 QStringLiteral("SQ level 6 SQ Off: %1 → 118").arg(oldSquelch)}));
    // Only reads went out, and the program's image stays as it was.
    QVERIFY(!radio.requests().isEmpty());
    for (const SimulatedRadio::Request &r : radio.requests())
        QCOMPARE(r.operation, 4);
    QVERIFY(p.state.image == afterRead);
    QCOMPARE(filesIn(backupFolder()), backupsBefore);
}

void TstSafety::verifyIdentical()
{
    SimulatedRadio radio;
    radio.memory() = patternMemory();
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p(backupFolder(), false);
    closeProcessWhenDone();
    p.window->MenuRead_Click();
    QVERIFY(p.state.TransferSucceeded);
    // Words the read does not cover differ freely.
    p.state.image.WriteImageWord(5, 1234);
    p.state.image.WriteImageWord(400, 1234);

    QString summary;
    QStringList lines{QStringLiteral("not seen")};
    answerVerify({}, [&](FormCompare *form) {
        summary = form->summary();
        lines = form->lines();
        QVERIFY(!form->findChild<QPushButton *>(QStringLiteral("CommandExport"))->isEnabled());
    });
    p.window->MenuVerify_Click();
    QCOMPARE(summary, QStringLiteral("相同：对讲机中的每个字都与当前数据一致。"));
    QVERIFY(lines.isEmpty());
}

void TstSafety::verifyCoversWhatTheReadCovers()
{
    using R = QPair<int, int>;
    QCOMPARE(ImageSession::fullReadRanges(),
             QList<R>({{0, 0}, {16, 51}, {61, 77}, {80, 115}, {128, 275}}));
}

void TstSafety::logFileEqualsList()
{
    SimulatedRadio radio;
    radio.memory() = patternMemory();
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p(backupFolder());
    const QString path = m_dir.filePath(QStringLiteral("log.txt"));
    QStringList listed;
    bool saved = false;
    closeProcessWhenDone([&](QWidget *process) {
        auto *list = process->findChild<QListWidget *>(QStringLiteral("ListDebug"));
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text();
        auto *button = process->findChild<SaveLogButton *>(QStringLiteral("CommandSaveLog"));
        saved = button && button->saveTo(path);
    });
    p.window->MenuRead_Click();
    QVERIFY(saved);
    QVERIFY(listed.size() > 2);

    const QStringList lines = fileLines(path);
    QCOMPARE(lines.mid(1), listed);
    const QStringList header = lines.value(0).split(QLatin1Char('\t'));
    QCOMPARE(header.size(), 3);
    const QDateTime when
        = QDateTime::fromString(header.at(0), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QVERIFY(when.isValid());
    QVERIFY(qAbs(when.secsTo(QDateTime::currentDateTime())) < 600);
    QCOMPARE(header.at(1), QStringLiteral("COM4"));
    QCOMPARE(header.at(2), radio.devicePath());
}

void TstSafety::windowsNameEveryControl_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("backupsTitle");
    QTest::addColumn<QString>("saveLog");
    QTest::newRow("English") << true << "Backups"
                             << "Save Log";
    QTest::newRow("Chinese") << false << "备份"
                             << "保存日志";
}

void TstSafety::windowsNameEveryControl()
{
    QFETCH(bool, english);
    QFETCH(QString, backupsTitle);
    QFETCH(QString, saveLog);
    Translations translations;
    translations.apply(english);
    QVERIFY(BackupStore(backupFolder())
                .save(RadioImage(), 5, BackupStore::Kind::FullRead, at(1), 200)
                .ok());
    FormBackups backups{BackupStore(backupFolder())};
    FormCompare compare(QStringLiteral("t"), QStringLiteral("s"), {QStringLiteral("a")});
    QListWidget list;
    SaveLogButton button(&list, 4);
    QCOMPARE(backups.windowTitle(), backupsTitle);
    QCOMPARE(button.text(), saveLog);
    QCOMPARE(button.accessibleName(), saveLog);

    for (QWidget *form : {static_cast<QWidget *>(&backups), static_cast<QWidget *>(&compare)}) {
        for (QWidget *w : form->findChildren<QWidget *>()) {
            if (auto *label = qobject_cast<QLabel *>(w)) {
                // Labels that name a box lead to it; the summary and folder lines only inform.
                if (label->objectName() == QStringLiteral("LabelSummary")
                    || label->objectName() == QStringLiteral("LabelFolder"))
                    continue;
                QVERIFY2(label->buddy(), qPrintable(label->objectName()));
            } else if (qobject_cast<QPushButton *>(w) || qobject_cast<QSpinBox *>(w)
                       || qobject_cast<QListWidget *>(w) || qobject_cast<QTreeWidget *>(w)) {
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
                QVERIFY2(english
                             || !w->accessibleName().contains(QRegularExpression("^[A-Za-z ]+$")),
                         qPrintable(w->accessibleName()));
            }
        }
    }
    translations.apply(true);
}

QTEST_MAIN(TstSafety)
#include "tst_safety.moc"
