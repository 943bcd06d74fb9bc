#pragma once

#include "platform/workspace.h"

namespace tallowin::shell {

// Opens items through the desktop's own handler (QDesktopServices). An item
// that does not exist is refused quietly: the desktop would only complain
// on standard error (the screenshot tool's path exists on macOS alone).
class QtWorkspace final : public platform::Workspace {
public:
    bool openURL(const platform::FileURL& url) override;
};

}  // namespace tallowin::shell
