#pragma once

#include <QString>
#include <chrono>
#include <optional>

namespace tarnwick::x11 {

// Reads the CLIPBOARD selection's plain text over a connection of its own, so
// that an owner that hangs, dies mid-transfer or sends megabytes never holds
// up the main thread. One request round per read: TARGETS, then the text
// target (INCR transfers included). A read gives up when the owner shows no
// sign of life for `patience`.
//
// None for: no owner, a failed or abandoned transfer, an empty text, a text
// the owner marks secret (x-kde-passwordManagerHint = secret), and a copy
// whose only text-like form is a list of file URIs.
//
// The connection lives only for one read, so events never pile up on it
// between reads. Used by one thread at a time.
std::optional<QString> readClipboardText(std::chrono::milliseconds patience);

}  // namespace tarnwick::x11
