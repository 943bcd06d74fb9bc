#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/kwin/kwin_script.h"
#include "platform/line_output.h"
#include "platform/window_system.h"

namespace tallowin::kwin {

// How long KWin may take to run a script and answer it.
inline constexpr std::chrono::milliseconds kAnswerBound{3000};
// How long a frame or an activation KWin accepted may take to show: the
// client must first take the configure.
inline constexpr std::chrono::milliseconds kReadBackBound{2000};

// Whether a name has an owner on the session bus; false without a bus.
bool onSessionBus(const char* name);

class AnswerChannel;

// KWin through its scripting interface on the session bus: each request is a
// small generated script, loaded, run and unloaded, that answers through
// D-Bus to an object of ours. KWin knows a window by a text id; this seam's
// numbers for them are given here, in the order first seen. A lost KWin is
// said once; the next call tries again.
class KWinWindowSystem final : public platform::WindowSystem {
public:
    // Null when KWin is not on the session bus; error then says why.
    static std::unique_ptr<KWinWindowSystem> connect(platform::LineOutput& status, std::string& error);
    ~KWinWindowSystem() override;
    KWinWindowSystem(const KWinWindowSystem&) = delete;
    KWinWindowSystem& operator=(const KWinWindowSystem&) = delete;
    KWinWindowSystem(KWinWindowSystem&&) = delete;
    KWinWindowSystem& operator=(KWinWindowSystem&&) = delete;

    std::optional<platform::WindowSystemSnapshot> snapshot() override;
    platform::WindowOutcome setFrame(std::uint32_t window, const platform::WindowFrame& frame) override;
    platform::WindowOutcome raise(std::uint32_t window) override;

    // KWin's own id of a window this seam numbered.
    [[nodiscard]] std::optional<std::string> internalId(std::uint32_t window) const;

private:
    KWinWindowSystem(platform::LineOutput& status, std::unique_ptr<AnswerChannel> channel);

    using ScriptMaker = std::function<std::string(const std::string& service, const std::string& token)>;
    // Runs one script; its answer, or nothing after a line saying why.
    std::optional<ScriptAnswer> run(const ScriptMaker& make);
    std::uint32_t numberOf(const std::string& internalId);
    const std::string* internalIdOf(std::uint32_t window);
    // The window's state after a script about it; nothing, with the outcome
    // in failed, when it failed or the window is gone.
    std::optional<ScriptWindow> ask(std::uint32_t window, const ScriptMaker& make, platform::WindowOutcome& failed);
    // Looks at the window until it passes the test, within kReadBackBound.
    platform::WindowOutcome readBack(std::uint32_t window, const std::string& internalId,
                                     const std::function<bool(const ScriptWindow&)>& passes);

    platform::LineOutput& status_;
    std::unique_ptr<AnswerChannel> channel_;
    std::filesystem::path folder_;
    std::uint64_t requests_ = 0;
    bool lost_ = false;
    std::map<std::string, std::uint32_t> numbers_;
    std::vector<std::string> internalIds_;  // by number - 1
};

}  // namespace tallowin::kwin
