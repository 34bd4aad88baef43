#include "datafile.h"
#include "datafiletext.h"
#include "decimalseparator.h"
#include "filesizelimit.h"
#include "keyfilter.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "testdata.h"
#include "testsettings.h"
#include "translations.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

class TstCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void wordConversion_data();
    void wordConversion();
    void imageWords();
    void imageRefusesAddressesOutside();
    void clearFirstHalfKeepsSecondHalf();
    void wholeImage();

    void filterKeyPress_data();
    void filterKeyPress();

    void decimalSeparator_data();
    void decimalSeparator();

    void settingsRoundTrip();
    void storedComPort_data();
    void storedComPort();
    void unreadableSettingsGiveDefaults();

    void chineseCatalogue();

    void dataFileRoundTrip();
    void dataFileSizeAndHeader();
    void dataFileTuneTxTime_data();
    void dataFileTuneTxTime();
    void dataFileVersionIgnored_data();
    void dataFileVersionIgnored();
    void dataFileHeaderDifference_data();
    void dataFileHeaderDifference();
    void dataFileRejected_data();
    void dataFileRejected();
    void dataFileUnreadable();
    void dataFileLongerLoadsFirst2068();
    void dataFileSaveFailureKeepsOldFile_data();
    void dataFileSaveFailureKeepsOldFile();
    void dataFileSaveOverLongerFile();
    void dataFileSaveRemovesItsStrayTemporaries();
    void dataFileSaveKeepsLinkAndPermissions();
    void dataFileEmptyPath();
    void dataFileNotRegular_data();
    void dataFileNotRegular();

private:
    QTemporaryDir m_settingsDir;
};

void TstCore::initTestCase()
{
    QVERIFY(m_settingsDir.isValid());
    isolateSettings(m_settingsDir.path());
}

void TstCore::init()
{
    SettingsStore::openSettings().clear();
}

void TstCore::wordConversion_data()
{
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("zero") << 0 << QByteArray::fromHex("00000000");
    QTest::newRow("one") << 1 << QByteArray::fromHex("01000000");
    QTest::newRow("minus one") << -1 << QByteArray::fromHex("ffffffff");
    QTest::newRow("258") << 258 << QByteArray::fromHex("02010000");
    QTest::newRow("-258") << -258 << QByteArray::fromHex("fefeffff");
    QTest::newRow("-5") << -5 << QByteArray::fromHex("fbffffff");
    QTest::newRow("only bit 31") << std::numeric_limits<qint32>::min()
                                 << QByteArray::fromHex("00000080");
    QTest::newRow("largest") << std::numeric_limits<qint32>::max()
                             << QByteArray::fromHex("ffffff7f");
    QTest::newRow("mixed bytes") << qint32(0x12345678) << QByteArray::fromHex("78563412");
    QTest::newRow("sign byte with low bits")
        << qint32(-2147483520) << QByteArray::fromHex("80000080");
}

void TstCore::wordConversion()
{
    QFETCH(qint32, value);
    QFETCH(QByteArray, bytes);
    const RadioImage::WordBytes out = RadioImage::WordToBytes(value);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(out.data()), 4), bytes);
    QCOMPARE(RadioImage::WordFromBytes(bytes, 0), value);
    // Any offset of any buffer.
    const QByteArray padded = QByteArray("\x06\x01\x02", 3) + bytes;
    QCOMPARE(RadioImage::WordFromBytes(padded, 3), value);

    RadioImage image;
    QVERIFY(image.WriteImageWord(7, value));
    QCOMPARE(image.ReadImageWord(7), value);
    QCOMPARE(image.toByteArray().mid(28, 4), bytes);
}

void TstCore::imageWords()
{
    RadioImage image;
    QCOMPARE(image.toByteArray(), QByteArray(RadioImage::Size, '\0'));
    image.WriteImageWord(0, -1);
    QCOMPARE(image.ReadImageWord(0), -1);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(image.byteAt(i), 255);
    QCOMPARE(image.byteAt(4), 0);

    image.WriteImageWord(1, 258);
    QCOMPARE(image.toByteArray().mid(4, 4), QByteArray::fromHex("02010000"));
    image.WriteImageWord(511, 0x01020304);
    QCOMPARE(image.toByteArray().right(4), QByteArray::fromHex("04030201"));
    // Neighbours are untouched.
    QCOMPARE(image.ReadImageWord(0), -1);
    QCOMPARE(image.ReadImageWord(510), 0);

    // A short buffer reads the missing bytes as zero rather than past its end.
    QCOMPARE(RadioImage::WordFromBytes(QByteArray::fromHex("0102"), 0), 0x0201);
}

