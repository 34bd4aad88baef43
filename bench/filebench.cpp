// rq73-filebench: how long Open takes from the user's OK on "cover current data?" to the tune
// data window painted with the loaded image, through the real main window; and what loading and
// saving the data file alone cost.

#include "appstate.h"
#include "settingsstore.h"
#include "datafile.h"
#include "formtune.h"
#include "mdiformmain.h"
#include "translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <map>

namespace {

constexpr int OpenRuns = 25;
constexpr int FileRuns = 2000;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Stands in for the user: chooses the file in the open dialog, then starts the clock and presses
// OK on the question.
class User : public QObject
{
public:
    User(QString path, QElapsedTimer &clock)
        : m_path(std::move(path))
        , m_clock(clock)
    {
        connect(&m_timer, &QTimer::timeout, this, &User::poll);
        m_timer.start(1);
    }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_last)
            return;
        m_last = modal;
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(m_path);
            QMetaObject::invokeMethod(
                dialog, [dialog] { static_cast<QDialog *>(dialog)->accept(); },
                Qt::QueuedConnection);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            m_clock.start();
            box->button(QMessageBox::Ok)->click();
        }
    }

    QString m_path;
    QElapsedTimer &m_clock;
    QTimer m_timer;
    QPointer<QWidget> m_last;
};

// Notes when each tune data window first paints.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(const QElapsedTimer &clock)
        : m_clock(clock)
    {}

    std::map<const QObject *, qint64> firstPaintNs;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_clock.isValid()) {
            for (QObject *o = watched; o; o = o->parent()) {
                if (qobject_cast<FormTune *>(o)) {
                    firstPaintNs.try_emplace(o, m_clock.nsecsElapsed());
                    break;
                }
            }
        }
        return false;
    }

private:
    const QElapsedTimer &m_clock;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir dir;
    SettingsStore::useFolder(dir.path());

    RadioImage image;
    for (int w = 0; w < RadioImage::WordCount; ++w)
        image.WriteImageWord(w, w * 7 - 100);
    const QString path = dir.filePath(QStringLiteral("bench.rdat"));
    if (!WriteToFile(path, image, 4).ok()) {
        out << "cannot write " << path << Qt::endl;
        return 1;
    }

    out << Qt::fixed << qSetRealNumberPrecision(3);
    out << "platform " << QApplication::platformName() << Qt::endl;

    // The data file alone.
    {
        RadioImage loaded;
        std::int32_t tx = 0;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < FileRuns; ++i)
            ReadFromFile(path, loaded, tx);
        const double readUs = clock.nsecsElapsed() / 1e3 / FileRuns;
        const QString copy = dir.filePath(QStringLiteral("copy.rdat"));
        clock.start();
        for (int i = 0; i < FileRuns; ++i)
            WriteToFile(copy, loaded, tx);
        const double writeUs = clock.nsecsElapsed() / 1e3 / FileRuns;
        out << "ReadFromFile " << readUs << " us, WriteToFile (temporary file and rename) "
            << writeUs << " us, mean of " << FileRuns << Qt::endl;
    }

    AppState state;
    Translations translations;
    MDIFormMain window(state, translations);
    window.show();
    QElapsedTimer clock;
    PaintWatch watch(clock);
    app.installEventFilter(&watch);

    QList<double> toCommandEnd, toPainted;
    for (int run = 0; run < OpenRuns; ++run) {
        state.image = RadioImage();
        User user(path, clock);
        window.MenuOpen_Click();
        const double commandMs = clock.nsecsElapsed() / 1e6;
        const FormTune *fresh = window.formTune();
        QElapsedTimer giveUp;
        giveUp.start();
        while (!watch.firstPaintNs.count(fresh) && giveUp.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!watch.firstPaintNs.count(fresh) || !(state.image == image)) {
            out << "run " << run << ": the tune data window did not paint the loaded image"
                << Qt::endl;
            return 1;
        }
        toCommandEnd.append(commandMs);
        toPainted.append(watch.firstPaintNs.at(fresh) / 1e6);
        clock.invalidate();
    }
    out << "Open, OK on the question -> command done " << median(toCommandEnd)
        << " ms, -> tune data window painted " << median(toPainted) << " ms (median of " << OpenRuns
        << ", min " << *std::min_element(toPainted.begin(), toPainted.end()) << ", max "
        << *std::max_element(toPainted.begin(), toPainted.end()) << ")" << Qt::endl;
    return 0;
}
