// SPDX-License-Identifier: MIT
#include "platform/qt/QtMainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

namespace tarnwick {

void QtMainThread::post(std::function<void()> task) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

void QtMainThread::postAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    QTimer::singleShot(delay, QCoreApplication::instance(), std::move(task));
}

}  // namespace tarnwick
