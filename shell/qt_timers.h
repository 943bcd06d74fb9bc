#pragma once

#include "platform/repeating_timer.h"

namespace tallowin::shell {

// Repeating timers over QTimer, on the thread that creates them (the main
// thread): they fire from its event loop, between other events.
class QtTimerFactory final : public platform::TimerFactory {
public:
    std::unique_ptr<platform::RepeatingTimer> scheduledTimer(double intervalSeconds,
                                                             std::function<void()> callback) override;
};

}  // namespace tallowin::shell
