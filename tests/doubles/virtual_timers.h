#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/repeating_timer.h"

namespace tallowin::doubles {

// Timers on a clock that only tests move. Times are in milliseconds.
class VirtualTimerFactory final : public platform::TimerFactory {
public:
    struct Scheduled {
        double intervalSeconds = 0;
        std::int64_t nextFireMs = 0;
        std::function<void()> callback;
        bool valid = true;
    };

    std::unique_ptr<platform::RepeatingTimer> scheduledTimer(double intervalSeconds,
                                                             std::function<void()> callback) override;

    // Moves the clock forward, firing every due timer in time order.
    void advanceMs(std::int64_t milliseconds);
    void advanceSeconds(double seconds) { advanceMs(static_cast<std::int64_t>(seconds * 1000.0)); }

    [[nodiscard]] int liveTimers() const;
    // Every timer ever scheduled, in order; entries stay after invalidation.
    [[nodiscard]] const std::vector<std::shared_ptr<Scheduled>>& timers() const { return timers_; }

private:
    std::int64_t nowMs_ = 0;
    std::vector<std::shared_ptr<Scheduled>> timers_;
};

}  // namespace tallowin::doubles
