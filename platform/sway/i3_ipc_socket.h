#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/x11/unique_fd.h"

namespace tallowin::sway {

// The i3 IPC message types Tallowin sends (sway speaks the same protocol).
enum class I3Message : std::uint32_t {
    runCommand = 0,
    getTree = 4,
};

// How long the compositor may take to answer one message before the
// connection counts as lost: a stopped compositor must not freeze the window.
inline constexpr std::chrono::milliseconds kIpcAnswerBound{2000};

// One connection to an i3 IPC socket: a message is the magic "i3-ipc", the
// payload's length and the type, both 32-bit in native byte order, then the
// payload; the reply echoes the type.
class I3IpcSocket {
public:
    // Null when nothing listens at path; error then says why.
    static std::unique_ptr<I3IpcSocket> connect(const std::string& path, std::string& error);

    // The reply's payload, or nothing when the exchange failed, with lastError
    // saying why. A failed exchange leaves the stream unusable.
    std::optional<std::string> request(I3Message type, std::string_view payload);
    [[nodiscard]] const std::string& lastError() const { return error_; }

    explicit I3IpcSocket(x11::UniqueFd fd) : fd_(std::move(fd)) {}

private:
    bool sendAll(std::string_view bytes);
    bool receiveAll(char* into, std::size_t size, std::chrono::steady_clock::time_point deadline);
    std::nullopt_t fail(std::string why);

    x11::UniqueFd fd_;
    std::string error_;
};

}  // namespace tallowin::sway
