#pragma once

#include <memory>

#include "app/view_controller.h"
#include "tests/doubles/call_log.h"
#include "tests/doubles/fake_accessibility.h"
#include "tests/doubles/fake_controls.h"
#include "tests/doubles/scripted_services.h"
#include "tests/doubles/services_provider.h"
#include "tests/doubles/virtual_timers.h"

namespace tallowin::doubles {

// A controller wired to a full set of doubles, its outlets connected.
struct ControllerRig {
    CallLog log;
    ScriptedWindowListSource windowList;
    ScriptedScreenCapture screenCapture;
    FakeAccessibility accessibility{&log};
    VirtualTimerFactory timers;
    FakeMainWindowSource application{&log};
    FakeWorkspace workspace{&log};
    FakePreferences preferences{&log};
    RecordingOutput output{&log};
    ServicesProvider system{windowList, screenCapture, accessibility, preferences};
    std::shared_ptr<FakeListControl> windowListComboBox = std::make_shared<FakeListControl>();
    std::shared_ptr<FakeListControl> resolutionComboBox = std::make_shared<FakeListControl>();
    std::shared_ptr<FakeTextControl> message = std::make_shared<FakeTextControl>();
    std::unique_ptr<ViewController> controller;

    ControllerRig() {
        controller = std::make_unique<ViewController>(PlatformServices{system, timers, application, workspace, output});
        controller->setWindowListComboBox(windowListComboBox);
        controller->setResolutionComboBox(resolutionComboBox);
        controller->setMessage(message);
    }

    ViewController& vc() { return *controller; }
};

}  // namespace tallowin::doubles
