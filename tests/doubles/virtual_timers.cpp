#include "tests/doubles/virtual_timers.h"

#include <algorithm>
#include <cmath>

namespace tallowin::doubles {

namespace {

// Destroying the handle invalidates the timer, as the interface promises.
class VirtualTimer final : public platform::RepeatingTimer {
public:
    explicit VirtualTimer(std::shared_ptr<VirtualTimerFactory::Scheduled> scheduled)
        : scheduled_(std::move(scheduled)) {}
    ~VirtualTimer() override { scheduled_->valid = false; }
    VirtualTimer(const VirtualTimer&) = delete;
    VirtualTimer& operator=(const VirtualTimer&) = delete;
    void invalidate() override { scheduled_->valid = false; }

private:
    std::shared_ptr<VirtualTimerFactory::Scheduled> scheduled_;
};

std::int64_t intervalMs(double seconds) { return std::max<std::int64_t>(1, std::llround(seconds * 1000.0)); }

}  // namespace

std::unique_ptr<platform::RepeatingTimer> VirtualTimerFactory::scheduledTimer(double intervalSeconds,
                                                                              std::function<void()> callback) {
    timers_.push_back(std::make_shared<Scheduled>(
        Scheduled{intervalSeconds, nowMs_ + intervalMs(intervalSeconds), std::move(callback)}));
    return std::make_unique<VirtualTimer>(timers_.back());
}

void VirtualTimerFactory::advanceMs(std::int64_t milliseconds) {
    const std::int64_t until = nowMs_ + milliseconds;
    for (;;) {
        std::shared_ptr<Scheduled> due;
        for (const auto& timer : timers_) {
            if (timer->valid && timer->nextFireMs <= until && (!due || timer->nextFireMs < due->nextFireMs)) {
                due = timer;
            }
        }
        if (!due) {
            break;
        }
        nowMs_ = due->nextFireMs;
        due->nextFireMs += intervalMs(due->intervalSeconds);
        const auto callback = due->callback;  // the callback may drop its own handle
        callback();
    }
    nowMs_ = until;
}

int VirtualTimerFactory::liveTimers() const {
    return static_cast<int>(std::count_if(timers_.begin(), timers_.end(), [](const auto& t) { return t->valid; }));
}

}  // namespace tallowin::doubles
