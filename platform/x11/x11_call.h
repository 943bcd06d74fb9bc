#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tallowin::x11 {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }  // NOLINT(cppcoreguidelines-no-malloc)
};

template <typename T>
using XReply = std::unique_ptr<T, FreeDeleter>;
using XError = XReply<xcb_generic_error_t>;

// Failed X calls, each reported once on standard error: a window that
// vanishes between two refreshes fails the same call every 5 seconds, so one
// line per call name and error code is all the user learns anything from.
class XCallLog {
public:
    explicit XCallLog(std::FILE* sink = stderr) : sink_(sink) {}
    // A null error means the connection itself broke.
    void record(std::string_view call, const xcb_generic_error_t* error);
    [[nodiscard]] int count() const { return count_; }

private:
    std::FILE* sink_;
    std::vector<std::pair<std::string, std::uint8_t>> reported_;
    int count_ = 0;
};

// The name X gives a core error code, e.g. "BadWindow".
std::string_view errorName(std::uint8_t code);
// The name of a core request, for errors of requests sent unchecked.
std::string_view requestName(std::uint8_t majorCode);

// What one request with a reply gave: the reply, or the error that came
// instead (none when the connection broke). Owns both.
template <typename T>
class XResult {
public:
    XResult(XReply<T> reply, XError error) : reply_(std::move(reply)), error_(std::move(error)) {}
    explicit operator bool() const { return reply_ != nullptr; }
    const T* operator->() const { return reply_.get(); }
    const T& operator*() const { return *reply_; }
    [[nodiscard]] const T* get() const { return reply_.get(); }
    [[nodiscard]] const xcb_generic_error_t* error() const { return error_.get(); }

private:
    XReply<T> reply_;
    XError error_;
};

// Makes the reply call itself, so no caller handles a raw error pointer.
template <typename T, typename Cookie>
XResult<T> awaitReply(XCallLog& log, std::string_view call, xcb_connection_t* xcb,
                      T* (*replyFunction)(xcb_connection_t*, Cookie, xcb_generic_error_t**), Cookie cookie) {
    xcb_generic_error_t* rawError = nullptr;
    XReply<T> reply(replyFunction(xcb, cookie, &rawError));
    XError error(rawError);
    if (!reply) {
        log.record(call, error.get());
        reply.reset();
    }
    return XResult<T>(std::move(reply), std::move(error));
}

// For a checked request without a reply: true when the server accepted it.
inline bool checkRequest(XCallLog& log, std::string_view call, xcb_connection_t* connection, xcb_void_cookie_t cookie) {
    XError error(xcb_request_check(connection, cookie));
    if (error) {
        log.record(call, error.get());
        return false;
    }
    return true;
}

}  // namespace tallowin::x11
