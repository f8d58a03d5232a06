#include "app/Globals.h"

namespace tarnwick {

BufferChecker* bufferChecker = nullptr;
UserInterface* ui = nullptr;

}  // namespace tarnwick
