#pragma once

#include <QCheckBox>

#include "ui/UserInterface.h"

namespace tarnwick {

// A modifier toggle: a check box fitted to its title.
class UserInterface::MyToggleButton : public QCheckBox {
public:
    explicit MyToggleButton(const QString& title);

    // 1 when the modifier is enabled, 0 otherwise.
    int state() const { return isChecked() ? 1 : 0; }
    void setState(int state) { setChecked(state != 0); }
};

}  // namespace tarnwick
