// SPDX-License-Identifier: MIT
#pragma once

namespace tarnwick {

// Lets screen readers read the history rows: the document view becomes a list
// with one child per row field. Idempotent.
void installRowAccessibility();

}  // namespace tarnwick
