#pragma once

#include "Platform/LoginItems.hpp"

#include <QByteArray>
#include <QString>

namespace tavelor::xdg {

/// The login item as an XDG autostart entry: `tavelor.desktop` in the user's
/// autostart folder ($XDG_CONFIG_HOME/autostart, by default ~/.config/autostart),
/// which XDG sessions start at login.
///
/// The entry is ours when its TryExec names the running executable; it is
/// enabled unless its [Desktop Entry] group says `Hidden=true` or
/// `X-GNOME-Autostart-enabled=false` (how desktops switch an entry off without
/// removing it). status(): Enabled when ours and enabled; NotRegistered when
/// absent, disabled, someone else's or unreadable; NotFound when the executable
/// is not an executable file (it was removed or replaced while running). Folder
/// and executable are read afresh at every call.
class XdgLoginItems final : public platform::LoginItems {
public:
    /// The running program and the user's autostart folder.
    XdgLoginItems() = default;
    /// For tests: another folder and executable.
    XdgLoginItems(QString autostartFolder, QString executable);

    platform::LoginItemStatus status() override;
    /// Enabling writes the entry in one atomic step, making the folder when
    /// needed; disabling removes it, and a missing entry is success.
    bool setEnabled(bool enabled, QString& error) override;

    QString entryPath() const;

    /// The entry's text for `executable`: Exec and TryExec name it, each
    /// escaped by the Desktop Entry rules for its value type.
    static QByteArray entryText(const QString& executable);
    /// `argument` as one argument of an Exec value, as written in the file:
    /// quoted when it holds a reserved character, `%` doubled, then escaped as
    /// a string value.
    static QString execArgument(const QString& argument);
    /// The string-value escapes of a desktop entry (\\, \n, \t, \r, a leading \s).
    static QString escapeString(const QString& value);

private:
    bool add(QString& error);
    bool remove(QString& error);
    QString folder() const;
    QString executable() const;

    QString m_folder;
    QString m_executable;
};

} // namespace tavelor::xdg
