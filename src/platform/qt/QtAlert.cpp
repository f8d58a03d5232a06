// SPDX-License-Identifier: MIT
#include "platform/qt/QtAlert.h"

#include <QApplication>

namespace tarnwick {

void QtAlert::beep() {
    QApplication::beep();
}

}  // namespace tarnwick
