#pragma once

#include <utility>

namespace tallowin::macos {

// Owns one reference to a reference-counted object, released exactly once.
// Policy supplies retain(ref) and release(ref); the holder never hands
// either of them a null reference (CFRelease(NULL) crashes).
template <typename Ref, typename Policy>
class BasicCFRef {
public:
    BasicCFRef() = default;

    // Takes over a reference the caller already owns (a Create or Copy result).
    [[nodiscard]] static BasicCFRef adopt(Ref ref) { return BasicCFRef(ref); }
    // Takes a reference of its own to an object it was only lent (a Get result).
    [[nodiscard]] static BasicCFRef retain(Ref ref) {
        if (ref != nullptr) {
            Policy::retain(ref);
        }
        return BasicCFRef(ref);
    }

    ~BasicCFRef() { reset(); }

    BasicCFRef(const BasicCFRef&) = delete;
    BasicCFRef& operator=(const BasicCFRef&) = delete;
    BasicCFRef(BasicCFRef&& other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
    BasicCFRef& operator=(BasicCFRef&& other) noexcept {
        if (this != &other) {
            reset();
            ref_ = std::exchange(other.ref_, nullptr);
        }
        return *this;
    }

    [[nodiscard]] Ref get() const { return ref_; }
    explicit operator bool() const { return ref_ != nullptr; }

    void reset() {
        if (ref_ != nullptr) {
            Policy::release(std::exchange(ref_, nullptr));
        }
    }

private:
    explicit BasicCFRef(Ref ref) : ref_(ref) {}

    Ref ref_ = nullptr;
};

}  // namespace tallowin::macos
