#pragma once

class QGuiApplication;

namespace tallowin {
class AppDelegate;
}  // namespace tallowin

namespace tallowin::shell {

// Puts the delegate's answers and callbacks where Qt asks for them: whether
// closing the last window quits, whether a session may restore the
// application, and the launch and termination notices. The delegate must
// outlive the application object.
void attachDelegate(QGuiApplication& application, AppDelegate& delegate);

}  // namespace tallowin::shell