void TstCore::imageRefusesAddressesOutside()
{
#ifdef QT_NO_DEBUG
    RadioImage image;
    const QByteArray before = image.toByteArray();
    QVERIFY(!image.WriteImageWord(512, -1));
    QVERIFY(!image.WriteImageWord(-1, -1));
    QCOMPARE(image.toByteArray(), before);
    QCOMPARE(image.ReadImageWord(512), 0);
#else
    QSKIP("Addresses outside the image assert in debug builds");
#endif
}

void TstCore::clearFirstHalfKeepsSecondHalf()
{
    RadioImage image;
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, w * 1000 - 7);
    image.clearFirstHalf();
    for (int w = 0; w < 256; ++w)
        QCOMPARE(image.ReadImageWord(w), 0);
    for (int w = 256; w < RadioImage::WordCount; ++w)
        QCOMPARE(image.ReadImageWord(w), w * 1000 - 7);
}

void TstCore::wholeImage()
{
    QByteArray bytes(RadioImage::Size, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    RadioImage image;
    QVERIFY(image.assign(bytes));
    QCOMPARE(image.toByteArray(), bytes);
    QCOMPARE(image.ReadImageWord(1), RadioImage::WordFromBytes(bytes, 4));
    // A buffer of the wrong size changes nothing.
    QVERIFY(!image.assign(bytes.left(2047)));
    QVERIFY(!image.assign(bytes + 'x'));
    QCOMPARE(image.toByteArray(), bytes);
}

void TstCore::filterKeyPress_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");

    const int three = int(KeyFilterMode::ThreeDigit);
    const int eight = int(KeyFilterMode::EightDigit);
    const int sign = int(KeyFilterMode::Signed);
    const QString empty;
    QTest::newRow("3: digit in empty box") << three << empty << false << int('7') << int('7');
    QTest::newRow("3: fourth digit swallowed") << three << "123" << false << int('4') << 0;
    QTest::newRow("3: fourth digit replaces selection")
        << three << "123" << true << int('4') << int('4');
    QTest::newRow("3: backspace when full")
        << three << "123" << false << KeyBackspace << KeyBackspace;
    QTest::newRow("3: enter when full") << three << "123" << false << KeyEnter << KeyEnter;
    QTest::newRow("3: letter swallowed") << three << "1" << false << int('a') << 0;
    QTest::newRow("3: minus swallowed") << three << empty << false << int('-') << 0;
    QTest::newRow("3: decimal point swallowed") << three << "1" << false << int('.') << 0;
    QTest::newRow("3: blank swallowed") << three << "1" << false << int(' ') << 0;
    QTest::newRow("8: eighth digit") << eight << "1234567" << false << int('8') << int('8');
    QTest::newRow("8: ninth digit swallowed") << eight << "12345678" << false << int('9') << 0;
    QTest::newRow("8: ninth replaces selection")
        << eight << "12345678" << true << int('9') << int('9');
    QTest::newRow("8: letter swallowed") << eight << empty << false << int('Z') << 0;
    QTest::newRow("8: minus swallowed") << eight << empty << false << int('-') << 0;
    QTest::newRow("signed: minus in empty box") << sign << empty << false << int('-') << int('-');
    QTest::newRow("signed: minus after digits") << sign << "12" << false << int('-') << 0;
    QTest::newRow("signed: minus over selection") << sign << "12" << true << int('-') << int('-');
    QTest::newRow("signed: digit after minus") << sign << "-" << false << int('5') << int('5');
    QTest::newRow("signed: letter swallowed") << sign << empty << false << int('a') << 0;
    QTest::newRow("signed: ninth char swallowed") << sign << "-1234567" << false << int('1') << 0;
    QTest::newRow("signed: backspace when full")
        << sign << "-1234567" << false << KeyBackspace << KeyBackspace;
}

void TstCore::filterKeyPress()
{
    QFETCH(int, mode);
    QFETCH(QString, text);
    QFETCH(bool, selected);
    QFETCH(int, key);
    QFETCH(int, result);
    QCOMPARE(FilterKeyPress(text, selected, QLatin1Char('.'), key, KeyFilterMode(mode)), result);
}

