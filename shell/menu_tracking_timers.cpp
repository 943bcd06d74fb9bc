#include "shell/menu_tracking_timers.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace tallowin::shell {

namespace {

class HeldTick final : public QObject {
public:
    explicit HeldTick(std::function<void()> callback)
        : callback_(std::make_shared<std::function<void()>>(std::move(callback))) {}

    void tick() {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            hold(popup);
            return;
        }
        run();
    }

    void cancel() {
        held_ = false;
        watch(nullptr);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == popup_ && event->type() == QEvent::Hide) {
            watch(nullptr);
            releaseLater();
        }
        return false;
    }

private:
    void hold(QWidget* popup) {
        held_ = true;
        watch(popup);
    }

    void watch(QWidget* popup) {
        if (popup_ == popup) {
            return;
        }
        if (popup_ != nullptr) {
            popup_->removeEventFilter(this);
            QObject::disconnect(popup_, &QObject::destroyed, this, nullptr);
        }
        popup_ = popup;
        if (popup_ != nullptr) {
            popup_->installEventFilter(this);
            QObject::connect(popup_, &QObject::destroyed, this, [this] { releaseLater(); });
        }
    }

    // The popup hides before it delivers the pick made by closing it: the
    // tick waits for that. Posted to the application, not to this object,
    // which the tick itself may destroy.
    void releaseLater() {
        QMetaObject::invokeMethod(
            qApp,
            [self = QPointer<HeldTick>(this)] {
                if (self != nullptr) {
                    self->release();
                }
            },
            Qt::QueuedConnection);
    }

    void release() {
        if (!held_) {
            return;
        }
        if (QWidget* popup = QApplication::activePopupWidget()) {
            watch(popup);
            return;
        }
        held_ = false;
        run();
    }

    void run() {
        // A local: the callback may destroy this object.
        const auto callback = callback_;  // NOLINT(performance-unnecessary-copy-initialization)
        (*callback)();
    }

    std::shared_ptr<std::function<void()>> callback_;
    QPointer<QWidget> popup_;
    bool held_ = false;
};

class MenuTrackingTimer final : public platform::RepeatingTimer {
public:
    MenuTrackingTimer(platform::TimerFactory& inner, double intervalSeconds, std::function<void()> callback)
        : held_(std::make_unique<HeldTick>(std::move(callback))),
          inner_(inner.scheduledTimer(intervalSeconds, [tick = held_.get()] { tick->tick(); })) {}

    void invalidate() override {
        inner_->invalidate();
        held_->cancel();
    }

private:
    // Declared first, destroyed last: the inner timer calls into it.
    std::unique_ptr<HeldTick> held_;
    std::unique_ptr<platform::RepeatingTimer> inner_;
};

}  // namespace

std::unique_ptr<platform::RepeatingTimer> MenuTrackingTimers::scheduledTimer(double intervalSeconds,
                                                                             std::function<void()> callback) {
    return std::make_unique<MenuTrackingTimer>(inner_, intervalSeconds, std::move(callback));
}

}  // namespace tallowin::shell
