#include "platform/macos/mac_screen_capture.h"

#include <CoreGraphics/CoreGraphics.h>

namespace tallowin::macos {

bool MacScreenCapture::preflightScreenCaptureAccess() { return CGPreflightScreenCaptureAccess(); }

// Answers at once: the system shows its prompt (once per application) and a
// grant made there takes effect only after the application is relaunched.
bool MacScreenCapture::requestScreenCaptureAccess() { return CGRequestScreenCaptureAccess(); }

}  // namespace tallowin::macos