void TstCore::decimalSeparator_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("English") << "en_US" << QChar('.');
    QTest::newRow("German") << "de_DE" << QChar(',');
    QTest::newRow("French") << "fr_FR" << QChar(',');
    QTest::newRow("Chinese") << "zh_CN" << QChar('.');
}

void TstCore::decimalSeparator()
{
    QFETCH(QString, locale);
    QFETCH(QChar, separator);
    QCOMPARE(DetermineDecimalSeparator(QLocale(locale)), separator);
}

void TstCore::settingsRoundTrip()
{
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("Language")), QString());
    QVERIFY(SettingsStore::WriteRegistryText(QStringLiteral("Language"), QStringLiteral("False")));
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("Language")), QStringLiteral("False"));
    // The store is where other programs and the user can find it, under the agreed names.
    QSettings raw(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Norvane"),
                  QStringLiteral("RQ73 Tune"));
    QCOMPARE(raw.value(QStringLiteral("Language")).toString(), QStringLiteral("False"));
}

void TstCore::storedComPort_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("port");
    QTest::newRow("nothing stored") << QString() << 1;
    QTest::newRow("3") << "3" << 3;
    QTest::newRow("12") << "12" << 12;
    QTest::newRow("99") << "99" << 99;
    QTest::newRow("digits then text") << "4x" << 4;
    QTest::newRow("not a number") << "abc" << 1;
    QTest::newRow("zero") << "0" << 1;
    QTest::newRow("too high") << "100" << 1;
}

void TstCore::storedComPort()
{
    QFETCH(QString, stored);
    QFETCH(int, port);
    if (!stored.isNull())
        SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), stored);
    QCOMPARE(SettingsStore::storedComPort(), port);
}

void TstCore::unreadableSettingsGiveDefaults()
{
    // A settings path that is a folder cannot be read or written.
    QTemporaryDir broken;
    isolateSettings(broken.path());
    QVERIFY(QDir().mkpath(SettingsStore::openSettings().fileName()));
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("ComPort")), QString());
    QCOMPARE(SettingsStore::storedComPort(), 1);
    QVERIFY(!SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("5")));
    isolateSettings(m_settingsDir.path());
}

void TstCore::chineseCatalogue()
{
    Translations translations;
    QVERIFY(translations.apply(false));
    QCOMPARE(QCoreApplication::translate("MainMenus", "&File"), QStringLiteral("文件(&F)"));
    QVERIFY(translations.apply(true));
    QCOMPARE(QCoreApplication::translate("MainMenus", "&File"), QStringLiteral("&File"));
}

namespace {

using namespace TestData;

// An image and transmit time that differ from anything a test file holds, to show a rejected
// file changed nothing.
struct Loaded
{
    RadioImage image;
    std::int32_t tuneTxTime = 3;

    Loaded() { image.assign(patternImage(200)); }
    bool untouched() const { return image.toByteArray() == patternImage(200) && tuneTxTime == 3; }
};

} // namespace

void TstCore::dataFileRoundTrip()
{
    QTemporaryDir dir;
    const QByteArray original = Header + patternImage(11) + QByteArray::fromHex("07000000");
    const QString first = dir.filePath(QStringLiteral("radio.rdat"));
    QVERIFY(writeBytes(first, original));

    Loaded loaded;
    QVERIFY(ReadFromFile(first, loaded.image, loaded.tuneTxTime).ok());
    QCOMPARE(loaded.image.toByteArray(), patternImage(11));
    QCOMPARE(loaded.tuneTxTime, 7);

    const QString copy = dir.filePath(QStringLiteral("copy.rdat"));
    QVERIFY(WriteToFile(copy, loaded.image, loaded.tuneTxTime).ok());
    QCOMPARE(readBytes(copy), original);
}

void TstCore::dataFileSizeAndHeader()
{
    QTemporaryDir dir;
    RadioImage image;
    image.WriteImageWord(0, -300);
    image.WriteImageWord(511, 0x12345678);
    const QString path = dir.filePath(QStringLiteral("new.rdat"));
    QVERIFY(WriteToFile(path, image, 5).ok());

    const QByteArray bytes = readBytes(path);
    QCOMPARE(bytes.size(), 2068);
    QCOMPARE(bytes.left(16), QByteArray("RQ73 DT Ver1.0.7"));
    QCOMPARE(bytes.mid(16, 4), QByteArray::fromHex("d4feffff"));
    QCOMPARE(bytes.mid(20, 2040), QByteArray(2040, '\0'));
    QCOMPARE(bytes.mid(2060, 4), QByteArray::fromHex("78563412"));
    QCOMPARE(bytes.right(4), QByteArray::fromHex("05000000"));
}

