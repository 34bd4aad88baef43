// rq73-verify-bench: how long Program > Verify Radio takes against a radio paced at 115200 baud,
// from the command to the result, next to the time its bytes need on the wire. The transfer
// window is closed the moment it shows its result, as fast as no technician would.

#include "appstate.h"
#include "formcompare.h"
#include "formprocess.h"
#include "imagesession.h"
#include "simulatedradio.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int ComPort = 1;
constexpr int Runs = 7;

// Closes the transfer window as soon as its result line is up; returns when that happened.
void closeWhenDone(QElapsedTimer &clock, qint64 &doneNs)
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &clock, &doneNs] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *result = modal ? modal->findChild<QLineEdit *>(QStringLiteral("TextShow")) : nullptr;
        if (result && result->isVisibleTo(modal)) {
            doneNs = clock.nsecsElapsed();
            timer->stop();
            timer->deleteLater();
            modal->close();
        }
    });
    timer->start(1);
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

    SimulatedRadio radio;
    if (!radio.isOpen()) {
        out << "no pseudo-terminal: " << radio.errorString() << Qt::endl;
        return 1;
    }
    for (int i = 0; i < SimulatedRadio::MemorySize; ++i)
        radio.memory()[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    radio.registerAsComPort(ComPort);
    radio.setPaced(true);

    AppState state;
    state.ComPortNumber = ComPort;
    state.image.assign(radio.memory());
    // One word the radio holds differently, so the comparison has something to name.
    state.image.WriteImageWord(90, radio.memoryWord(90) + 1);
    ImageSession session(state);

    QList<double> toResult, total;
    qint64 bytes = 0;
    for (int i = 0; i < Runs; ++i) {
        radio.clearRecords();
        QElapsedTimer clock;
        qint64 doneNs = 0;
        clock.start();
        closeWhenDone(clock, doneNs);
        const VerifyOutcome outcome = session.verify(
            [](RadioImage &image, TransferKind kind, int port, const std::function<void()> &) {
                FormProcess process(image, kind, port);
                process.exec();
                return process.succeeded();
            });
        const QStringList lines = ImageCompare::describe(outcome.differences);
        const qint64 endNs = clock.nsecsElapsed();
        if (!outcome.transferred || lines.size() != 1) {
            out << "verify failed or found " << lines.size() << " differences" << Qt::endl;
            return 1;
        }
        toResult.append(doneNs / 1e9);
        total.append(endNs / 1e9);
        bytes = radio.receivedBytes().size() + radio.sentByteCount();
    }
    const double floor = bytes * double(SimulatedRadio::BitsPerByte) / SimulatedRadio::BaudRate;
    out << Qt::fixed << qSetRealNumberPrecision(4);
    out << "verify, paced at 115200 baud, " << Runs << " runs (median)" << Qt::endl;
    out << "command to result shown " << median(toResult) << " s, to compared list "
        << median(total) << " s, bytes " << bytes << ", wire floor " << floor << " s, ratio "
        << qSetRealNumberPrecision(3) << median(total) / floor << Qt::endl;
    return 0;
}
