// Bad input through the real widgets: every numeric box of the tune windows is given empty,
// non-numeric, huge and negative text, typed and pasted. Afterwards the image holds only values
// within the rules, no other word changed, and the frames the radio receives carry those values.
#include "appstate.h"
#include "formtune.h"
#include "formtunesq.h"
#include "livetunesender.h"
#include "mdiformmain.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "squelchtable.h"
#include "testprogram.h"
#include "testsettings.h"
#include "translations.h"
#include "tunevaluerow.h"
#include "tunevaluetable.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSlider>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

namespace {

constexpr int RadioPort = 6;
// A COM number whose settings entry names a device that does not exist: live frames go nowhere.
constexpr int DeadPort = 7;
constexpr int FirstSquelchWord = 128;
constexpr int SquelchBoxes = 152;

struct Program : TestProgram
{
    explicit Program(int comPort = RadioPort)
        : TestProgram(comPort)
    {}
};

enum class Entry { Typed, Pasted };

// Replaces the box's text the way a user would: select all, then type or paste.
void enter(QLineEdit *edit, Entry entry, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    if (entry == Entry::Typed) {
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    } else {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    }
}

// The inputs both windows are given.
void addInputs()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("text");
    QTest::newRow("typed empty") << Entry::Typed << "";
    QTest::newRow("typed letters") << Entry::Typed << "abc";
    QTest::newRow("typed negative") << Entry::Typed << "-5";
    QTest::newRow("typed decimal") << Entry::Typed << "4.5";
    QTest::newRow("typed huge") << Entry::Typed << "999999999999";
    QTest::newRow("typed zero") << Entry::Typed << "0";
    QTest::newRow("pasted empty") << Entry::Pasted << "";
    QTest::newRow("pasted letters") << Entry::Pasted << "abc";
    QTest::newRow("pasted mixed") << Entry::Pasted << "12ab";
    QTest::newRow("pasted negative") << Entry::Pasted << "-5";
    QTest::newRow("pasted very negative") << Entry::Pasted << "-99999";
    QTest::newRow("pasted most negative") << Entry::Pasted << "-2147483648";
    QTest::newRow("pasted beyond any int") << Entry::Pasted << "99999999999999999999999";
    QTest::newRow("pasted large") << Entry::Pasted << "65535";
    QTest::newRow("pasted blanks around") << Entry::Pasted << " 42 ";
    QTest::newRow("pasted decimal") << Entry::Pasted << "4.5";
    QTest::newRow("pasted comma") << Entry::Pasted << "4,5";
    QTest::newRow("pasted plus") << Entry::Pasted << "+7";
    QTest::newRow("pasted exponent") << Entry::Pasted << "1e9";
    QTest::newRow("pasted hexadecimal") << Entry::Pasted << "0x10";
    QTest::newRow("pasted full-width digits") << Entry::Pasted << "４２";
    QTest::newRow("pasted Arabic-Indic digits") << Entry::Pasted << "٤٢";
    QTest::newRow("pasted two lines") << Entry::Pasted << "12\n34";
    QTest::newRow("pasted control bytes") << Entry::Pasted << QString::fromUtf8("1\t2\x01");
    QTest::newRow("pasted minus only") << Entry::Pasted << "-";
}

// What the tune data window makes of the text its box holds at the commit: a whole number in
// plain digits, blanks around it allowed, is clamped to the value's edit range; anything else,
// including a number beyond any 32-bit value, leaves the value as it was.
std::optional<qint64> wholeNumber(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<std::int32_t>::min()
        || n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return n;
}

// Brings the tab of the box's frame to the front, as the technician does before typing.
void showBox(FormTune *form, QLineEdit *edit)
{
    auto *tabs = form->findChild<QTabBar *>(QStringLiteral("TabStrip1"));
    for (int i = 0; !edit->isVisible() && tabs && i < tabs->count(); ++i)
        tabs->setCurrentIndex(i);
    QVERIFY2(edit->isVisible(), qPrintable(edit->objectName()));
}

// A distinct in-range value per box, so that a word that changes when it should not shows.
std::int32_t storedValue(int box)
{
    return 1000 + 37 * box;
}

} // namespace

class TstSweep : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void squelchBoxes_data();
    void squelchBoxes();
    void squelchFramesAfterSweep();
    void tuneBoxes_data() { addInputs(); }
    void tuneBoxes();
    void tuneFramesAfterSweep();

private:
    QTemporaryDir m_dir;
};

void TstSweep::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
    QVERIFY(QGuiApplication::clipboard());
}

void TstSweep::init()
{
    QSettings settings = SettingsStore::openSettings();
    settings.clear();
    settings.setValue(QStringLiteral("Ports/COM%1").arg(DeadPort),
                      m_dir.filePath(QStringLiteral("no-such-device")));
}

