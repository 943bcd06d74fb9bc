#include "tests/doubles/virtual_timers.h"

#include <algorithm>
#include <limits>

namespace tallowin::doubles {

namespace {

class VirtualTimer final : public platform::RepeatingTimer {
public:
    explicit VirtualTimer(std::shared_ptr<VirtualTimerFactory::Scheduled> scheduled)
        : scheduled_(std::move(scheduled)) {}
    ~VirtualTimer() override { VirtualTimer::invalidate(); }
    VirtualTimer(const VirtualTimer&) = delete;
    VirtualTimer& operator=(const VirtualTimer&) = delete;
    void invalidate() override { scheduled_->valid = false; }

private:
    std::shared_ptr<VirtualTimerFactory::Scheduled> scheduled_;
};

std::int64_t intervalMs(double seconds) { return static_cast<std::int64_t>(seconds * 1000.0 + 0.5); }

}  // namespace

std::unique_ptr<platform::RepeatingTimer> VirtualTimerFactory::scheduledTimer(double intervalSeconds,
                                                                              std::function<void()> callback) {
    auto scheduled = std::make_shared<Scheduled>();
    scheduled->intervalSeconds = intervalSeconds;
    scheduled->createdAtMs = nowMs_;
    scheduled->nextFireMs = nowMs_ + intervalMs(intervalSeconds);
    scheduled->callback = std::move(callback);
    timers_.push_back(scheduled);
    return std::make_unique<VirtualTimer>(std::move(scheduled));
}

void VirtualTimerFactory::advanceMs(std::int64_t milliseconds) {
    const std::int64_t until = nowMs_ + milliseconds;
    for (;;) {
        std::int64_t due = std::numeric_limits<std::int64_t>::max();
        std::size_t which = timers_.size();
        for (std::size_t i = 0; i < timers_.size(); ++i) {
            if (timers_[i]->valid && timers_[i]->nextFireMs < due) {
                due = timers_[i]->nextFireMs;
                which = i;
            }
        }
        if (which == timers_.size() || due > until) {
            break;
        }
        nowMs_ = due;
        // Hold the timer and its callback: the callback may drop its own handle.
        const auto timer = timers_[which];
        const auto callback = timer->callback;
        timer->nextFireMs += std::max<std::int64_t>(1, intervalMs(timer->intervalSeconds));
        ++timer->fired;
        firings.emplace_back(nowMs_, which);
        callback();
    }
    nowMs_ = until;
}

int VirtualTimerFactory::liveTimers() const {
    return static_cast<int>(std::count_if(timers_.begin(), timers_.end(), [](const auto& t) { return t->valid; }));
}

}  // namespace tallowin::doubles