void TstCore::dataFileTuneTxTime_data()
{
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("minus one") << -1 << QByteArray::fromHex("ffffffff");
    QTest::newRow("minus two") << -2 << QByteArray::fromHex("feffffff");
    QTest::newRow("smallest") << std::numeric_limits<qint32>::min()
                              << QByteArray::fromHex("00000080");
    QTest::newRow("nine") << 9 << QByteArray::fromHex("09000000");
    QTest::newRow("all four bytes") << qint32(0x01020304) << QByteArray::fromHex("04030201");
}

void TstCore::dataFileTuneTxTime()
{
    QFETCH(qint32, value);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tx.rdat"));
    QVERIFY(WriteToFile(path, RadioImage(), value).ok());
    QCOMPARE(readBytes(path).right(4), bytes);

    Loaded loaded;
    QVERIFY(ReadFromFile(path, loaded.image, loaded.tuneTxTime).ok());
    QCOMPARE(loaded.tuneTxTime, value);
}

void TstCore::dataFileVersionIgnored_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("later version") << QByteArray("RQ73 DT Ver1.0.8");
    QTest::newRow("earlier version") << QByteArray("RQ73 DT Ver0.9.1");
    QTest::newRow("anything") << QByteArray("RQ73 DT xyz!?#%&");
    QTest::newRow("zero bytes") << QByteArray("RQ73 DT ") + QByteArray(8, '\0');
}

void TstCore::dataFileVersionIgnored()
{
    QFETCH(QByteArray, header);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.rdat"));
    QVERIFY(writeBytes(path, header + patternImage(42) + QByteArray::fromHex("02000000")));

    Loaded loaded;
    QVERIFY(ReadFromFile(path, loaded.image, loaded.tuneTxTime).ok());
    QCOMPARE(loaded.image.toByteArray(), patternImage(42));
    QCOMPARE(loaded.tuneTxTime, 2);
}

void TstCore::dataFileHeaderDifference_data()
{
    QTest::addColumn<QByteArray>("header");
    for (int i = 0; i < 8; ++i) {
        QByteArray header = Header;
        header[i] = static_cast<char>(header[i] ^ 0x01);
        QTest::addRow("byte %d", i) << header;
    }
    QTest::newRow("lower case") << QByteArray("rq73 dt Ver1.0.7");
}

void TstCore::dataFileHeaderDifference()
{
    QFETCH(QByteArray, header);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wrong.rdat"));
    QVERIFY(writeBytes(path, header + patternImage(42) + QByteArray::fromHex("02000000")));

    Loaded loaded;
    QCOMPARE(ReadFromFile(path, loaded.image, loaded.tuneTxTime).error, DataFileError::WrongHeader);
    QVERIFY(loaded.untouched());
}

void TstCore::dataFileRejected_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("error");
    QTest::addColumn<qint64>("bytesFound");
    const QByteArray whole = Header + patternImage(42) + QByteArray::fromHex("02000000");
    auto row = [](const char *name, const QByteArray &content, DataFileError error,
                  qint64 found = 0) { QTest::newRow(name) << content << int(error) << found; };
    row("empty", QByteArray(), DataFileError::TooShort, 0);
    row("part of the header", Header.left(5), DataFileError::TooShort, 5);
    row("header only", Header, DataFileError::TooShort, 16);
    row("without transmit time", whole.left(2064), DataFileError::TooShort, 2064);
    row("one byte short", whole.left(2067), DataFileError::TooShort, 2067);
    row("short text", QByteArray("hello"), DataFileError::WrongHeader);
    // Special rows: the path is not a file.
    row("folder", QByteArray("<folder>"), DataFileError::IsFolder);
    row("missing", QByteArray("<missing>"), DataFileError::NotFound);
}

