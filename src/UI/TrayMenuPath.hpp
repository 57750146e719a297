#pragma once

#include "UI/MenuText.hpp"

namespace tavelor {

/// How the tray icon that is about to be made will show its menu: exported
/// over D-Bus when a StatusNotifierItem host is registered (Qt's own choice,
/// made the same way, once per process, when its first tray icon is made),
/// drawn by QMenu otherwise. Ask right before making the tray icon.
MenuLabels trayMenuLabels();

} // namespace tavelor
