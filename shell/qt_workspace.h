#pragma once

#include "platform/workspace.h"

namespace tallowin::shell {

// Opens items through the desktop's own handler (QDesktopServices).
class QtWorkspace final : public platform::Workspace {
public:
    bool openURL(const platform::FileURL& url) override;
};

}  // namespace tallowin::shell
