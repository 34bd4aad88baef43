#pragma once

#include "appstate.h"
#include "mdiformmain.h"
#include "modalhelper.h"
#include "translations.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

// A fresh program for a window test: its own process-wide values and main window, talking to
// COM port comPort (0: the stored one, as at start-up), switched to Chinese through the language
// dialog when asked. setUp runs before the window is shown.
struct TestProgram
{
    AppState state;
    Translations translations;
    std::unique_ptr<MDIFormMain> window;

    explicit TestProgram(int comPort, bool english = true,
                         const std::function<void(MDIFormMain &)> &setUp = {})
    {
        window = std::make_unique<MDIFormMain>(state, translations);
        if (setUp)
            setUp(*window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        if (comPort > 0)
            state.ComPortNumber = comPort;
        if (!english) {
            whenModal([](QWidget *dialog) {
                dialog->findChild<QComboBox *>(QStringLiteral("ComboLanguage"))->setCurrentIndex(1);
                dialog->findChild<QPushButton *>(QStringLiteral("CommandOK"))->click();
            });
            window->SwitchLanguage();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }

    ~TestProgram()
    {
        closeDiscarding(window.get());
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};
