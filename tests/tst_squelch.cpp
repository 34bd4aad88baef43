#include "appstate.h"
#include "datafile.h"
#include "formtunesq.h"
#include "imagesession.h"
#include "livetunesender.h"
#include "mdiformmain.h"
#include "modalhelper.h"
#include "radioimage.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "squelchtable.h"
#include "testdata.h"
#include "testprogram.h"
#include "testsettings.h"
#include "translations.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <limits>
#include <memory>

using SquelchTable::Table;

namespace {

constexpr int RadioPort = 4;
constexpr int Int32Max = std::numeric_limits<std::int32_t>::max();
constexpr int Int32Min = std::numeric_limits<std::int32_t>::min();

// A fresh program with the squelch window open, talking to COM port RadioPort.
struct Program : TestProgram
{
    explicit Program(bool english = true)
        : TestProgram(RadioPort, english)
    {}

    FormTuneSq *openSq()
    {
        window->openFormTuneSq();
        return window->formTuneSq();
    }
};

QByteArray patternMemory()
{
    return TestData::patternBytes(53, 7);
}

// Commits a box the way a user leaves it: the focus goes elsewhere.
void leaveBox(FormTuneSq *form, int box)
{
    QLineEdit *edit = form->textSq(box);
    edit->setFocus();
    QVERIFY(edit->hasFocus());
    form->textSq(box == 0 ? 1 : 0)->setFocus();
    QVERIFY(!edit->hasFocus());
}

void typeInto(FormTuneSq *form, int box, const QString &keys)
{
    QLineEdit *edit = form->textSq(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, keys);
}

struct Answers
{
    QString question, questionTitle, success;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString processCaption, progress;
};

// Answers the whole sequence of a Read or Write button: OK to the question, the transfer window
// closed once it shows its result, OK to the success message.
void answerTransfer(Answers &seen)
{
    whenModal([&seen](QWidget *modal) {
        auto *ask = qobject_cast<QMessageBox *>(modal);
        QVERIFY(ask);
        seen.question = ask->text();
        seen.questionTitle = ask->windowTitle();
        seen.icon = ask->icon();
        whenModal(
            [&seen](QWidget *process) {
                auto *result = process->findChild<QLineEdit *>(QStringLiteral("TextShow"));
                (void)QTest::qWaitFor([&] { return result->isVisibleTo(process); }, 30000);
                seen.processCaption = process->windowTitle();
                seen.progress
                    = process->findChild<QLabel *>(QStringLiteral("LabelProcess"))->text();
                whenModal(
                    [&seen](QWidget *done) {
                        auto *box = qobject_cast<QMessageBox *>(done);
                        seen.success = box->text();
                        box->button(QMessageBox::Ok)->click();
                    },
                    process);
                process->close();
            },
            ask);
        ask->button(QMessageBox::Ok)->click();
    });
}

} // namespace

class TstSquelch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { ModalHelper::verifyAllAnswered(); }

    // The table and its rules, without widgets.
    void rowTable();
    void displayText_data();
    void displayText();
    void commitText_data();
    void commitText();
    void rescale_data();
    void rescale();

    // The window.
    void layoutAndCaptions_data();
    void layoutAndCaptions();
    void everyRowReachable();
    void displayLeavesImageAlone();
    void editingCommits_data();
    void editingCommits();
    void editingKeys();
    void testFrames_data();
    void testFrames();
    void secondTestWhileDraining();
    void testWithoutPortIsSilent();
    void zeroReferenceTestIsRefused_data();
    void zeroReferenceTestIsRefused();
    void modifyRescalesWithoutSending();
    void modifyRefusesOnlyAZeroReference_data();
    void modifyRefusesOnlyAZeroReference();
    void readLeavesReferenceRows_data();
    void readLeavesReferenceRows();
    void writeSendsTableOnly();
    void openedFromTreeNode();

private:
    QTemporaryDir m_dir;
};

void TstSquelch::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
}

void TstSquelch::init()
{
    SettingsStore::openSettings().clear();
    // The write as the original program has it; the backed-up, previewed write is tested apart.
    ImageSession::setSafeWriteEnabled(false);
}