void TstSweep::squelchBoxes_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("text");
    // The value the box's word must hold afterwards; none: the stored value stays.
    QTest::addColumn<std::optional<int>>("value");

    const std::optional<int> kept;
    QTest::newRow("typed empty") << Entry::Typed << "" << kept;
    QTest::newRow("typed letters") << Entry::Typed << "abc" << kept;
    QTest::newRow("typed negative") << Entry::Typed << "-5" << std::optional<int>(5);
    QTest::newRow("typed decimal") << Entry::Typed << "4.5" << std::optional<int>(45);
    QTest::newRow("typed largest") << Entry::Typed << "60000" << std::optional<int>(60000);
    QTest::newRow("typed just above") << Entry::Typed << "60001" << std::optional<int>(100);
    QTest::newRow("typed huge") << Entry::Typed << "999999999999" << std::optional<int>(100);
    QTest::newRow("typed zero") << Entry::Typed << "0" << std::optional<int>(0);
    QTest::newRow("pasted empty") << Entry::Pasted << "" << kept;
    QTest::newRow("pasted letters") << Entry::Pasted << "abc" << kept;
    QTest::newRow("pasted mixed") << Entry::Pasted << "12ab" << kept;
    QTest::newRow("pasted negative") << Entry::Pasted << "-5" << std::optional<int>(0);
    QTest::newRow("pasted most negative")
        << Entry::Pasted << "-2147483648" << std::optional<int>(0);
    QTest::newRow("pasted huge") << Entry::Pasted << "99999999999999999999999"
                                 << std::optional<int>(100);
    QTest::newRow("pasted blanks around") << Entry::Pasted << " 42 " << std::optional<int>(42);
    QTest::newRow("pasted decimal") << Entry::Pasted << "4.5" << kept;
    QTest::newRow("pasted comma") << Entry::Pasted << "4,5" << kept;
    QTest::newRow("pasted plus") << Entry::Pasted << "+7" << kept;
    QTest::newRow("pasted exponent") << Entry::Pasted << "1e9" << kept;
    QTest::newRow("pasted hexadecimal") << Entry::Pasted << "0x10" << kept;
    QTest::newRow("pasted full-width digits") << Entry::Pasted << "４２" << kept;
    QTest::newRow("pasted Arabic-Indic digits") << Entry::Pasted << "٤٢" << kept;
    QTest::newRow("pasted two lines") << Entry::Pasted << "12\n34" << kept;
    QTest::newRow("pasted control bytes") << Entry::Pasted << QString::fromUtf8("1\t2\x01") << kept;
    QTest::newRow("pasted minus only") << Entry::Pasted << "-" << kept;
}

void TstSweep::squelchBoxes()
{
    QFETCH(Entry, entry);
    QFETCH(QString, text);
    QFETCH(std::optional<int>, value);

    Program p;
    RadioImage &image = p.state.image;
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, (w >= FirstSquelchWord && w < FirstSquelchWord + SquelchBoxes)
                                    ? storedValue(w - FirstSquelchWord)
                                    : -1 - w);
    RadioImage expected = image;
    p.window->openFormTuneSq();
    FormTuneSq *form = p.window->formTuneSq();
    QVERIFY(form);

    for (int box = 0; box < SquelchBoxes; ++box) {
        QLineEdit *edit = form->textSq(box);
        enter(edit, entry, text);
        // Half the boxes are left with Enter, the other half by moving on.
        if (box % 2 == 0)
            QTest::keyClick(edit, Qt::Key_Enter);
        else
            form->textSq(box == SquelchBoxes - 1 ? 0 : box + 1)->setFocus();
        QVERIFY2(!edit->hasFocus() || box % 2 == 0, qPrintable(QString::number(box)));

        const int word = FirstSquelchWord + box;
        if (value)
            expected.WriteImageWord(word, *value);
        const std::int32_t now = image.ReadImageWord(word);
        QVERIFY2(now >= 0 && now <= SquelchTable::MaxThreshold,
                 qPrintable(QStringLiteral("box %1 holds %2").arg(box).arg(now)));
        QCOMPARE(now, expected.ReadImageWord(word));
        QCOMPARE(edit->text(), QString::number(now));
    }
    // No word outside the boxes changed, nor any box but by its own commit.
    QVERIFY(image == expected);
}

