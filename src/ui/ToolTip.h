// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tarnwick {

// The modifier keys' tool tip broken into lines of a readable length: a tool
// tip shows plain text on one line however long it is, and Qt's own wrapping
// of rich text makes a narrow column of it.
QString modifierToolTip();

}  // namespace tarnwick
