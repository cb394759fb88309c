#pragma once
// Answers the next modal window from inside its own event loop.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs inspect on the modal window once it is up (polling, as the window appears only after
// the caller has entered its blocking call).
inline void WhenModalShows(std::function<void(QWidget *)> inspect) {
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            inspect(modal);
        }
    });
    timer->start();
}
