#pragma once

// The tests' one way of answering modal dialogs: a ModalScript holds the dialogs a test expects,
// in order, each with its answer. A dialog nobody expected is closed and fails the test; an
// expected one that never comes fails it too, and the modal windows up are closed so the test
// ends instead of hanging.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

using Answer = std::function<void(QWidget *)>;

namespace ModalHelper {

// Long enough for any dialog the tests wait for; reached only when a test is broken.
inline constexpr int DefaultTimeoutMs = 15000;

// Modal windows that come and go on their own while the test waits for them, never questions:
// the transfer window closes itself when its transfer ends.
inline bool closesByItself(const QWidget *modal)
{
    return modal->objectName() == QLatin1String("FormProcess");
}

inline QByteArray currentTest()
{
    return QByteArray(QTest::currentTestFunction()) + '/' + QByteArray(QTest::currentDataTag());
}

// Unwinds whatever modal loop the test is stuck in.
inline void closeModals()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
            dialog->reject();
    }
}

} // namespace ModalHelper

class ModalScript : public QObject
{
public:
    explicit ModalScript(QList<Answer> answers = {})
    {
        for (Answer &answer : answers)
            expect(std::move(answer));
        active().append(this);
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
        m_timer.start(10);
    }
    ~ModalScript() override { active().removeAll(this); }

    // One more dialog, after those already expected. A modal window that is `ignore` is passed
    // over while this answer waits: the window the dialog comes from.
    void expect(Answer answer, QWidget *ignore = nullptr,
                int timeoutMs = ModalHelper::DefaultTimeoutMs)
    {
        m_expected.append({std::move(answer), ignore, timeoutMs});
        if (m_expected.size() == 1)
            m_waiting.start();
    }

    // Answers every dialog of this object name whenever it comes, in no particular order.
    void whenever(const QString &objectName, Answer answer)
    {
        m_standing.append({objectName, std::move(answer)});
    }

    bool allAnswered() const { return m_expected.isEmpty(); }
    QStringList unexpected() const { return m_unexpected; }

    // The script the test's own whenModal() calls add to; made on first use, one per test and
    // data row.
    static ModalScript &ofTest()
    {
        ModalScript *&script = testScript();
        if (script && script->m_test != ModalHelper::currentTest()) {
            delete script;
            script = nullptr;
        }
        if (!script) {
            script = new ModalScript;
            script->setParent(qApp);
            script->m_test = ModalHelper::currentTest();
        }
        return *script;
    }

    // For a test's cleanup(): the test's dialogs all came and nothing else did.
    static void verifyTest()
    {
        ModalScript *&script = testScript();
        if (!script)
            return;
        const bool mine = script->m_test == ModalHelper::currentTest();
        const bool missing = mine && !script->allAnswered();
        const QStringList unexpected = mine ? script->unexpected() : QStringList();
        delete script;
        script = nullptr;
        if (missing)
            QTest::qFail("a dialog the test waited for never came", __FILE__, __LINE__);
        else if (!unexpected.isEmpty())
            QTest::qFail(qPrintable(QStringLiteral("dialogs nobody expected: ")
                                    + unexpected.join(QStringLiteral(", "))),
                         __FILE__, __LINE__);
    }

private:
    struct Expected
    {
        Answer answer;
        QPointer<QWidget> ignore;
        int timeoutMs;
    };
    struct Standing
    {
        QString objectName;
        Answer answer;
    };

    static QList<ModalScript *> &active()
    {
        static QList<ModalScript *> scripts;
        return scripts;
    }
    static ModalScript *&testScript()
    {
        static ModalScript *script = nullptr;
        return script;
    }

    void fail(const char *message)
    {
        m_expected.clear();
        QTest::qFail(message, __FILE__, __LINE__);
        ModalHelper::closeModals();
    }

