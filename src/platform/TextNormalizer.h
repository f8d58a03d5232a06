// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tarnwick {

// Unicode canonical equivalence, in linear time whatever the text: two texts
// are equivalent when their canonical decompositions are equal.

// Whether text is in composed normal form (NFC), as nearly every copied text
// is. Two such texts are canonically equivalent only when they are equal,
// which spares decomposing them. A false answer is always safe.
bool isComposed(const QString& text);

// The canonical decomposition (NFD) of text; a text that is already
// decomposed (all ASCII, for one) is shared, not copied.
QString decomposed(const QString& text);

}  // namespace tarnwick