void TstSquelch::rowTable()
{
    const QList<SquelchTable::Row> &rows = SquelchTable::rows();
    QCOMPARE(rows.size(), 76);

    struct Expected
    {
        int index;
        Table table;
        int level;
        int group, line;
        int onWord;
        QString label;
    };
    const Expected cases[] = {
        {0, Table::Fm, 1, 0, 0, 128, "1"},          {14, Table::Fm, 15, 0, 14, 156, "15"},
        {15, Table::Squelch, 1, 2, 0, 158, "1"},    {20, Table::Squelch, 6, 2, 5, 168, "6"},
        {30, Table::Squelch, 16, 3, 0, 188, "16"},  {45, Table::Squelch, 31, 4, 0, 218, "31"},
        {58, Table::Squelch, 44, 4, 13, 244, "44"}, {59, Table::Am, 1, 1, 0, 246, "1"},
        {73, Table::Am, 15, 1, 14, 274, "15"},      {74, Table::Am, 0, 1, 15, 276, ""},
        {75, Table::Fm, 0, 0, 15, 278, ""},
    };
    for (const Expected &e : cases) {
        const SquelchTable::Row r = SquelchTable::row(e.index);
        QCOMPARE(r.table, e.table);
        QCOMPARE(r.level, e.level);
        QCOMPARE(r.group, e.group);
        QCOMPARE(r.line, e.line);
        QCOMPARE(r.onWord(), e.onWord);
        QCOMPARE(r.offWord(), e.onWord + 1);
        QCOMPARE(r.levelText(), e.label);
        QCOMPARE(r.reference, e.index >= 74);
    }
    // Every place in the five groups is taken once.
    QSet<QPair<int, int>> places;
    for (const SquelchTable::Row &r : rows)
        places.insert({r.group, r.line});
    QCOMPARE(places.size(), 76);
}

void TstSquelch::displayText_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<QString>("shown");
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("ordinary") << 1234 << "1234";
    QTest::newRow("largest") << 60000 << "60000";
    QTest::newRow("just above") << 60001 << "100";
    QTest::newRow("far above") << Int32Max << "100";
    QTest::newRow("minus one") << -1 << "0";
    QTest::newRow("most negative") << Int32Min << "0";
}

void TstSquelch::displayText()
{
    QFETCH(int, word);
    QFETCH(QString, shown);
    QCOMPARE(SquelchTable::displayText(word), shown);
}

void TstSquelch::commitText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("writes");
    QTest::addColumn<int>("value");
    QTest::newRow("number") << "1500" << 7 << "1500" << true << 1500;
    QTest::newRow("leading zeros") << "0042" << 7 << "42" << true << 42;
    QTest::newRow("largest") << "60000" << 7 << "60000" << true << 60000;
    QTest::newRow("too large") << "70000" << 7 << "100" << true << 100;
    QTest::newRow("eight nines") << "99999999" << 7 << "100" << true << 100;
    QTest::newRow("beyond any integer") << "123456789012345678901234" << 7 << "100" << true << 100;
    QTest::newRow("negative") << "-5" << 7 << "0" << true << 0;
    QTest::newRow("empty") << "" << 1234 << "1234" << false << 0;
    QTest::newRow("empty, stored too large") << "" << 70000 << "100" << false << 0;
    QTest::newRow("empty, stored negative") << "" << -3 << "0" << false << 0;
    QTest::newRow("letters") << "abc" << 1234 << "1234" << false << 0;
    QTest::newRow("digits and letters") << "12ab" << 1234 << "1234" << false << 0;
    QTest::newRow("decimal") << "12.5" << 1234 << "1234" << false << 0;
}

void TstSquelch::commitText()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(bool, writes);
    QFETCH(int, value);
    const SquelchTable::Commit commit = SquelchTable::commitText(typed, stored);
    QCOMPARE(commit.text, shown);
    QCOMPARE(commit.value.has_value(), writes);
    if (writes)
        QCOMPARE(*commit.value, value);
}

