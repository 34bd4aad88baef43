#include "decimalseparator.h"
#include "keyfilter.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "testsettings.h"
#include "translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

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
    QCOMPARE(QCoreApplication::translate("MDIFormMain", "&File"), QStringLiteral("文件(&F)"));
    QVERIFY(translations.apply(true));
    QCOMPARE(QCoreApplication::translate("MDIFormMain", "&File"), QStringLiteral("&File"));
}

QTEST_GUILESS_MAIN(TstCore)
#include "tst_core.moc"
