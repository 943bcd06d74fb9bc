#pragma once

namespace tallowin::platform {
class LineOutput;
class MainWindowSource;
class Provider;
class TimerFactory;
class Workspace;
}  // namespace tallowin::platform

namespace tallowin {

// What the controller reaches: the operating system's provider and the
// services of the shell it runs in. Each outlives the controller.
struct PlatformServices {
    platform::Provider& system;
    platform::TimerFactory& timers;
    platform::MainWindowSource& application;
    platform::Workspace& workspace;
    platform::LineOutput& output;
};

}  // namespace tallowin