void TstSquelch::rescale_data()
{
    // The first pairs of a table (the rest of its 15 pairs are 0 and stay 0), the reference pair,
    // and the pairs afterwards.
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<int>("referenceOn");
    QTest::addColumn<int>("referenceOff");
    QTest::addColumn<QList<int>>("after");

    QTest::newRow("scaled by the reference")
        << QList<int>{200, 100, 300, 150} << 250 << 120 << QList<int>{250, 120, 375, 180};
    QTest::newRow("12.5 down, 13.5 up")
        << QList<int>{2, 2, 5, 3} << 5 << 9 << QList<int>{5, 9, 12, 14};
    QTest::newRow("-2.5 to -2") << QList<int>{2, 2, -1, 2} << 5 << 2 << QList<int>{5, 2, -2, 2};
    QTest::newRow("zero first on skips the on column")
        << QList<int>{0, 100, 40, 50} << 7 << 200 << QList<int>{0, 200, 40, 100};
    QTest::newRow("zero first off skips the off column")
        << QList<int>{100, 0, 50, 40} << 200 << 7 << QList<int>{200, 0, 100, 40};
    QTest::newRow("overflow is clamped") << QList<int>{1, 1, 60000, -60000} << Int32Max << 100000
                                         << QList<int>{Int32Max, 100000, Int32Max, Int32Min};
}

void TstSquelch::rescale()
{
    QFETCH(QList<int>, before);
    QFETCH(int, referenceOn);
    QFETCH(int, referenceOff);
    QFETCH(QList<int>, after);

    QList<std::int32_t> table(30, 0);
    QList<std::int32_t> expected(30, 0);
    for (int i = 0; i < before.size(); ++i) {
        table[i] = before[i];
        expected[i] = after[i];
    }
    QCOMPARE(SquelchTable::rescaled(table, referenceOn, referenceOff), expected);

    // The same in the image, for the AM table; nothing outside the table moves.
    RadioImage image;
    for (int w = 240; w < 290; ++w)
        image.WriteImageWord(w, 11);
    for (int i = 0; i < 30; ++i)
        image.WriteImageWord(246 + i, table[i]);
    image.WriteImageWord(276, referenceOn);
    image.WriteImageWord(277, referenceOff);
    const auto words = SquelchTable::rescaleOf(image, SquelchTable::AmRescale);
    QCOMPARE(words.size(), 30);
    for (const auto &[word, value] : words)
        image.WriteImageWord(word, value);
    for (int i = 0; i < 30; ++i) {
        QCOMPARE(words.at(i).first, 246 + i);
        QCOMPARE(image.ReadImageWord(246 + i), expected[i]);
    }
    QCOMPARE(image.ReadImageWord(245), 11);
    QCOMPARE(image.ReadImageWord(276), referenceOn);
    QCOMPARE(image.ReadImageWord(277), referenceOff);
    QCOMPARE(image.ReadImageWord(278), 11);
}

void TstSquelch::layoutAndCaptions_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("captions"); // ASQ On, ASQ Off, SQ On, SQ Off
    QTest::addColumn<QStringList>("buttons");  // Test, Modify, Read Tune, Write Tune
    QTest::addColumn<QStringList>("names");    // four accessible names
    QTest::newRow("English") << true << QStringList{"ASQ On", "ASQ Off", "SQ On", "SQ Off"}
                             << QStringList{"Test", "Modify", "Read Tune", "Write Tune"}
                             << QStringList{"FM 3 ASQ On", "SQ 6 SQ Off", "AM reference ASQ On",
                                            "Test FM 3"};
    QTest::newRow("Chinese") << false << QStringList{"ASQ开启", "ASQ关闭", "SQ开启", "SQ关闭"}
                             << QStringList{"测试", "校准", "读调谐数据", "写调谐数据"}
                             << QStringList{"FM 3 ASQ开启", "SQ 6 SQ关闭", "AM 参考 ASQ开启",
                                            "测试 FM 3"};
}

