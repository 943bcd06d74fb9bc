#include "shell/application_shell.h"

#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>

#include "app/view_controller.h"
#include "shell/combo_box_list.h"
#include "shell/label_text.h"
#include "shell/main_view.h"
#include "shell/menu_tracking_timers.h"
#include "shell/qt_main_window.h"
#include "shell/window_menu.h"

namespace tallowin::shell {

ApplicationShell::ApplicationShell(platform::Provider& system, platform::TimerFactory& timers,
                                   platform::Workspace& workspace, platform::LineOutput& output)
    : view_(std::make_unique<MainView>()),
      application_(std::make_unique<QtMainWindowSource>(view_.get())),
      timers_(std::make_unique<MenuTrackingTimers>(timers)) {
    controller_ =
        std::make_unique<ViewController>(PlatformServices{system, *timers_, *application_, workspace, output});

    ViewController& controller = *controller_;
    controller.setWindowListComboBox(view_->windowList());
    controller.setResolutionComboBox(view_->resolutionList());
    controller.setMessage(view_->message());

    // Only the user's picks: Qt emits activated for those alone, never for
    // the controller's own refills and selections.
    const auto windowList = view_->windowList();
    QObject::connect(view_->windowComboBox(), &QComboBox::activated, view_.get(),
                     [&controller, weakList = std::weak_ptr<ComboBoxList>(windowList)](int) {
                         if (const auto list = weakList.lock()) {
                             controller.windowSelectionChanged(*list);
                         }
                     });
    QObject::connect(view_->placeButton(), &QPushButton::clicked, view_.get(),
                     [&controller] { controller.handlePlaceButtonClick(); });
    view_->setClosedHandler([&controller] { controller.viewDidDisappear(); });

#ifdef Q_OS_MACOS
    // A Mac user looks for Window > Minimize and Close in the screen's menu
    // bar. Elsewhere a menu bar without a parent would be a window of its
    // own, and the window manager's title bar offers both already.
    menuBar_ = makeWindowMenuBar(*view_);
#endif

    controller.viewDidLoad();
}

ApplicationShell::~ApplicationShell() {
    // The window may still close as it goes; the controller is gone by then.
    view_->setClosedHandler({});
    controller_.reset();
}

void ApplicationShell::show() { view_->show(); }

}  // namespace tallowin::shell
