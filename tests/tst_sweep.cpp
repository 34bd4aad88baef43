// Bad input through the real widgets: every numeric box of the tune windows is given empty,
// non-numeric, huge and negative text, typed and pasted. Afterwards the image holds only values
// within the rules, no other word changed, and the frames the radio receives carry those values.
#include "appstate.h"
#include "formtunesq.h"
#include "livetunesender.h"
#include "mdiformmain.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "squelchtable.h"
#include "testsettings.h"
#include "translations.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace {

constexpr int RadioPort = 6;
constexpr int FirstSquelchWord = 128;
constexpr int SquelchBoxes = 152;

struct Program
{
    AppState state;
    Translations translations;
    std::unique_ptr<MDIFormMain> window;

    Program()
    {
        window = std::make_unique<MDIFormMain>(state, translations);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        state.ComPortNumber = RadioPort;
    }

    ~Program()
    {
        window->close();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
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
    SettingsStore::openSettings().clear();
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

QTEST_MAIN(TstSweep)
#include "tst_sweep.moc"