void TstSquelch::layoutAndCaptions()
{
    QFETCH(bool, english);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, buttons);
    QFETCH(QStringList, names);

    Program p(english);
    FormTuneSq *form = p.openSq();
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("SQ"));
    QCOMPARE(form->findChildren<QLineEdit *>().size(), 152);

    auto label = [form](const QString &name) {
        auto *l = form->findChild<QLabel *>(name);
        return l ? l->text() : QStringLiteral("<missing %1>").arg(name);
    };
    QCOMPARE(label("LabelIndex(0)"), QStringLiteral("FM"));
    QCOMPARE(label("LabelIndex(4)"), QStringLiteral("AM"));
    for (int k : {0, 4}) {
        QCOMPARE(label(QStringLiteral("LabelSqOn(%1)").arg(k)), captions[0]);
        QCOMPARE(label(QStringLiteral("LabelSqOff(%1)").arg(k)), captions[1]);
    }
    for (int k : {1, 2, 3}) {
        QCOMPARE(label(QStringLiteral("LabelIndex(%1)").arg(k)), QString());
        QCOMPARE(label(QStringLiteral("LabelSqOn(%1)").arg(k)), captions[2]);
        QCOMPARE(label(QStringLiteral("LabelSqOff(%1)").arg(k)), captions[3]);
    }
    for (int i = 0; i < 76; ++i) {
        QCOMPARE(form->commandTest(i)->text(), buttons[0]);
        QVERIFY(!form->commandTest(i)->accessibleName().isEmpty());
    }
    for (int i = 0; i < 74; ++i) {
        QCOMPARE(form->labelSqLevel(i)->text(), SquelchTable::row(i).levelText());
        QCOMPARE(form->labelSqLevel(i)->buddy(), form->textSq(2 * i));
    }
    QCOMPARE(label("LabelSqLevel(20)"), QStringLiteral("6"));
    QCOMPARE(label("LabelSqLevel(73)"), QStringLiteral("15"));
    QVERIFY(!form->findChild<QLabel *>(QStringLiteral("LabelSqLevel(74)")));
    for (int t = 0; t < 2; ++t)
        QCOMPARE(form->commandModify(t)->text(), buttons[1]);
    QCOMPARE(form->findChild<QPushButton *>(QStringLiteral("CommandRead"))->text(), buttons[2]);
    QCOMPARE(form->findChild<QPushButton *>(QStringLiteral("CommandWrite"))->text(), buttons[3]);

    QCOMPARE(form->textSq(4)->accessibleName(), names[0]);
    QCOMPARE(form->textSq(41)->accessibleName(), names[1]);
    QCOMPARE(form->textSq(148)->accessibleName(), names[2]);
    QCOMPARE(form->commandTest(2)->accessibleName(), names[3]);
    QCOMPARE(form->textSq(148)->toolTip(), names[2]);
    for (int k = 0; k < 152; ++k)
        QVERIFY2(!form->textSq(k)->accessibleName().isEmpty(), qPrintable(QString::number(k)));

    // Left to right: FM, AM, then the three columns of squelch levels, rows aligned.
    auto x = [form](QWidget *w) { return w->mapTo(form, QPoint(0, 0)).x(); };
    auto y = [form](QWidget *w) { return w->mapTo(form, QPoint(0, 0)).y(); };
    const QList<int> firstRowOfGroup = {0, 59, 15, 30, 45};
    for (int g = 0; g + 1 < 5; ++g)
        QVERIFY(x(form->textSq(2 * firstRowOfGroup[g + 1]))
                > x(form->commandTest(firstRowOfGroup[g])));
    for (int g = 1; g < 5; ++g)
        QCOMPARE(y(form->textSq(2 * firstRowOfGroup[g])), y(form->textSq(0)));
    // Each header stands over its column.
    QCOMPARE(x(form->findChild<QLabel *>(QStringLiteral("LabelSqOn(4)"))), x(form->textSq(118)));
    QCOMPARE(x(form->findChild<QLabel *>(QStringLiteral("LabelSqOff(3)"))), x(form->textSq(91)));
    // Reference rows under their tables, Modify under them.
    QCOMPARE(x(form->textSq(150)), x(form->textSq(0)));
    QVERIFY(y(form->textSq(150)) > y(form->textSq(28)));
    QCOMPARE(x(form->textSq(148)), x(form->textSq(118)));
    QVERIFY(y(form->commandModify(0)) > y(form->textSq(150)));
    QVERIFY(y(form->commandModify(1)) > y(form->textSq(148)));
    QVERIFY(x(form->commandModify(1)) > x(form->commandTest(75)));
}

void TstSquelch::everyRowReachable()
{
    Program p;
    p.window->resize(1280, 800);
    FormTuneSq *form = p.openSq();
    auto *scroll = form->findChild<QScrollArea *>(QStringLiteral("SquelchScroll"));
    QVERIFY(scroll);
    QCoreApplication::processEvents();
    const int widest = form->textSq(0)->fontMetrics().horizontalAdvance(QStringLiteral("60000"));
    for (int k = 0; k < 152; ++k) {
        QLineEdit *box = form->textSq(k);
        scroll->ensureWidgetVisible(box, 0, 0);
        const QRect inViewport(box->mapTo(scroll->viewport(), QPoint(0, 0)), box->size());
        QVERIFY2(scroll->viewport()->rect().contains(inViewport),
                 qPrintable(QStringLiteral("%1 %2,%3 %4x%5 in %6x%7")
                                .arg(box->objectName())
                                .arg(inViewport.x())
                                .arg(inViewport.y())
                                .arg(inViewport.width())
                                .arg(inViewport.height())
                                .arg(scroll->viewport()->width())
                                .arg(scroll->viewport()->height())));
        QVERIFY(box->isVisibleTo(form));
        QVERIFY(box->contentsRect().width() > widest);
    }
}

