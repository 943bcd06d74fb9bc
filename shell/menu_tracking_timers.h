#pragma once

#include "platform/repeating_timer.h"

namespace tallowin::shell {

// Timers that hold their ticks while a popup (a list's menu, a context menu)
// is open, as timers of the default run-loop mode do on macOS while a menu
// is tracked: a refresh cannot refill the list under the user's highlight.
// Ticks held back run once, right after the last popup has closed and its
// pick has been delivered.
class MenuTrackingTimers final : public platform::TimerFactory {
public:
    // inner outlives this factory and its timers.
    explicit MenuTrackingTimers(platform::TimerFactory& inner) : inner_(inner) {}

    std::unique_ptr<platform::RepeatingTimer> scheduledTimer(double intervalSeconds,
                                                             std::function<void()> callback) override;

private:
    platform::TimerFactory& inner_;
};

}  // namespace tallowin::shell
