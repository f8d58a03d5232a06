// SPDX-License-Identifier: MIT
#pragma once

#include <CoreFoundation/CoreFoundation.h>

namespace tarnwick::mac {

// Owns one Core Foundation reference (a "Create" result) and releases it.
template <typename Ref>
class CFHandle {
public:
    CFHandle() = default;
    explicit CFHandle(Ref ref) : ref_(ref) {}
    ~CFHandle() { reset(); }
    CFHandle(const CFHandle&) = delete;
    CFHandle& operator=(const CFHandle&) = delete;

    void reset(Ref ref = nullptr) {
        if (ref_ != nullptr) CFRelease(ref_);
        ref_ = ref;
    }
    Ref get() const { return ref_; }
    explicit operator bool() const { return ref_ != nullptr; }

private:
    Ref ref_ = nullptr;
};

}  // namespace tarnwick::mac
