#include "platform/sway/i3_ipc_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace tallowin::sway {

namespace {

constexpr std::string_view kMagic = "i3-ipc";
constexpr std::size_t kHeaderSize = kMagic.size() + 2 * sizeof(std::uint32_t);
// Far above any tree a desktop holds; a larger length is a broken stream.
constexpr std::uint32_t kLargestReply = 64U << 20U;

std::string systemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

std::unique_ptr<I3IpcSocket> I3IpcSocket::connect(const std::string& path, std::string& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) {
        error = "no usable socket path";
        return nullptr;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    x11::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        error = systemError("socket");
        return nullptr;
    }
    // connect takes any address as a sockaddr; this one is a sockaddr_un.
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        error = systemError("connect");
        return nullptr;
    }
    return std::make_unique<I3IpcSocket>(std::move(fd));
}

std::nullopt_t I3IpcSocket::fail(std::string why) {
    error_ = std::move(why);
    fd_ = x11::UniqueFd();
    return std::nullopt;
}

bool I3IpcSocket::sendAll(std::string_view bytes) {
    while (!bytes.empty()) {
        // MSG_NOSIGNAL: a compositor gone away is an error here, not a SIGPIPE.
        const ssize_t sent = ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            error_ = systemError("send");
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool I3IpcSocket::receiveAll(char* into, std::size_t size, std::chrono::steady_clock::time_point deadline) {
    std::size_t have = 0;
    while (have < size) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            error_ = "no answer within " + std::to_string(kIpcAnswerBound.count()) + " ms";
            return false;
        }
        pollfd waiting{fd_.get(), POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            error_ = systemError("poll");
            return false;
        }
        if (ready == 0) {
            continue;  // the deadline check above ends it
        }
        const ssize_t got = ::recv(fd_.get(), into + have, size - have, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (got < 0) {
            error_ = systemError("recv");
            return false;
        }
        if (got == 0) {
            error_ = "the compositor closed the connection";
            return false;
        }
        have += static_cast<std::size_t>(got);
    }
    return true;
}

std::optional<std::string> I3IpcSocket::request(I3Message type, std::string_view payload) {
    if (!fd_.valid()) {
        return fail(error_.empty() ? "not connected" : error_);
    }
    const auto length = static_cast<std::uint32_t>(payload.size());
    const auto code = static_cast<std::uint32_t>(type);
    std::array<char, kHeaderSize> header{};
    std::memcpy(header.data(), kMagic.data(), kMagic.size());
    std::memcpy(header.data() + kMagic.size(), &length, sizeof(length));
    std::memcpy(header.data() + kMagic.size() + sizeof(length), &code, sizeof(code));
    std::string message(header.data(), header.size());
    message.append(payload);
    if (!sendAll(message)) {
        return fail(error_);
    }

    const auto deadline = std::chrono::steady_clock::now() + kIpcAnswerBound;
    if (!receiveAll(header.data(), header.size(), deadline)) {
        return fail(error_);
    }
    if (std::string_view(header.data(), kMagic.size()) != kMagic) {
        return fail("the answer is not an i3 IPC message");
    }
    std::uint32_t replyLength = 0;
    std::uint32_t replyType = 0;
    std::memcpy(&replyLength, header.data() + kMagic.size(), sizeof(replyLength));
    std::memcpy(&replyType, header.data() + kMagic.size() + sizeof(replyLength), sizeof(replyType));
    if (replyType != code) {
        return fail("the answer is of type " + std::to_string(replyType) + ", not " + std::to_string(code));
    }
    if (replyLength > kLargestReply) {
        return fail("an answer of " + std::to_string(replyLength) + " bytes");
    }
    std::string reply(replyLength, '\0');
    if (!receiveAll(reply.data(), reply.size(), deadline)) {
        return fail(error_);
    }
    return reply;
}

}  // namespace tallowin::sway