void TstSquelch::displayLeavesImageAlone()
{
    Program p;
    p.state.image.WriteImageWord(128, 70000);
    p.state.image.WriteImageWord(129, -5);
    p.state.image.WriteImageWord(200, 60000);
    p.state.image.WriteImageWord(279, 60001);
    const RadioImage before = p.state.image;
    FormTuneSq *form = p.openSq();
    QCOMPARE(form->textSq(0)->text(), QStringLiteral("100"));
    QCOMPARE(form->textSq(1)->text(), QStringLiteral("0"));
    QCOMPARE(form->textSq(72)->text(), QStringLiteral("60000"));
    QCOMPARE(form->textSq(151)->text(), QStringLiteral("100"));
    QCOMPARE(form->textSq(2)->text(), QStringLiteral("0"));
    // Passing through the boxes changes nothing either.
    leaveBox(form, 0);
    leaveBox(form, 1);
    QVERIFY(p.state.image == before);
}

void TstSquelch::editingCommits_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("word");
    QTest::newRow("value, leaving") << 5 << "1500" << false << "1500" << 1500;
    QTest::newRow("value, Enter") << 5 << "1500" << true << "1500" << 1500;
    QTest::newRow("too large, leaving") << 5 << "70000" << false << "100" << 100;
    QTest::newRow("too large, Enter") << 5 << "70000" << true << "100" << 100;
    QTest::newRow("cleared restores") << 1234 << "" << false << "1234" << 1234;
    QTest::newRow("cleared restores, Enter") << 1234 << "" << true << "1234" << 1234;
    // The box shows what the image holds: clearing it stores the value it shows.
    QTest::newRow("cleared, stored too large") << 70000 << "" << false << "100" << 100;
}

void TstSquelch::editingCommits()
{
    QFETCH(int, stored);
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(QString, shown);
    QFETCH(int, word);

    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p;
    constexpr int Box = 41; // row 20, off: word 169
    p.state.image.WriteImageWord(169, stored);
    FormTuneSq *form = p.openSq();
    QLineEdit *edit = form->textSq(Box);

    typeInto(form, Box, typed);
    if (enter) {
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->selectedText(), shown);
        QVERIFY(edit->hasFocus());
    } else {
        form->textSq(0)->setFocus();
        QVERIFY(!edit->hasSelectedText());
    }
    QCOMPARE(edit->text(), shown);
    QCOMPARE(p.state.image.ReadImageWord(169), word);

    // Nothing went to the radio on the edit: the first frame it sees is the Test below.
    form->commandTest(0)->click();
    QTRY_COMPARE(radio.liveFrames().size(), 1);
    QCOMPARE(radio.liveFrames().first().wordAddress, 128);
    QTRY_VERIFY(!form->sender().isBusy());
    QCOMPARE(radio.liveFrames().size(), 1);
}

void TstSquelch::editingKeys()
{
    Program p;
    p.state.image.WriteImageWord(130, 77);
    FormTuneSq *form = p.openSq();
    QLineEdit *edit = form->textSq(2);

    // Letters, signs and the decimal separator are swallowed; digits go in.
    typeInto(form, 2, QStringLiteral("1a-2.b3 "));
    QCOMPARE(edit->text(), QStringLiteral("123"));
    // At most eight digits.
    typeInto(form, 2, QStringLiteral("1234567890"));
    QCOMPARE(edit->text(), QStringLiteral("12345678"));
    // With the text selected, a digit replaces it.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_4);
    QCOMPARE(edit->text(), QStringLiteral("4"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString());
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(edit->text(), QStringLiteral("77"));
    QCOMPARE(p.state.image.ReadImageWord(130), 77);

    // Pasted text that is no number is treated like an empty box.
    edit->setFocus();
    edit->selectAll();
    edit->insert(QStringLiteral("12ab"));
    QVERIFY(edit->isModified());
    form->textSq(0)->setFocus();
    QCOMPARE(edit->text(), QStringLiteral("77"));
    QCOMPARE(p.state.image.ReadImageWord(130), 77);
}

void TstSquelch::testFrames_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("frame");
    // Words 168/169 hold 0x1234 and 0x00ABCDEF, 276/277 500 and 400, 278/279 250 and 120.
    QTest::newRow("row 20, squelch level 6")
        << 20 << QByteArray::fromHex("54554e4506a8000234120000efcdab00");
    QTest::newRow("row 74, AM reference to 246")
        << 74 << QByteArray::fromHex("54554e4506f60002f401000090010000");
    QTest::newRow("row 75, FM reference to 128")
        << 75 << QByteArray::fromHex("54554e4506800002fa00000078000000");
}

