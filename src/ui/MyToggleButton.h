// SPDX-License-Identifier: MIT
#pragma once

#include <QCheckBox>

namespace tarnwick {

// A modifier toggle: a check box fitted to its title; checked = enabled.
class MyToggleButton : public QCheckBox {
public:
    explicit MyToggleButton(const QString& title);
};

}  // namespace tarnwick
