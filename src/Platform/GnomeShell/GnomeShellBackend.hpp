#pragma once

#include "Platform/BackendFactory.hpp"
#include "Platform/BackendParts.hpp"

namespace tavelor::gnomeshell {

/// GNOME on Wayland. Served whether or not the extension answers: without it
/// the access check says no, and the user is told to enable the extension.
bool servesSession(const platform::Session& session);

/// The windows, the shortcut and the access check through Tavelor's Shell
/// extension, the monitors from Mutter, named "gnome-shell"; the keyboard
/// comes from XWayland.
platform::BackendParts makeParts(const platform::Session& session);

} // namespace tavelor::gnomeshell
