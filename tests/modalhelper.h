#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace ModalHelper {

// Long enough for any dialog the tests wait for; reached only when a test is broken.
inline constexpr int DefaultTimeoutMs = 15000;

struct Pending
{
    QPointer<QTimer> timer;
    QByteArray test;
};

inline QList<Pending> &pending()
{
    static QList<Pending> list;
    return list;
}

inline QByteArray currentTest()
{
    return QByteArray(QTest::currentTestFunction()) + '/' + QByteArray(QTest::currentDataTag());
}

inline void forget(QTimer *timer)
{
    pending().removeIf([timer](const Pending &p) { return !p.timer || p.timer == timer; });
    timer->stop();
    timer->deleteLater();
}

// Unwinds whatever modal loop the test is stuck in, so that a missing dialog fails the test
// instead of hanging it.
inline void closeModals()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
            dialog->reject();
    }
}

// For a test's cleanup(): a dialog the test waited for and never saw fails the test.
inline void verifyAllAnswered()
{
    const QByteArray test = currentTest();
    bool missing = false;
    for (const Pending &p : std::as_const(pending())) {
        if (p.timer && p.test == test)
            missing = true;
    }
    for (const Pending &p : QList<Pending>(pending())) {
        if (p.timer && p.test == test)
            forget(p.timer);
    }
    if (missing)
        QTest::qFail("a dialog the test waited for never came", __FILE__, __LINE__);
}

} // namespace ModalHelper

// Answers the next modal dialog: polls until a modal widget other than `ignore` is on screen,
// then hands it to the answer. Call before the code that opens the dialog. The helper belongs to
// the test (and data row) that set it up: it never answers a dialog of a later test. When no
// dialog comes within the time-out, the test fails and the modal windows up are closed.
inline void whenModal(std::function<void(QWidget *)> answer, QWidget *ignore = nullptr,
                      int timeoutMs = ModalHelper::DefaultTimeoutMs)
{
    auto *timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const QByteArray test = ModalHelper::currentTest();
    QPointer<QWidget> ignored(ignore);
    ModalHelper::pending().append({timer, test});
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        if (ModalHelper::currentTest() != test) {
            ModalHelper::forget(timer);
            return;
        }
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != ignored && modal->isVisible()) {
            ModalHelper::forget(timer);
            answer(modal);
        } else if (clock->elapsed() > timeoutMs) {
            ModalHelper::forget(timer);
            QTest::qFail("the dialog the test waited for never came", __FILE__, __LINE__);
            ModalHelper::closeModals();
        }
    });
    timer->start(10);
}

// Closes a program's main window at the end of a test: edits the test made are discarded when
// the window asks about them, and no question is left waiting.
inline void closeDiscarding(QWidget *window)
{
    QTimer discard;
    discard.setInterval(10);
    QObject::connect(&discard, &QTimer::timeout, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && box->objectName() == QLatin1String("UnsavedChanges"))
            box->button(QMessageBox::Discard)->click();
    });
    discard.start();
    window->close();
}
