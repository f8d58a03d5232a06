#include "app/Globals.h"

namespace tarnwick {

std::atomic<bool> cutActionJustMade{false};
BufferChecker* bufferChecker = nullptr;
UserInterface* ui = nullptr;

}  // namespace tarnwick
