#pragma once

namespace tarnwick {

class BufferChecker;
class UserInterface;

// The one history engine and the one window controller, set at start-up.
extern BufferChecker* bufferChecker;
extern UserInterface* ui;

}  // namespace tarnwick
