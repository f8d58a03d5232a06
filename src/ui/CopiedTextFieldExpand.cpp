#include "ui/CopiedTextField.h"
#include "ui/MyExpandButton.h"

namespace tarnwick {

void UserInterface::CopiedTextField::expand() {}

void UserInterface::CopiedTextField::updateExpand() {}

void UserInterface::CopiedTextField::addExpandButton() {}

void UserInterface::CopiedTextField::removeExpandButton() {}

}  // namespace tarnwick
