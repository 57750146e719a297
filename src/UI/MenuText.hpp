#pragma once

#include <QString>

namespace tavelor {

/// A fixed text of the menu, the alerts and the shortcut window, through the
/// translation lookup with the text itself as the key. `disambiguation`
/// chooses among translations of one text that differ by context (the
/// session's backend name for the permission alert); a table without one for
/// it gives its plain translation.
QString localized(const char* text, const char* disambiguation = nullptr);

/// Who draws the status menu, which decides how a label must be written for a
/// name to show as stored.
enum class MenuLabels {
    /// QMenu draws it (the XEmbed tray, a popup of our own): "&x" marks a
    /// mnemonic, "&&" is an ampersand, "_" is itself.
    Widgets,
    /// A panel draws it from Qt's com.canonical.dbusmenu export (the
    /// StatusNotifierItem tray). Qt turns the label's first "&" into "_" and
    /// passes everything else through; the panel then reads "_x" as a
    /// mnemonic and "__" as an underscore, and "&" as itself.
    DBusMenu,
};

/// The label of a menu item that shows a name (a profile's, an
/// application's) exactly as stored. A tab in the name shows as a space: both
/// kinds of menu draw what follows a tab in the shortcut column, and a name is
/// one label.
QString menuItemText(const QString& name, MenuLabels labels);

} // namespace tavelor