void TstCore::dataFileRejected()
{
    QFETCH(QByteArray, content);
    QFETCH(int, error);
    QFETCH(qint64, bytesFound);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.rdat"));
    if (content == "<folder>")
        QVERIFY(QDir().mkpath(path));
    else if (content != "<missing>")
        QVERIFY(writeBytes(path, content));

    Loaded loaded;
    const DataFileResult result = ReadFromFile(path, loaded.image, loaded.tuneTxTime);
    QCOMPARE(int(result.error), error);
    if (result.error == DataFileError::TooShort)
        QCOMPARE(result.bytesFound, bytesFound);
    QVERIFY(loaded.untouched());
}

void TstCore::dataFileUnreadable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.rdat"));
    QVERIFY(writeBytes(path, Header + patternImage(42) + QByteArray::fromHex("02000000")));
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    QFile probe(path);
    if (probe.open(QIODevice::ReadOnly))
        QSKIP("This user reads files whatever their permissions");

    Loaded loaded;
    const DataFileResult result = ReadFromFile(path, loaded.image, loaded.tuneTxTime);
    QCOMPARE(result.error, DataFileError::Unreadable);
    QVERIFY(!result.systemText.isEmpty());
    QVERIFY(loaded.untouched());
}

void TstCore::dataFileLongerLoadsFirst2068()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.rdat"));
    QVERIFY(writeBytes(path, Header + patternImage(42) + QByteArray::fromHex("feffffff")
                                 + QByteArray("trailing bytes of something else")));
    Loaded loaded;
    QVERIFY(ReadFromFile(path, loaded.image, loaded.tuneTxTime).ok());
    QCOMPARE(loaded.image.toByteArray(), patternImage(42));
    QCOMPARE(loaded.tuneTxTime, -2);
}

void TstCore::dataFileSaveFailureKeepsOldFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("error");
    QTest::newRow("target is a folder") << "folder" << int(DataFileError::IsFolder);
    QTest::newRow("folder missing") << "missing" << int(DataFileError::FolderMissing);
#ifdef Q_OS_UNIX
    QTest::newRow("disk full") << "full" << int(DataFileError::WriteFailed);
    QTest::newRow("read-only folder") << "readonly" << int(DataFileError::CannotCreate);
#endif
}

void TstCore::dataFileSaveFailureKeepsOldFile()
{
    QFETCH(QString, how);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QByteArray old = Header + patternImage(42) + QByteArray::fromHex("02000000");
    QString path = dir.filePath(QStringLiteral("kept.rdat"));
    QVERIFY(writeBytes(path, old));
    RadioImage image;
    image.assign(patternImage(9));

    DataFileResult result;
    if (how == QStringLiteral("folder")) {
        path = dir.filePath(QStringLiteral("folder.rdat"));
        QVERIFY(QDir().mkpath(path));
        result = WriteToFile(path, image, 4);
        QVERIFY(QFileInfo(path).isDir());
    } else if (how == QStringLiteral("missing")) {
        result = WriteToFile(dir.filePath(QStringLiteral("gone/new.rdat")), image, 4);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
    }
#ifdef Q_OS_UNIX
    else if (how == QStringLiteral("full")) {
        FileSizeLimit full(1000);
        QVERIFY(full.isActive());
        result = WriteToFile(path, image, 4);
    } else if (how == QStringLiteral("readonly")) {
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QFile probe(dir.filePath(QStringLiteral("probe")));
        const bool canStillWrite = probe.open(QIODevice::WriteOnly);
        if (!canStillWrite)
            result = WriteToFile(path, image, 4);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner);
        if (canStillWrite)
            QSKIP("This user writes into read-only folders");
    }
#endif
    QCOMPARE(int(result.error), error);
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("kept.rdat"))), old);
    // No half-written temporary file is left behind.
    QStringList left = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(left, QStringList({QStringLiteral("kept.rdat")}));
}

void TstCore::dataFileSaveOverLongerFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.rdat"));
    QVERIFY(writeBytes(path, QByteArray(5000, 'x')));
    RadioImage image;
    image.assign(patternImage(42));
    QVERIFY(WriteToFile(path, image, 6).ok());
    QCOMPARE(readBytes(path), Header + patternImage(42) + QByteArray::fromHex("06000000"));
}

