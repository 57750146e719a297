#pragma once

#include "Platform/LoginItems.hpp"

namespace tavelor::xdg {

/// The login item as an XDG autostart entry,
/// $XDG_CONFIG_HOME/autostart/tavelor.desktop.
///
/// status() is 1 when that file exists and is enabled (neither "Hidden=true"
/// nor "X-GNOME-Autostart-enabled=false" in its [Desktop Entry] group), else 0;
/// this platform never asks for approval, so 2 never occurs. Writing and
/// removing the entry is not done here yet: both changes answer false with a
/// description saying so.
class XdgLoginItems final : public platform::LoginItems {
public:
    int status() override;
    bool registerAndReturnError(QString& error) override;
    bool unregisterAndReturnError(QString& error) override;
    void openSystemSettingsLoginItems() override {}

    /// The autostart entry's path, from the environment at the time of the call.
    static QString entryPath();
};

} // namespace tavelor::xdg
