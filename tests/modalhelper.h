#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Answers the next modal dialog: polls until a modal widget other than the ones already up is
// on screen, then hands it to the answer. Call before the code that opens the dialog.
inline void whenModal(std::function<void(QWidget *)> answer, QWidget *ignore = nullptr)
{
    auto *timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, ignore, clock] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != ignore && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        } else if (clock->elapsed() > 60000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(20);
}
