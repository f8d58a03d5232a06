// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <array>
#include <utility>

namespace tarnwick {

// Text comparison under Unicode canonical equivalence, with the decomposed
// forms of the few texts compared most often (entry 0, lastAdded, the
// clipboard's text) kept, so a large text is decomposed once, not per look.
// One thread only.
class CanonicalTexts {
public:
    // Equal under canonical equivalence, in linear time; keeps the decomposed
    // forms for the next call.
    bool sameKept(const QString& a, const QString& b) const;

private:
    const QString& canonicalOf(const QString& text) const;

    // Each slot keeps its source alive, so a buffer address identifies it.
    mutable std::array<std::pair<QString, QString>, 3> kept_;
    mutable std::size_t next_ = 0;
};

}  // namespace tarnwick
