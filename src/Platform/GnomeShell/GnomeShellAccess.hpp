#pragma once

#include "Platform/WindowAccess.hpp"

namespace tavelor::gnomeshell {

/// On GNOME only the Shell extension can read and move other programs'
/// windows: access is whether it answers now. Nothing can be asked of the
/// user from here; enabling an extension takes a new login on Wayland.
class GnomeShellAccess final : public platform::WindowAccess {
public:
    bool canWorkWithWindows(bool mayPrompt) override;
};

} // namespace tavelor::gnomeshell