// A save killed before it renamed its temporary file leaves one beside the data file; the next
// save of that file removes it, and nothing of any other name.
void TstCore::dataFileSaveRemovesItsStrayTemporaries()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("radio1.rdat"));
    const QStringList others{
        QStringLiteral("radio1.rdat.backup"),             // a copy a technician made
        QStringLiteral("radio1.rdat.Ab3dEf"),             // any six letters
        QStringLiteral("radio2.rdat.rq73-save-Ab3dEf"),   // another file's
        QStringLiteral("radio1.rdat.rq73-save-Ab3dEfgh"), // not a name a save gives
    };
    for (const QString &name : others)
        QVERIFY(writeBytes(dir.filePath(name), QByteArray(100, 'x')));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("radio1.rdat.rq73-save-Xy12Zq")),
                       Header + QByteArray(500, '\0')));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("radio1.rdat.rq73-save-000000")), {}));

    RadioImage image;
    image.assign(patternImage(7));
    QVERIFY(WriteToFile(path, image, 2).ok());
    QCOMPARE(readBytes(path), Header + patternImage(7) + QByteArray::fromHex("02000000"));
    QStringList expected = others;
    expected << QStringLiteral("radio1.rdat");
    expected.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

void TstCore::dataFileSaveKeepsLinkAndPermissions()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("real.rdat"));
    const QString link = dir.filePath(QStringLiteral("link.rdat"));
    QVERIFY(writeBytes(file, QByteArray(10, 'x')));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(QFile::link(file, link));

    RadioImage image;
    image.assign(patternImage(9));
    QVERIFY(WriteToFile(link, image, 1).ok());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readBytes(file), Header + patternImage(9) + QByteArray::fromHex("01000000"));
    const auto mode = [](const QString &path) {
        struct stat st = {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
    };
    QCOMPARE(mode(file), 0600);

    // A new file gets what any new file gets under the umask.
    const mode_t mask = ::umask(022);
    const QString fresh = dir.filePath(QStringLiteral("new.rdat"));
    const bool saved = WriteToFile(fresh, image, 1).ok();
    ::umask(mask);
    QVERIFY(saved);
    QCOMPARE(mode(fresh), 0644);
#else
    QSKIP("links and modes of this kind are Unix ones");
#endif
}

void TstCore::dataFileEmptyPath()
{
    Loaded loaded;
    QCOMPARE(ReadFromFile(QString(), loaded.image, loaded.tuneTxTime).error,
             DataFileError::EmptyPath);
    QVERIFY(loaded.untouched());
    QCOMPARE(WriteToFile(QString(), loaded.image, loaded.tuneTxTime).error,
             DataFileError::EmptyPath);
}

#ifdef Q_OS_UNIX
namespace {

// A pipe with both ends held open here, so that a regression opening it does not wait for a
// writer; its read then waits until close().
class OpenFifo
{
public:
    explicit OpenFifo(const QString &path)
        : m_fd(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                   ? ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK)
                   : -1)
    {}
    ~OpenFifo() { close(); }
    // With no writer left, a read blocked on the pipe ends.
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    OpenFifo(const OpenFifo &) = delete;
    OpenFifo &operator=(const OpenFifo &) = delete;
    bool isValid() const { return m_fd >= 0; }

private:
    int m_fd;
};

class SocketFile
{
public:
    explicit SocketFile(const QString &path)
        : m_fd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        if (m_fd < 0 || size_t(name.size()) >= sizeof(address.sun_path)) {
            m_fd = -1;
            return;
        }
        std::copy(name.cbegin(), name.cend(), address.sun_path);
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0
            || ::listen(m_fd, 1) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~SocketFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SocketFile(const SocketFile &) = delete;
    SocketFile &operator=(const SocketFile &) = delete;
    bool isValid() const { return m_fd >= 0; }

private:
    int m_fd;
};

QString fileKind(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("missing");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("fifo");
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("folder");
    if (S_ISCHR(st.st_mode))
        return QStringLiteral("character device");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("socket");
    if (S_ISREG(st.st_mode))
        return QStringLiteral("file");
    return QStringLiteral("other");
}

} // namespace
#endif

namespace {

// Runs job on a thread of its own. Should it block (a regression that opens a pipe), unblock()
// is called after a generous while so that the job ends and the test fails instead of hanging.
bool finishes(const std::function<void()> &job, const std::function<void()> &unblock)
{
    std::unique_ptr<QThread> thread(QThread::create(job));
    thread->start();
    if (thread->wait(QDeadlineTimer(30000)))
        return true;
    unblock();
    thread->wait();
    return false;
}

} // namespace

