// The COM port dialog: the ports it lists, Refresh, and what it tells about the selected port,
// with simulated radios registered as COM ports in settings of the test's own.

#include "appstate.h"
#include "formcomport.h"
#include "portprobe.h"
#include "settingsstore.h"
#include "simulatedradio.h"
#include "testsettings.h"
#include "translations.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Every COM number leads nowhere unless a radio claims it, so the machine's own ports never
// appear in a list.
void mapAllPortsNowhere()
{
    QSettings settings = SettingsStore::openSettings();
    settings.remove(QString());
    for (int n = 1; n <= 99; ++n)
        settings.setValue(QStringLiteral("Ports/COM%1").arg(n),
                          QStringLiteral("/nonexistent/rq73-comport-test%1").arg(n));
    settings.sync();
}

QStringList entries(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

struct Dialog
{
    AppState state;
    std::unique_ptr<FormComPort> form;
    QComboBox *combo = nullptr;
    QLabel *device = nullptr;
    QLabel *details = nullptr;

    explicit Dialog(int comPortNumber)
    {
        state.ComPortNumber = comPortNumber;
        form = std::make_unique<FormComPort>(state);
        combo = form->findChild<QComboBox *>(QStringLiteral("ComboComPort"));
        device = form->findChild<QLabel *>(QStringLiteral("LabelDevice"));
        details = form->findChild<QLabel *>(QStringLiteral("LabelPortDetails"));
    }
    template<typename T> T *child(const char *name) const
    {
        return form->findChild<T *>(QString::fromLatin1(name));
    }
};

} // namespace

class TstComPort : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsTheRadiosWithTheirDevices_data();
    void listsTheRadiosWithTheirDevices();
    void refreshPicksUpARadioThatAppeared();
    void refreshKeepsTheChosenEntry();
    void detailText_data();
    void detailText();
    void refusedPortsShowTheCommandWhole_data();
    void refusedPortsShowTheCommandWhole();
    void everyControlIsNamed_data();
    void everyControlIsNamed();

private:
    void setEnglish(bool english) { QVERIFY(m_translations.apply(english)); }

    QTemporaryDir m_dir;
    Translations m_translations;
};

void TstComPort::initTestCase()
{
    QVERIFY(m_dir.isValid());
    isolateSettings(m_dir.path());
}

void TstComPort::init()
{
    mapAllPortsNowhere();
}

void TstComPort::cleanup()
{
    setEnglish(true);
}

void TstComPort::listsTheRadiosWithTheirDevices_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("nothingMore");
    QTest::addColumn<QString>("refresh");
    QTest::newRow("English") << true << "The system reports nothing more about this port."
                             << "&Refresh";
    QTest::newRow("Chinese") << false << "系统没有提供此端口的更多信息。"
                             << "刷新(&R)";
}

void TstComPort::listsTheRadiosWithTheirDevices()
{
    QFETCH(bool, english);
    QFETCH(QString, nothingMore);
    QFETCH(QString, refresh);
    setEnglish(english);
    SimulatedRadio low, high;
    QVERIFY(low.registerAsComPort(3));
    QVERIFY(high.registerAsComPort(12));

    Dialog d(12);
    QCOMPARE(entries(d.combo), QStringList({"COM3", "COM12"}));
    QCOMPARE(d.combo->currentText(), QStringLiteral("COM12"));
    QCOMPARE(d.device->text(), high.devicePath());
    // A pseudo-terminal has no description, maker or USB id; the label says so.
    QCOMPARE(d.details->text(), nothingMore);
    QVERIFY(!d.details->isHidden());
    QCOMPARE(d.child<QPushButton>("CommandRefresh")->text(), refresh);

    d.combo->setCurrentIndex(0);
    QCOMPARE(d.device->text(), low.devicePath());
    QCOMPARE(d.details->text(), nothingMore);
    // Listing opened and closed the ports without a byte.
    QVERIFY(low.receivedBytes().isEmpty());
    QVERIFY(high.receivedBytes().isEmpty());
}