void TstSquelch::testFrames()
{
    QFETCH(int, row);
    QFETCH(QByteArray, frame);

    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p;
    RadioImage &image = p.state.image;
    image.WriteImageWord(168, 0x1234);
    image.WriteImageWord(169, 0x00ABCDEF);
    image.WriteImageWord(276, 500);
    image.WriteImageWord(277, 400);
    image.WriteImageWord(278, 250);
    image.WriteImageWord(279, 120);
    const RadioImage before = image;
    FormTuneSq *form = p.openSq();

    form->commandTest(row)->click();
    QTRY_COMPARE(radio.liveFrames().size(), 1);
    QCOMPARE(radio.liveFrames().first().frame, frame);
    QCOMPARE(radio.receivedBytes(), frame);
    QTRY_VERIFY(!form->sender().isBusy());
    QVERIFY(image == before);
}

void TstSquelch::secondTestWhileDraining()
{
    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p;
    p.state.image.WriteImageWord(168, 300);
    FormTuneSq *form = p.openSq();

    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    form->commandTest(20)->click();
    QVERIFY(form->sender().isBusy());
    whenModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    form->commandTest(21)->click();
    QCOMPARE(text, QStringLiteral("Port is running"));
    QCOMPARE(title, QStringLiteral("RQ73 Tune"));
    QCOMPARE(icon, QMessageBox::Critical);

    QTRY_COMPARE(radio.liveFrames().size(), 1);
    QCOMPARE(radio.liveFrames().first().wordAddress, 168);
    QTRY_VERIFY(!form->sender().isBusy());

    // Once the first frame is out, the next Test goes; the refused one never went.
    form->commandTest(21)->click();
    QTRY_COMPARE(radio.liveFrames().size(), 2);
    QCOMPARE(radio.liveFrames().last().wordAddress, 170);
    QCOMPARE(radio.receivedBytes().size(), 32);
}

void TstSquelch::testWithoutPortIsSilent()
{
    SettingsStore::openSettings().setValue(QStringLiteral("Ports/COM%1").arg(RadioPort),
                                           QStringLiteral("/nonexistent/rq73-squelch-port"));
    Program p;
    p.state.image.WriteImageWord(168, 300);
    const RadioImage before = p.state.image;
    FormTuneSq *form = p.openSq();
    form->commandTest(20)->click();
    // The frame is dropped at once and quietly; the next Test is not refused.
    QVERIFY(!form->sender().isBusy());
    QVERIFY(!QApplication::activeModalWidget());
    form->commandTest(20)->click();
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(p.state.image == before);
}

// A reference row's Test goes to the first pair of its table; after a read the reference rows
// are 0 (they are never read), and 0 and 0 would be no threshold at all.
void TstSquelch::zeroReferenceTestIsRefused_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("on");
    QTest::addColumn<int>("off");
    QTest::addColumn<bool>("sent");
    QTest::newRow("AM reference, both 0") << 74 << 0 << 0 << false;
    QTest::newRow("FM reference, both 0") << 75 << 0 << 0 << false;
    QTest::newRow("FM reference, off 0") << 75 << 250 << 0 << true;
    QTest::newRow("level row, both 0") << 20 << 0 << 0 << true;
}

