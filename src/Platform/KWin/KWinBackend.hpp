#pragma once

#include "Platform/BackendParts.hpp"

namespace tavelor::platform {
struct Session;
}

namespace tavelor::kwin {

/// True for a Plasma session on Wayland whose KWin answers on the session bus.
bool servesSession(const platform::Session& session);

/// The window source, window access and shortcut of a KWin session; the
/// keyboard comes from XWayland and the login item from the autostart folder.
platform::BackendParts makeParts(const platform::Session& session);

} // namespace tavelor::kwin
