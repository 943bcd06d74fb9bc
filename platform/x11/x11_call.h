#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace tallowin::x11 {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }  // NOLINT(cppcoreguidelines-no-malloc)
};

template <typename T>
using XReply = std::unique_ptr<T, FreeDeleter>;

// The last X call that failed, by name, with its X error code (0 when the
// connection itself broke).
struct XCallFailure {
    std::string_view call;
    std::uint8_t errorCode = 0;
};

// Every failed X call is reported here, so the failure is named in one place.
class XCallLog {
public:
    void record(std::string_view call, const xcb_generic_error_t* error) {
        last_ = XCallFailure{call, error != nullptr ? error->error_code : std::uint8_t{0}};
        ++count_;
    }
    [[nodiscard]] const std::optional<XCallFailure>& last() const { return last_; }
    [[nodiscard]] int count() const { return count_; }

private:
    std::optional<XCallFailure> last_;
    int count_ = 0;
};

// Adopts what one xcb_*_reply call gave: the reply on success, else nothing,
// with the error freed and the failing call named. The error is taken by
// reference: the reply call that fills it is a sibling argument, and
// arguments are evaluated in no fixed order.
template <typename T>
XReply<T> takeReply(XCallLog& log, std::string_view call, T* reply, xcb_generic_error_t*& error) {
    XReply<T> owned(reply);
    XReply<xcb_generic_error_t> ownedError(error);
    if (!owned || ownedError) {
        log.record(call, ownedError.get());
        return nullptr;
    }
    return owned;
}

// For a checked request without a reply: true when the server accepted it.
inline bool checkRequest(XCallLog& log, std::string_view call, xcb_connection_t* connection, xcb_void_cookie_t cookie) {
    XReply<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
    if (error) {
        log.record(call, error.get());
        return false;
    }
    return true;
}

}  // namespace tallowin::x11
