#pragma once

#include <functional>
#include <memory>

namespace tallowin::platform {

// A scheduled timer. Destroying the handle invalidates it, so a callback can
// never outlive the object it calls into.
class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;

    // The timer never fires again; harmless when already invalid.
    virtual void invalidate() = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;

    // Fires callback on the main loop every intervalSeconds until invalidated.
    virtual std::unique_ptr<RepeatingTimer> scheduledTimer(double intervalSeconds, std::function<void()> callback) = 0;
};

}  // namespace tallowin::platform