void TstSweep::squelchFramesAfterSweep()
{
    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p;
    p.window->openFormTuneSq();
    FormTuneSq *form = p.window->formTuneSq();
    QVERIFY(form);

    // Rows 20 (squelch level 6) and 75 (the FM reference) through the worst of the inputs.
    const struct
    {
        int box;
        Entry entry;
        QString text;
    } inputs[] = {
        {40, Entry::Pasted, QStringLiteral("-2147483648")},
        {41, Entry::Pasted, QStringLiteral("99999999999999999999")},
        {150, Entry::Typed, QStringLiteral("-60000")},
        {151, Entry::Pasted, QStringLiteral("٤٢")},
    };
    p.state.image.WriteImageWord(279, 321);
    for (const auto &input : inputs) {
        enter(form->textSq(input.box), input.entry, input.text);
        QTest::keyClick(form->textSq(input.box), Qt::Key_Enter);
    }

    form->commandTest(20)->click();
    QTRY_COMPARE(radio.liveFrames().size(), 1);
    QTRY_VERIFY(!form->sender().isBusy());
    form->commandTest(75)->click();
    QTRY_COMPARE(radio.liveFrames().size(), 2);
    QTRY_VERIFY(!form->sender().isBusy());

    // Command 6, address 168 and 128, two words: 0 and 100; 60000 and the untouched 321.
    QCOMPARE(radio.liveFrames().at(0).frame,
             QByteArray::fromHex("54554e4506a800020000000064000000"));
    QCOMPARE(radio.liveFrames().at(1).frame,
             QByteArray::fromHex("54554e450680000260ea000041010000"));
}

void TstSweep::tuneBoxes()
{
    QFETCH(Entry, entry);
    QFETCH(QString, text);

    Program p(DeadPort);
    RadioImage &image = p.state.image;
    FormTune *form = p.window->formTune();
    QVERIFY(form);
    // Every value starts inside its edit range and apart from its neighbours; the words the
    // window does not show hold a pattern of their own.
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, -7 - w);
    for (const TuneValueRow *row : form->rows()) {
        const TuneValues::Value &v = row->value();
        image.WriteImageWord(v.wordAddress,
                             v.editLow + (v.wordAddress * 7) % (v.editHigh - v.editLow + 1));
    }
    form->AnalyseTuneData();
    RadioImage expected = image;
    auto *elsewhere = form->findChild<QComboBox *>(QStringLiteral("ComboTxTime"));
    QVERIFY(elsewhere);

    int boxes = 0;
    for (TuneValueRow *row : form->rows()) {
        const TuneValues::Value &v = row->value();
        QLineEdit *edit = row->text();
        showBox(form, edit);
        enter(edit, entry, text);
        const QString held = edit->text();
        // The paste reached the box: a judge of the box's old text would prove nothing.
        if (entry == Entry::Pasted && v.editable)
            QCOMPARE(held, text);
        if (boxes++ % 2 == 0)
            QTest::keyClick(edit, Qt::Key_Enter);
        else
            elsewhere->setFocus();

        const std::int32_t now = image.ReadImageWord(v.wordAddress);
        const QString where = QStringLiteral("%1 given \"%2\" holds %3").arg(v.name, held).arg(now);
        if (v.editable) {
            if (const std::optional<qint64> n = wholeNumber(held))
                expected.WriteImageWord(v.wordAddress,
                                        int(std::clamp<qint64>(*n, v.editLow, v.editHigh)));
            QVERIFY2(now >= v.editLow && now <= v.editHigh, qPrintable(where));
            QVERIFY2(now == expected.ReadImageWord(v.wordAddress), qPrintable(where));
            QCOMPARE(row->slider()->value(), now);
        }
        QVERIFY2(image == expected, qPrintable(where));
        QCOMPARE(edit->text(), QString::number(now));
    }
    QVERIFY(boxes > 80);
    QVERIFY(form->liveSender().waitUntilIdle(10000));
}

void TstSweep::tuneFramesAfterSweep()
{
    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p;
    FormTune *form = p.window->formTune();
    QVERIFY(form);
    p.state.image.WriteImageWord(69, 70);
    form->AnalyseTuneData();

    TuneValueRow *freq = form->row(QStringLiteral("freq-adjust"));
    TuneValueRow *volume = form->row(QStringLiteral("volume.pa"));
    QVERIFY(freq && volume);
    for (const auto &[row, text] : {std::pair{freq, QStringLiteral("-99999")},
                                    std::pair{volume, QStringLiteral("99999999999999999999")},
                                    std::pair{volume, QStringLiteral("1000")}}) {
        showBox(form, row->text());
        enter(row->text(), Entry::Pasted, text);
        QTest::keyClick(row->text(), Qt::Key_Enter);
    }
    QVERIFY(form->liveSender().waitUntilIdle(10000));

    // Frequency -300 with the start-up transmit time of 6 s; the PA volume's number beyond any
    // int left it at 70, which sends nothing, and 1000 is its top, 100.
    QTRY_COMPARE(radio.liveFrames().size(), 2);
    QCOMPARE(radio.liveFrames().at(0).frame, QByteArray::fromHex("54554e4562000001d4feffff"));
    QCOMPARE(radio.liveFrames().at(1).frame, QByteArray::fromHex("54554e450245000164000000"));
}

QTEST_MAIN(TstSweep)
#include "tst_sweep.moc"
