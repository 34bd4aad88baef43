// Widgets the program draws its own way, for speed, look as Qt draws them: to the pixel, or
// within one level where a picture is reused.

#include "cachedfusionstyle.h"
#include "captionlabel.h"
#include "tunefont.h"
#include "valuemarks.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

// How two pictures differ, or an empty text when they do not beyond `levels` in any colour
// channel of any pixel.
QString difference(const QImage &a, const QImage &b, int levels = 0)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes %1x%2 and %3x%4")
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height());
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    int worst = 0;
    QPoint where;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            if (d > 0)
                ++count;
            if (d > worst) {
                worst = d;
                where = QPoint(col, row);
            }
        }
    }
    if (worst <= levels)
        return QString();
    return QStringLiteral("%1 pixels differ, by up to %2 levels, the most at (%3, %4)")
        .arg(count)
        .arg(worst)
        .arg(where.x())
        .arg(where.y());
}

bool fusion()
{
    return QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
}

using Maker = std::function<QWidget *(QWidget *)>;

// A window-coloured page holding one control at a given size; what the page shows is the
// picture compared.
struct Page
{
    QWidget page;
    QWidget *control = nullptr;
    explicit Page(const Maker &make, QSize size)
    {
        page.setAutoFillBackground(true);
        page.resize(size + QSize(20, 20));
        control = make(&page);
        control->setGeometry(QRect(QPoint(10, 10), size));
    }
    QImage picture() { return page.grab().toImage(); }
};

} // namespace

Q_DECLARE_METATYPE(Maker)

class TstDrawing : public QObject
{
    Q_OBJECT

private slots:
    void reusedPicturesLookAsTheStyleDraws_data()
    {
        QTest::addColumn<Maker>("make");
        QTest::addColumn<QSize>("size");
        const Maker groupBox = [](QWidget *parent) -> QWidget * {
            auto *box = new QGroupBox(QStringLiteral("RX Setting"), parent);
            box->setFont(tuneWindowFont());
            return box;
        };
        const Maker untitled = [](QWidget *parent) -> QWidget * { return new QGroupBox(parent); };
        // The tune window's frames, a tall one, and ones too small to stretch.
        QTest::newRow("frame 286x119") << groupBox << QSize(286, 119);
        QTest::newRow("frame 488x539") << groupBox << QSize(488, 539);
        QTest::newRow("frame 587x203") << groupBox << QSize(587, 203);
        QTest::newRow("frame without a title") << untitled << QSize(200, 150);
        QTest::newRow("frame too small") << groupBox << QSize(30, 40);
        // The value boxes: their panels are drawn once and copied.
        const auto box = [](const std::function<void(QLineEdit *)> &set) {
            return Maker([set](QWidget *parent) -> QWidget * {
                auto *edit = new QLineEdit(QStringLiteral("-300"), parent);
                edit->setFont(tuneWindowFont());
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                set(edit);
                return edit;
            });
        };
        QTest::newRow("value box") << box([](QLineEdit *) {}) << QSize(44, 22);
        QTest::newRow("read-only box")
            << box([](QLineEdit *e) { e->setReadOnly(true); }) << QSize(44, 22);
        QTest::newRow("disabled box")
            << box([](QLineEdit *e) { e->setEnabled(false); }) << QSize(44, 22);
        QTest::newRow("changed box")
            << box([](QLineEdit *e) { ValueMarks::apply(e, true, 5, false); }) << QSize(44, 22);
        QTest::newRow("unsent box")
            << box([](QLineEdit *e) { ValueMarks::apply(e, true, 5, true); }) << QSize(44, 22);
        QTest::newRow("wide box") << box([](QLineEdit *) {}) << QSize(300, 30);
        // The sliders and up/down buttons of a tune row.
        const auto slider = [](int low, int high, int value, bool enabled = true) {
            return Maker([=](QWidget *parent) -> QWidget * {
                auto *s = new QSlider(Qt::Horizontal, parent);
                s->setRange(low, high);
                s->setValue(value);
                s->setEnabled(enabled);
                return s;
            });
        };
        QTest::newRow("slider at 0") << slider(0, 100, 0) << QSize(257, 22);
        QTest::newRow("slider at 37") << slider(0, 100, 37) << QSize(257, 22);
        QTest::newRow("frequency slider") << slider(-300, 300, -120) << QSize(405, 22);
        QTest::newRow("disabled slider") << slider(0, 255, 200, false) << QSize(120, 22);
        const auto arrow = [](Qt::ArrowType type, bool down) {
            return Maker([=](QWidget *parent) -> QWidget * {
                auto *b = new QToolButton(parent);
                b->setArrowType(type);
                b->setDown(down);
                return b;
            });
        };
        QTest::newRow("up button") << arrow(Qt::UpArrow, false) << QSize(17, 11);
        QTest::newRow("down button") << arrow(Qt::DownArrow, false) << QSize(17, 11);
        QTest::newRow("pressed button") << arrow(Qt::UpArrow, true) << QSize(17, 11);
    }

    void reusedPicturesLookAsTheStyleDraws()
    {
        if (!fusion())
            QSKIP("the opaque drawing is only for the Fusion style");
        QFETCH(Maker, make);
        QFETCH(QSize, size);
        Page styled(make, size);
        Page plain(make, size);
        CachedFusionStyle::apply(styled.control);
        QVERIFY(styled.control->style() != plain.control->style());
        // Twice: the second picture is drawn from what the first one kept. A frame is stretched
        // from a picture whose edges vary by a level along their length, and a box's picture is
        // laid over its ground rather than drawn on it, so a pixel may land one level off.
        for (int i = 0; i < 2; ++i) {
            const QString differs = difference(styled.picture(), plain.picture(), 1);
            QVERIFY2(differs.isEmpty(), qPrintable(differs));
        }
    }

