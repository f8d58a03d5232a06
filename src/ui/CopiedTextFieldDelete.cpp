#include "ui/CopiedTextField.h"

namespace tarnwick {

void UserInterface::CopiedTextField::deleteRow() {}

void UserInterface::CopiedTextField::deleteAll() {}

}  // namespace tarnwick