    void poll()
    {
        // The newest script answers; an outer one waits until it is gone.
        if (active().isEmpty() || active().constLast() != this)
            return;
        if (!m_test.isEmpty() && m_test != ModalHelper::currentTest())
            return;
        m_answered.removeIf([](const QPointer<QWidget> &w) { return !w || !w->isVisible(); });
        QWidget *modal = QApplication::activeModalWidget();
        const bool shown = modal && modal->isVisible();
        if (!m_expected.isEmpty() && m_waiting.elapsed() > m_expected.constFirst().timeoutMs) {
            fail("the dialog the test waited for never came");
            return;
        }
        // A window counts again when it comes back on top after a dialog over it has gone.
        const bool sameAsBefore = shown && modal == m_top;
        m_top = shown ? modal : nullptr;
        if (!shown)
            return;
        for (const Standing &s : std::as_const(m_standing)) {
            if (modal->objectName() == s.objectName
                && !(sameAsBefore && m_answered.contains(modal))) {
                m_answered.append(modal);
                QPointer<QWidget> target(modal);
                QMetaObject::invokeMethod(
                    this,
                    [answer = s.answer, target] {
                        if (target)
                            answer(target);
                    },
                    Qt::QueuedConnection);
                return;
            }
        }
        // With no answer left to give, a dialog this script answered that shows on top again is
        // one whose answer is still on its way (a busy machine can put another window on top for
        // a moment in between): it is reported only if it stays.
        if (m_answered.contains(modal) && (sameAsBefore || m_expected.isEmpty())) {
            // Its answer may still be on its way (an accept queued behind a check of its own), or
            // a dialog over it was just answered.
            if (m_expected.isEmpty() && m_answeredAt.elapsed() > ModalHelper::DefaultTimeoutMs) {
                m_unexpected << QStringLiteral("left open: ") + modal->windowTitle();
                modal->close();
            }
            return;
        }
        if (!m_expected.isEmpty() && modal == m_expected.constFirst().ignore)
            return;
        // A step of a longer command goes away by itself once its transfer is done.
        if (modal->property("closesWhenDone").toBool())
            return;
        if (m_expected.isEmpty()) {
            if (ModalHelper::closesByItself(modal))
                return;
            m_unexpected << (modal->objectName() + QLatin1Char(' ') + modal->windowTitle());
            modal->close();
            return;
        }
        m_answered.append(modal);
        m_answeredAt.start();
        const Answer answer = m_expected.takeFirst().answer;
        m_waiting.start();
        // Out of the timer's own call: an answer may open a dialog of its own and wait in its
        // loop, and this timer must go on polling meanwhile.
        QPointer<QWidget> target(modal);
        QMetaObject::invokeMethod(
            this,
            [answer, target] {
                if (target)
                    answer(target);
            },
            Qt::QueuedConnection);
    }

    QTimer m_timer;
    QList<Expected> m_expected;
    QList<Standing> m_standing;
    QElapsedTimer m_waiting;
    QList<QPointer<QWidget>> m_answered;
    QPointer<QWidget> m_top;
    QElapsedTimer m_answeredAt;
    QStringList m_unexpected;
    QByteArray m_test;
};

namespace ModalHelper {

// For a test's cleanup().
inline void verifyAllAnswered()
{
    ModalScript::verifyTest();
}

} // namespace ModalHelper

// Expects one more modal dialog in the running test, after those it expects already: a shorthand
// for ModalScript::ofTest().expect(). Call before the code that opens the dialog.
inline void whenModal(Answer answer, QWidget *ignore = nullptr,
                      int timeoutMs = ModalHelper::DefaultTimeoutMs)
{
    ModalScript::ofTest().expect(std::move(answer), ignore, timeoutMs);
}

// What a modal dialog showed before it was answered.
struct Seen
{
    bool shown = false;
    QString objectName;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QString proposedName;
    QStringList filters;
};

// QFileDialog::accept(), with its checks. Later, because its replace question is a modal dialog
// of its own that must be answered in turn.
inline void acceptLater(QFileDialog *dialog)
{
    QMetaObject::invokeMethod(
        dialog, [dialog] { static_cast<QDialog *>(dialog)->accept(); }, Qt::QueuedConnection);
}

// Answers a file dialog with a path (a cancel when empty), as typed into its name box.
inline Answer chooseFile(const QString &path, Seen *seen = nullptr)
{
    return [path, seen](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (seen && dialog) {
            seen->shown = true;
            seen->title = dialog->windowTitle();
            seen->mode = dialog->acceptMode();
            seen->fileMode = dialog->fileMode();
            seen->filters = dialog->nameFilters();
            seen->proposedName
                = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        }
        if (!dialog || path.isEmpty()) {
            modal->close();
            return;
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        acceptLater(dialog);
    };
}

// Answers a message box with one of its buttons.
inline Answer press(QMessageBox::StandardButton button, Seen *seen = nullptr)
{
    return [button, seen](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        if (seen) {
            seen->shown = true;
            seen->objectName = box->objectName();
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            seen->buttons = box->standardButtons();
        }
        if (QAbstractButton *b = box->button(button))
            b->click();
    };
}

// Answers a message box with the button of that object name, for buttons of the program's own.
inline Answer pressNamed(const QString &buttonName, Seen *seen = nullptr)
{
    return [buttonName, seen](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        if (seen) {
            seen->shown = true;
            seen->objectName = box->objectName();
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            seen->buttons = box->standardButtons();
        }
        if (auto *b = box->findChild<QAbstractButton *>(buttonName))
            b->click();
        else
            box->close();
    };
}

// Closes a program's main window at the end of a test: edits the test made are discarded when
// the window asks about them, and no question is left waiting.
inline void closeDiscarding(QWidget *window)
{
    ModalScript discard;
    discard.whenever(QStringLiteral("UnsavedChanges"), press(QMessageBox::Discard));
    window->close();
}
