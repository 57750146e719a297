#pragma once

namespace tavelor {

namespace platform {
class LoginItems;
}

namespace LoginItemService {

/// Registers the program as a login item (`enabled`) or removes it. On
/// failure writes one line to stderr, "Tavelor: échec du register du
/// démarrage au login : " (or "unregister") and the cause, and answers false.
/// Nothing is shown to the user.
bool setEnabled(platform::LoginItems& loginItems, bool enabled);

} // namespace LoginItemService

} // namespace tavelor