void TstComPort::refreshPicksUpARadioThatAppeared()
{
    QVERIFY(SettingsStore::WriteRegistryText(QStringLiteral("ComPort"), QStringLiteral("4")));
    Dialog d(4);
    QCOMPARE(d.combo->count(), 0);
    QVERIFY(d.device->text().startsWith(QStringLiteral("No port can be opened now.")));
    QVERIFY(d.details->isHidden());

    // The cable is plugged in while the dialog is open.
    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(7));
    d.child<QPushButton>("CommandRefresh")->click();
    QCOMPARE(entries(d.combo), QStringList({"COM7"}));
    QCOMPARE(d.combo->currentText(), QStringLiteral("COM7"));
    QCOMPARE(d.device->text(), radio.devicePath());
    QVERIFY(!d.details->isHidden());
    // As when the dialog opens: the port in use is not listed, so the first entry is used for
    // this run, and only OK stores it.
    QCOMPARE(d.state.ComPortNumber, 7);
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("ComPort")), QStringLiteral("4"));
    d.child<QPushButton>("CommandOK")->click();
    QCOMPARE(SettingsStore::ReadRegistryText(QStringLiteral("ComPort")), QStringLiteral("7"));
}

void TstComPort::refreshKeepsTheChosenEntry()
{
    auto first = std::make_unique<SimulatedRadio>();
    QVERIFY(first->registerAsComPort(9));
    Dialog d(9);
    QCOMPARE(entries(d.combo), QStringList({"COM9"}));

    // A port with a lower number appears: the chosen entry stays chosen.
    SimulatedRadio second;
    QVERIFY(second.registerAsComPort(2));
    d.child<QPushButton>("CommandRefresh")->click();
    QCOMPARE(entries(d.combo), QStringList({"COM2", "COM9"}));
    QCOMPARE(d.combo->currentText(), QStringLiteral("COM9"));
    QCOMPARE(d.device->text(), first->devicePath());

    // The chosen one goes away: the dialog's rule picks the first entry.
    first.reset();
    d.child<QPushButton>("CommandRefresh")->click();
    QCOMPARE(entries(d.combo), QStringList({"COM2"}));
    QCOMPARE(d.combo->currentText(), QStringLiteral("COM2"));
    QCOMPARE(d.device->text(), second.devicePath());
    QCOMPARE(d.state.ComPortNumber, 2);
}

void TstComPort::detailText_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("maker");
    QTest::addColumn<int>("vendor"); // -1: not known
    QTest::addColumn<int>("product");
    QTest::addColumn<QString>("text");
    QTest::newRow("USB cable") << true << "USB-Serial Controller"
                               << "Prolific Technology Inc." << 0x067b << 0x2303
                               << "Description: USB-Serial Controller\n"
                                  "Maker: Prolific Technology Inc.\n"
                                  "USB vendor:product ID: 067b:2303";
    QTest::newRow("USB cable, Chinese") << false << "FT232R USB UART"
                                        << "FTDI" << 0x0403 << 0x6001
                                        << "描述：FT232R USB UART\n"
                                           "制造商：FTDI\n"
                                           "USB 厂商:产品 ID：0403:6001";
    QTest::newRow("built-in port") << true << "16550A-compatible COM port"
                                   << "" << -1 << -1 << "Description: 16550A-compatible COM port";
    // Half an id says nothing an installer could look up.
    QTest::newRow("vendor only") << true << ""
                                 << "Silicon Labs" << 0x10c4 << -1 << "Maker: Silicon Labs";
    QTest::newRow("nothing known")
        << true << ""
        << "" << -1 << -1 << "The system reports nothing more about this port.";
}

void TstComPort::detailText()
{
    QFETCH(bool, english);
    QFETCH(QString, description);
    QFETCH(QString, maker);
    QFETCH(int, vendor);
    QFETCH(int, product);
    QFETCH(QString, text);
    setEnglish(english);
    PortDetails details;
    details.description = description;
    details.manufacturer = maker;
    if (vendor >= 0)
        details.vendorId = static_cast<quint16>(vendor);
    if (product >= 0)
        details.productId = static_cast<quint16>(product);
    QCOMPARE(FormComPort::detailText(details), text);
}

