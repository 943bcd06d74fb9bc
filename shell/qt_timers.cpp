#include "shell/qt_timers.h"

#include <QTimer>

#include <cmath>
#include <limits>

namespace tallowin::shell {

namespace {

int intervalMs(double intervalSeconds) {
    const double milliseconds = std::round(intervalSeconds * 1000.0);
    if (!(milliseconds >= 0.0)) {
        return 0;
    }
    if (milliseconds >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(milliseconds);
}

class QtRepeatingTimer final : public platform::RepeatingTimer {
public:
    QtRepeatingTimer(double intervalSeconds, std::function<void()> callback)
        : timer_(new QTimer),
          callback_(std::make_shared<std::function<void()>>(std::move(callback))),
          firing_(std::make_shared<bool>(false)) {
        timer_->setTimerType(Qt::PreciseTimer);
        timer_->setInterval(intervalMs(intervalSeconds));
        QObject::connect(timer_, &QTimer::timeout, timer_, [callback = callback_, firing = firing_] {
            // Locals, not captures: the callback may destroy this timer's
            // handle, and with it the connection that holds the captures.
            const auto run = callback;  // NOLINT(performance-unnecessary-copy-initialization)
            const auto flag = firing;   // NOLINT(performance-unnecessary-copy-initialization)
            *flag = true;
            (*run)();
            *flag = false;
        });
        timer_->start();
    }

    ~QtRepeatingTimer() override {
        timer_->stop();
        QObject::disconnect(timer_, nullptr, nullptr, nullptr);
        if (*firing_) {
            // Still inside its own timeout: Qt is yet to return through it.
            timer_->deleteLater();
        } else {
            delete timer_;
        }
    }

    QtRepeatingTimer(const QtRepeatingTimer&) = delete;
    QtRepeatingTimer& operator=(const QtRepeatingTimer&) = delete;
    QtRepeatingTimer(QtRepeatingTimer&&) = delete;
    QtRepeatingTimer& operator=(QtRepeatingTimer&&) = delete;

    void invalidate() override { timer_->stop(); }

private:
    QTimer* timer_;  // owned; deleted by the destructor, maybe later
    std::shared_ptr<std::function<void()>> callback_;
    std::shared_ptr<bool> firing_;
};

}  // namespace

std::unique_ptr<platform::RepeatingTimer> QtTimerFactory::scheduledTimer(double intervalSeconds,
                                                                         std::function<void()> callback) {
    return std::make_unique<QtRepeatingTimer>(intervalSeconds, std::move(callback));
}

}  // namespace tallowin::shell