void TstSquelch::zeroReferenceTestIsRefused()
{
    QFETCH(int, row);
    QFETCH(int, on);
    QFETCH(int, off);
    QFETCH(bool, sent);

    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p;
    const int word = SquelchTable::row(row).onWord();
    p.state.image.WriteImageWord(word, on);
    p.state.image.WriteImageWord(word + 1, off);
    FormTuneSq *form = p.openSq();

    QString name, text;
    if (!sent) {
        whenModal([&](QWidget *modal) {
            name = modal->objectName();
            text = qobject_cast<QMessageBox *>(modal)->text();
            qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Ok)->click();
        });
    }
    form->commandTest(row)->click();
    if (sent) {
        QTRY_COMPARE(radio.liveFrames().size(), 1);
        return;
    }
    QCOMPARE(name, QStringLiteral("TestRefused"));
    QCOMPARE(text, QStringLiteral("Nothing was sent: both values of the reference row are 0, and "
                                  "the reference rows are never read from the radio. Enter the "
                                  "reference values first."));
    QVERIFY(!form->sender().isBusy());
    radio.takeWaitingInput();
    QVERIFY(radio.receivedBytes().isEmpty());
}

void TstSquelch::modifyRescalesWithoutSending()
{
    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p;
    RadioImage &image = p.state.image;
    image.WriteImageWord(128, 200);
    image.WriteImageWord(129, 100);
    image.WriteImageWord(130, 300);
    image.WriteImageWord(131, 150);
    image.WriteImageWord(278, 250);
    image.WriteImageWord(279, 120);
    image.WriteImageWord(246, 4);
    image.WriteImageWord(247, 0);
    image.WriteImageWord(248, 10);
    image.WriteImageWord(249, 9);
    image.WriteImageWord(276, 6);
    image.WriteImageWord(277, 50);
    FormTuneSq *form = p.openSq();

    form->commandModify(0)->click();
    const QList<int> fm = {250, 120, 375, 180};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(image.ReadImageWord(128 + i), fm[i]);
        QCOMPARE(form->textSq(i)->text(), QString::number(fm[i]));
    }
    // The AM table is untouched until its own Modify; its off column starts at 0 and stays.
    QCOMPARE(image.ReadImageWord(246), 4);
    form->commandModify(1)->click();
    const QList<int> am = {6, 0, 15, 9};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(image.ReadImageWord(246 + i), am[i]);
        QCOMPARE(form->textSq(118 + i)->text(), QString::number(am[i]));
    }

    // Nothing went out: the radio's first frame is this Test, with the rescaled values.
    form->commandTest(0)->click();
    QTRY_COMPARE(radio.liveFrames().size(), 1);
    QCOMPARE(radio.liveFrames().first().frame,
             QByteArray::fromHex("54554e4506800002fa00000078000000"));
}

// Modify scales each column by its reference over its first value; a column whose first value
// is 0 is left as it is, and only a reference of 0 that would be used is refused.
void TstSquelch::modifyRefusesOnlyAZeroReference_data()
{
    QTest::addColumn<QList<int>>("reference"); // words 278, 279
    QTest::addColumn<QList<int>>("table");     // words 128 to 131
    QTest::addColumn<QList<int>>("after");     // empty: refused, nothing changes
    QTest::newRow("first on value 0: the off column is scaled")
        << QList<int>{250, 120} << QList<int>{0, 100, 300, 150} << QList<int>{0, 120, 300, 180};
    QTest::newRow("first off value 0: the on column is scaled")
        << QList<int>{250, 120} << QList<int>{200, 0, 300, 150} << QList<int>{250, 0, 375, 150};
    QTest::newRow("reference on 0") << QList<int>{0, 120} << QList<int>{200, 100, 300, 150}
                                    << QList<int>{};
    QTest::newRow("reference off 0") << QList<int>{250, 0} << QList<int>{200, 100, 300, 150}
                                     << QList<int>{};
    QTest::newRow("reference on 0 over a first value of 0")
        << QList<int>{0, 120} << QList<int>{0, 100, 300, 150} << QList<int>{0, 120, 300, 180};
}

void TstSquelch::modifyRefusesOnlyAZeroReference()
{
    QFETCH(QList<int>, reference);
    QFETCH(QList<int>, table);
    QFETCH(QList<int>, after);
    Program p;
    RadioImage &image = p.state.image;
    image.WriteImageWord(278, reference[0]);
    image.WriteImageWord(279, reference[1]);
    for (int i = 0; i < 4; ++i)
        image.WriteImageWord(128 + i, table[i]);
    FormTuneSq *form = p.openSq();

    QString name, text;
    if (after.isEmpty()) {
        whenModal([&](QWidget *modal) {
            name = modal->objectName();
            text = qobject_cast<QMessageBox *>(modal)->text();
            qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Ok)->click();
        });
    }
    form->commandModify(0)->click();
    if (after.isEmpty()) {
        QCOMPARE(name, QStringLiteral("ModifyRefused"));
        QCOMPARE(text, QStringLiteral("The table was not changed: its reference row holds 0, and "
                                      "scaling to 0 would lose every threshold of the column. "
                                      "Enter the reference row first."));
        after = table;
    }
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(image.ReadImageWord(128 + i), after[i]);
        QCOMPARE(form->textSq(i)->text(), QString::number(after[i]));
    }
}

