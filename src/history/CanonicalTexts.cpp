// SPDX-License-Identifier: MIT
#include "history/CanonicalTexts.h"

#include "platform/TextNormalizer.h"

namespace tarnwick {

const QString& CanonicalTexts::canonicalOf(const QString& text) const {
    for (const auto& [source, canonical] : kept_) {
        if (source.constData() == text.constData() && source.size() == text.size()) {
            return canonical;
        }
    }
    next_ = (next_ + 1) % kept_.size();
    kept_[next_] = {text, decomposed(text)};
    return kept_[next_].second;
}

bool CanonicalTexts::sameKept(const QString& a, const QString& b) const {
    if (a == b) return true;
    if (isComposed(a) && isComposed(b)) return false;
    // canonicalOf() may replace a slot: hold the first form while the second is made.
    const QString first = canonicalOf(a);
    return first == canonicalOf(b);
}

}  // namespace tarnwick
