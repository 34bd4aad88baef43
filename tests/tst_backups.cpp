// The backup folder's cap on real files whose names and modification times disagree with the
// clock: the backup just written always stays, and the files written longest ago go.

#include "backupstore.h"
#include "radioimage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The moment of the new backup, as the clock says.
const QDateTime Now(QDate(2026, 12, 10), QTime(14, 15, 0));

QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files);
    names.sort();
    return names;
}

} // namespace

class TstBackups : public QObject
{
    Q_OBJECT

private slots:
    void newBackupOutlivesOthers_data();
    void newBackupOutlivesOthers();
    void manyFromTheFuture();
};

void TstBackups::newBackupOutlivesOthers_data()
{
    // Each existing backup: its name, and its modification time relative to now in seconds.
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("writtenSeconds");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("removed");

    const QStringList future{
        "2099-01-01_00-00-01-000_full-read.rdat", "2099-01-01_00-00-02-000_squelch-read.rdat",
        "2099-01-01_00-00-03-000_full-read.rdat", "2099-01-01_00-00-03-000_full-read_2.rdat",
        "2099-01-01_00-00-04-000_full-read.rdat"};
    QTest::newRow("names and times from the future")
        << future << QList<int>{1000, 2000, 3000, 4000, 5000} << 3
        << QStringList{"2099-01-01_00-00-01-000_full-read.rdat",
                       "2099-01-01_00-00-02-000_squelch-read.rdat",
                       "2099-01-01_00-00-03-000_full-read.rdat"};
    // The newest name was written first: the time of writing decides.
    QTest::newRow("names against times") << future << QList<int>{5000, 4000, 3000, 2000, 1000} << 3
                                         << QStringList{"2099-01-01_00-00-03-000_full-read.rdat",
                                                        "2099-01-01_00-00-03-000_full-read_2.rdat",
                                                        "2099-01-01_00-00-04-000_full-read.rdat"};
    QTest::newRow("old names written later")
        << QStringList{"2020-01-01_00-00-01-000_full-read.rdat",
                       "2020-01-01_00-00-02-000_full-read.rdat"}
        << QList<int>{-10, -20} << 2 << QStringList{"2020-01-01_00-00-02-000_full-read.rdat"};
    QTest::newRow("limit one") << future.mid(0, 3) << QList<int>{1000, 2000, 3000} << 1
                               << future.mid(0, 3);
    QTest::newRow("under the cap")
        << future.mid(0, 2) << QList<int>{1000, 2000} << 3 << QStringList();
}

void TstBackups::newBackupOutlivesOthers()
{
    QFETCH(QStringList, names);
    QFETCH(QList<int>, writtenSeconds);
    QFETCH(int, limit);
    QFETCH(QStringList, removed);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("backups"));
    QVERIFY(QDir().mkpath(folder));
    const QDateTime now = QDateTime::currentDateTime();
    for (qsizetype i = 0; i < names.size(); ++i) {
        QFile file(folder + QLatin1Char('/') + names.at(i));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(QByteArray(2068, 'x')) == 2068);
        // Written out first, so that closing does not set the time again.
        QVERIFY(file.flush());
        QVERIFY(
            file.setFileTime(now.addSecs(writtenSeconds.at(i)), QFileDevice::FileModificationTime));
    }
    // A file of the technician's own is neither counted nor removed.
    QFile own(folder + QStringLiteral("/before repair.rdat"));
    QVERIFY(own.open(QIODevice::WriteOnly));
    QVERIFY(own.setFileTime(now.addSecs(-100000), QFileDevice::FileModificationTime));
    own.close();

    RadioImage image;
    image.WriteImageWord(0, 77);
    const BackupStore store(folder);
    const BackupStore::SaveResult r = store.save(image, 5, BackupStore::Kind::FullRead, Now, limit);

    QVERIFY2(r.ok(), qPrintable(r.errorText));
    QCOMPARE(QFileInfo(r.path).fileName(),
             QStringLiteral("2026-12-10_14-15-00-000_full-read.rdat"));
    QFile saved(r.path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QCOMPARE(bytes.left(20), QByteArray("RQ73 DT Ver1.0.7") + QByteArray::fromHex("4d000000"));
    QCOMPARE(bytes.size(), 2068);

    QStringList removedNames;
    for (const QString &path : r.removed)
        removedNames << QFileInfo(path).fileName();
    removedNames.sort();
    QCOMPARE(removedNames, removed);
    QStringList expected = names;
    for (const QString &name : removed)
        expected.removeOne(name);
    expected << QStringLiteral("2026-12-10_14-15-00-000_full-read.rdat")
             << QStringLiteral("before repair.rdat");
    expected.sort();
    QCOMPARE(filesIn(folder), expected);
}

// The report that started it: a full folder of backups named and written in the future.
void TstBackups::manyFromTheFuture()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("backups"));
    QVERIFY(QDir().mkpath(folder));
    const QDateTime future(QDate(2099, 1, 1), QTime(0, 0));
    for (int i = 0; i < BackupStore::DefaultLimit; ++i) {
        const QDateTime when = future.addSecs(i);
        QFile file(folder + QLatin1Char('/')
                   + BackupStore::fileName(when, BackupStore::Kind::FullRead));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
    }

    const BackupStore store(folder);
    const BackupStore::SaveResult r = store.save(RadioImage(), 5, BackupStore::Kind::SquelchRead,
                                                 Now, BackupStore::DefaultLimit);
    QVERIFY2(r.ok(), qPrintable(r.errorText));
    QVERIFY(QFileInfo::exists(r.path));
    QCOMPARE(r.removed.size(), 1);
    QCOMPARE(QFileInfo(r.removed.first()).fileName(),
             QStringLiteral("2099-01-01_00-00-00-000_full-read.rdat"));
    const QStringList left = filesIn(folder);
    QCOMPARE(left.size(), 200);
    QCOMPARE(left.first(), QStringLiteral("2026-12-10_14-15-00-000_squelch-read.rdat"));
    QCOMPARE(left.at(1), QStringLiteral("2099-01-01_00-00-01-000_full-read.rdat"));
    QCOMPARE(left.last(), QStringLiteral("2099-01-01_00-03-19-000_full-read.rdat"));
}

QTEST_GUILESS_MAIN(TstBackups)
#include "tst_backups.moc"
