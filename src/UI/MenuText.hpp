#pragma once

#include <QString>

namespace tavelor {

/// A fixed text of the menu and the alerts, through the translation lookup
/// with the English text itself as the key.
QString localized(const char* text);

/// The label of a menu item that shows a name exactly as stored (a profile's
/// name, an application's name). See MenuText.cpp for what this protects
/// against.
QString menuItemText(const QString& name);

} // namespace tavelor
