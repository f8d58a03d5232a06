// SPDX-License-Identifier: MIT
#include "ui/MyToggleButton.h"

#include "ui/Metrics.h"
#include "ui/ToolTip.h"

namespace tarnwick {

MyToggleButton::MyToggleButton(const QString& title) : QCheckBox(title) {
    setGeometry(10, 0, 100, static_cast<int>(labelHt));
    adjustSize();
    setToolTip(modifierToolTip());
}

}  // namespace tarnwick