void TstSquelch::readLeavesReferenceRows_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("success");
    QTest::newRow("English") << true << "Read tune data from radio.Do you wish continue?"
                             << "Read data successful";
    QTest::newRow("Chinese") << false << "从对讲机读取调谐数据？"
                             << "读取数据成功";
}

void TstSquelch::readLeavesReferenceRows()
{
    QFETCH(bool, english);
    QFETCH(QString, question);
    QFETCH(QString, success);

    SimulatedRadio radio;
    radio.memory() = patternMemory();
    for (int w = 128; w < 280; ++w)
        radio.setMemoryWord(w, 1000 + w); // shown as they are
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p(english);
    RadioImage &image = p.state.image;
    for (int w : {276, 277, 278, 279})
        image.WriteImageWord(w, 5 * w);
    image.WriteImageWord(127, 42);
    FormTuneSq *form = p.openSq();

    Answers seen;
    answerTransfer(seen);
    form->findChild<QPushButton *>(QStringLiteral("CommandRead"))->click();

    QCOMPARE(seen.question, question);
    QCOMPARE(seen.questionTitle, QStringLiteral("RQ73 Tune"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.success, success);
    QVERIFY(p.state.TransferSucceeded);
    // Only the squelch table was asked for, in five blocks.
    QCOMPARE(radio.requests().size(), 5);
    for (const SimulatedRadio::Request &r : radio.requests())
        QCOMPARE(r.operation, 4);
    QCOMPARE(radio.requests().first().firstWord, 128);
    for (int w = 128; w <= 275; ++w) {
        QCOMPARE(image.ReadImageWord(w), 1000 + w);
        QCOMPARE(form->textSq(w - 128)->text(), QString::number(1000 + w));
    }
    for (int w : {276, 277, 278, 279}) {
        QCOMPARE(image.ReadImageWord(w), 5 * w);
        QCOMPARE(form->textSq(w - 128)->text(), QString::number(5 * w));
    }
    QCOMPARE(image.ReadImageWord(127), 42);
}

void TstSquelch::writeSendsTableOnly()
{
    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(RadioPort));
    Program p;
    // Data from a file, so the write needs no question beyond its own.
    RadioImage image;
    for (int w = 0; w < 300; ++w)
        image.WriteImageWord(w, 3 * w + 1);
    const QString path = m_dir.filePath(QStringLiteral("table.rdat"));
    QVERIFY(WriteToFile(path, image, 5).ok());
    QVERIFY(p.window->session().open(path).ok());
    FormTuneSq *form = p.openSq();

    Answers seen;
    answerTransfer(seen);
    form->findChild<QPushButton *>(QStringLiteral("CommandWrite"))->click();

    QCOMPARE(seen.question, QStringLiteral("Write tune data into radio.Do you wish continue?"));
    QCOMPARE(seen.success, QStringLiteral("Write data successful"));
    QCOMPARE(radio.requests().size(), 5);
    for (int w = 0; w < 512; ++w)
        QCOMPARE(radio.memoryWord(w), w >= 128 && w <= 275 ? 3 * w + 1 : 0);
}

void TstSquelch::openedFromTreeNode()
{
    Program p;
    auto *tree = p.window->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
    QTreeWidgetItem *node = tree->topLevelItem(0)->child(1);
    QCOMPARE(node->text(0), QStringLiteral("SQ"));
    emit tree->itemClicked(node, 0);
    FormTuneSq *form = p.window->formTuneSq();
    QVERIFY(form);
    QCOMPARE(p.window->mdiArea()->activeSubWindow()->widget(), form);
    QCOMPARE(form->commandNumber(), 1003);
    QCOMPARE(form->checkFirst(), 1000);
    QCOMPARE(form->checkLast(), 1007);
}

QTEST_MAIN(TstSquelch)
#include "tst_squelch.moc"