    // A box's picture is kept per state: the focused box is drawn as Fusion draws a focused box.
    void boxPictureFollowsItsFocus()
    {
        if (!fusion())
            QSKIP("the reused pictures are only for the Fusion style");
        QApplication::setCursorFlashTime(0);
        QWidget page;
        page.setAutoFillBackground(true);
        page.resize(120, 60);
        auto *other = new QLineEdit(QStringLiteral("1"), &page);
        other->setGeometry(10, 30, 44, 22);
        auto *edit = new QLineEdit(QStringLiteral("7"), &page);
        edit->setGeometry(10, 4, 44, 22);
        CachedFusionStyle::apply(edit);
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        const QImage unfocused = edit->grab().toImage();
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        const QImage focused = edit->grab().toImage();
        QVERIFY(!difference(focused, unfocused, 1).isEmpty());
        edit->setStyle(QApplication::style());
        const QString differs = difference(focused, edit->grab().toImage(), 1);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
    }

    void opaqueToolBarLooksAsTheStyleDraws()
    {
        if (!fusion())
            QSKIP("the opaque drawing is only for the Fusion style");
        auto picture = [](bool opaque) -> QImage {
            QMainWindow frame;
            QToolBar *bar = frame.addToolBar(QStringLiteral("Tools"));
            bar->setMovable(false);
            bar->addAction(QStringLiteral("Read"));
            bar->addSeparator();
            bar->addAction(QStringLiteral("Write"));
            if (opaque)
                CachedFusionStyle::apply(bar);
            frame.setCentralWidget(new QWidget);
            frame.resize(900, 200);
            frame.show();
            if (!QTest::qWaitForWindowExposed(&frame))
                return QImage();
            return frame.grab(bar->geometry()).toImage();
        };
        const QImage plain = picture(false);
        const QImage opaque = picture(true);
        QVERIFY(plain.width() > 800);
        const QString differs = difference(opaque, plain);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
    }

    // Leaving out the families the system lacks changes nothing of what is drawn.
    void tuneFontIsWhatTheWholeListGives()
    {
        QFont whole;
        whole.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                           QStringLiteral("Noto Sans CJK SC"),
                           QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK")});
        whole.setPointSize(9);
        whole.setHintingPreference(QFont::PreferFullHinting);
        const QFont tune = tuneWindowFont();
        QCOMPARE(QFontInfo(tune).family(), QFontInfo(whole).family());
        QCOMPARE(QFontInfo(tune).pointSize(), 9);
        for (const QString &text :
             {QStringLiteral("Low BandHigh   Power"), QStringLiteral("低频段高功率")}) {
            QLabel a(text);
            a.setFont(tune);
            QLabel b(text);
            b.setFont(whole);
            a.resize(a.sizeHint());
            b.resize(b.sizeHint());
            const QString differs = difference(a.grab().toImage(), b.grab().toImage());
            QVERIFY2(differs.isEmpty(), qPrintable(differs));
        }
    }

    // A caption is drawn where a label would draw it, and follows its text and font.
    void captionDrawsAsALabel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("alignment");
        QTest::newRow("English") << QStringLiteral("Low BandHigh   Power")
                                 << int(Qt::AlignLeft | Qt::AlignVCenter);
        QTest::newRow("Chinese") << QStringLiteral("低段高功率")
                                 << int(Qt::AlignLeft | Qt::AlignVCenter);
        QTest::newRow("right, top")
            << QStringLiteral("SQ1 On:") << int(Qt::AlignRight | Qt::AlignTop);
        QTest::newRow("centred") << QStringLiteral("Tx Deviation") << int(Qt::AlignCenter);
        QTest::newRow("mnemonic") << QStringLiteral("&Volume")
                                  << int(Qt::AlignLeft | Qt::AlignVCenter);
    }

    void captionDrawsAsALabel()
    {
        QFETCH(QString, text);
        QFETCH(int, alignment);
        QWidget page;
        page.setFont(tuneWindowFont());
        auto *caption = new CaptionLabel(text, &page);
        auto *label = new QLabel(text, &page);
        auto *box = new QLineEdit(&page);
        for (QLabel *l : {static_cast<QLabel *>(caption), label}) {
            l->setAlignment(Qt::Alignment(alignment));
            l->setBuddy(box);
        }
        QCOMPARE(caption->sizeHint(), label->sizeHint());
        const QSize size = label->sizeHint() + QSize(30, 12);
        caption->setGeometry(QRect(QPoint(0, 0), size));
        label->setGeometry(QRect(QPoint(0, 0), size));
        const QString differs = difference(caption->grab().toImage(), label->grab().toImage());
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
    }

    void captionFollowsTextAndFont()
    {
        QWidget page;
        page.setFont(tuneWindowFont());
        CaptionLabel caption(QStringLiteral("AM Volume"), &page);
        caption.grab();
        const QSize before = caption.sizeHint();
        caption.setText(QStringLiteral("AM Volume, a longer caption"));
        QVERIFY(caption.sizeHint().width() > before.width());
        QFont larger = caption.font();
        larger.setPointSize(18);
        const QSize longer = caption.sizeHint();
        caption.setFont(larger);
        QVERIFY(caption.sizeHint().height() > longer.height());

        QLabel label(caption.text(), &page);
        label.setFont(larger);
        label.resize(caption.sizeHint());
        caption.resize(caption.sizeHint());
        const QString differs = difference(caption.grab().toImage(), label.grab().toImage());
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        // Screen readers and buddies still see a label.
        QCOMPARE(caption.text(), label.text());
    }
};

QTEST_MAIN(TstDrawing)
#include "tst_drawing.moc"