void TstComPort::refusedPortsShowTheCommandWhole_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("advice");
    QTest::newRow("English") << true
                             << "Some ports refused access. On Linux, add your user to the "
                                "dialout group with this command, then log out and in again:";
    QTest::newRow("Chinese") << false
                             << "部分端口拒绝访问。在 Linux 上，请用下面的命令把用户加入 dialout "
                                "组，然后注销并重新登录：";
}

void TstComPort::refusedPortsShowTheCommandWhole()
{
    QFETCH(bool, english);
    QFETCH(QString, advice);
    setEnglish(english);
    Dialog d(1);
    auto *label = d.child<QLabel>("LabelAdvice");
    auto *command = d.child<QLineEdit>("TextAccessCommand");
    // Nothing refused here: no advice.
    QVERIFY(label->isHidden());
    QVERIFY(command->isHidden());

    // A device that exists but may not be used, as for a user outside the dialout group.
    PortProbe refused;
    refused.someRefused = true;
    d.form->showPorts(refused);
    d.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.form.get()));
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), advice);
    QVERIFY(d.device->text().startsWith(english ? QStringLiteral("No port can be opened now.")
                                                : QStringLiteral("当前没有可以打开的端口。")));
    // Normal text that can be selected, not a greyed-out hint.
    for (const QLabel *l : {label, d.device}) {
        QCOMPARE(l->palette().color(QPalette::Active, QPalette::WindowText),
                 d.form->palette().color(QPalette::Active, QPalette::WindowText));
        QCOMPARE(l->palette().color(QPalette::Inactive, QPalette::WindowText),
                 d.form->palette().color(QPalette::Inactive, QPalette::WindowText));
    }
    QVERIFY(label->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
    QVERIFY(d.device->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));

    // The command in one piece, on one line, to copy as it is.
    QVERIFY(command->isVisible());
    QVERIFY(command->isReadOnly());
    QCOMPARE(command->text(), QStringLiteral("sudo usermod -aG dialout \"$USER\""));
    QVERIFY(QFontMetrics(command->font()).horizontalAdvance(command->text())
            < command->contentsRect().width());
    command->selectAll();
    QCOMPARE(command->selectedText(), command->text());
}

void TstComPort::everyControlIsNamed_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("refreshName");
    QTest::newRow("English") << true << "Refresh the list of ports";
    QTest::newRow("Chinese") << false << "刷新端口列表";
}

void TstComPort::everyControlIsNamed()
{
    QFETCH(bool, english);
    QFETCH(QString, refreshName);
    setEnglish(english);
    SimulatedRadio radio;
    QVERIFY(radio.registerAsComPort(5));
    Dialog d(5);
    PortProbe refused = PortProbe::run();
    refused.someRefused = true;
    d.form->showPorts(refused);

    QCOMPARE(d.child<QPushButton>("CommandRefresh")->accessibleName(), refreshName);
    QCOMPARE(d.child<QLabel>("LabelComPort")->buddy(), d.combo);
    QCOMPARE(d.child<QLabel>("LabelAdvice")->buddy(), d.child<QLineEdit>("TextAccessCommand"));
    // The combo box's own parts are not the dialog's; the label names its box.
    const QList<QWidget *> controls = d.form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 9);
    for (QWidget *w : controls) {
        if (w->objectName() == QLatin1String("LabelComPort"))
            continue;
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        // Named in the dialog's language.
        if (!english)
            QVERIFY2(w->accessibleName().contains(QRegularExpression(QStringLiteral("\\p{Han}"))),
                     qPrintable(w->objectName() + QLatin1Char(' ') + w->accessibleName()));
    }
}

QTEST_MAIN(TstComPort)
#include "tst_comport.moc"