void TstCore::dataFileNotRegular_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("readError");
    QTest::addColumn<int>("saveError");
    // What stands at the path after a refused save: the same kind of thing as before.
    QTest::addColumn<QString>("kindAfter");
    auto row = [](const char *what, DataFileError read, DataFileError save, const char *after) {
        QTest::newRow(what) << QString::fromLatin1(what) << int(read) << int(save)
                            << QString::fromLatin1(after);
    };
    row("folder", DataFileError::IsFolder, DataFileError::IsFolder, "folder");
#ifdef Q_OS_UNIX
    row("fifo", DataFileError::NotRegular, DataFileError::NotRegular, "fifo");
    row("/dev/null", DataFileError::NotRegular, DataFileError::NotRegular, "character device");
    row("/dev/zero", DataFileError::NotRegular, DataFileError::NotRegular, "character device");
    row("socket", DataFileError::NotRegular, DataFileError::NotRegular, "socket");
    row("link to fifo", DataFileError::NotRegular, DataFileError::NotRegular, "fifo");
    row("link to /dev/zero", DataFileError::NotRegular, DataFileError::NotRegular,
        "character device");
    row("link to file", DataFileError::None, DataFileError::None, "file");
#endif
}

void TstCore::dataFileNotRegular()
{
    QFETCH(QString, what);
    QFETCH(int, readError);
    QFETCH(int, saveError);
    QFETCH(QString, kindAfter);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("input.rdat"));
    const QString target = dir.filePath(QStringLiteral("target"));
#ifdef Q_OS_UNIX
    std::optional<OpenFifo> fifo;
    std::optional<SocketFile> socket;
#endif
    if (what == QStringLiteral("folder")) {
        QVERIFY(QDir().mkpath(path));
    }
#ifdef Q_OS_UNIX
    else if (what == QStringLiteral("fifo")) {
        fifo.emplace(path);
        QVERIFY(fifo->isValid());
    } else if (what.startsWith(QLatin1String("/dev/"))) {
        path = what;
    } else if (what == QStringLiteral("socket")) {
        socket.emplace(path);
        QVERIFY(socket->isValid());
    } else if (what == QStringLiteral("link to fifo")) {
        fifo.emplace(target);
        QVERIFY(fifo->isValid());
        QVERIFY(QFile::link(target, path));
    } else if (what == QStringLiteral("link to /dev/zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (what == QStringLiteral("link to file")) {
        QVERIFY(writeBytes(target, Header + patternImage(42) + QByteArray::fromHex("03000000")));
        QVERIFY(QFile::link(target, path));
    }
#endif

    const auto unblock = [&] {
#ifdef Q_OS_UNIX
        if (fifo)
            fifo->close();
#endif
    };

    Loaded loaded;
    DataFileResult read;
    QVERIFY2(finishes([&] { read = ReadFromFile(path, loaded.image, loaded.tuneTxTime); }, unblock),
             "Reading waits on the pipe");
    QCOMPARE(int(read.error), readError);
    if (read.ok()) {
        QCOMPARE(loaded.image.toByteArray(), patternImage(42));
        QCOMPARE(loaded.tuneTxTime, 3);
    } else {
        QVERIFY(loaded.untouched());
        // Refused by what the path is, without being opened: no system error to report.
        QVERIFY(read.systemText.isEmpty());
    }

    RadioImage image;
    image.assign(patternImage(9));
    DataFileResult saved;
    QVERIFY2(finishes([&] { saved = WriteToFile(path, image, 4); }, unblock),
             "Saving waits on the pipe");
    QCOMPARE(int(saved.error), saveError);
    // Saying plainly what stands there, in the window and the command line alike.
    if (!saved.ok()) {
        const QString text = DataFileText::problem(saved, path, true);
        QVERIFY2(text.contains(QStringLiteral("is a folder, not a regular file."))
                     || text.contains(QStringLiteral(
                         "is not a regular file: it is a pipe, a device or a socket.")),
                 qPrintable(text));
    }
#ifdef Q_OS_UNIX
    QCOMPARE(fileKind(path), kindAfter);
    if (saved.ok()) {
        // Saved through the link, which stays.
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(readBytes(target), Header + patternImage(9) + QByteArray::fromHex("04000000"));
    }
#else
    Q_UNUSED(kindAfter);
#endif
    // No temporary file is left behind.
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::System);
    left.removeAll(QStringLiteral("input.rdat"));
    left.removeAll(QStringLiteral("target"));
    QCOMPARE(left, QStringList());
}

QTEST_GUILESS_MAIN(TstCore)
#include "tst_core.moc"
