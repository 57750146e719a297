#pragma once

#include <QString>

namespace tavelor::x11 {

/// The login item as an XDG autostart entry: `tavelor.desktop` in the user's
/// autostart folder ($XDG_CONFIG_HOME/autostart, by default ~/.config/autostart),
/// which every XDG session starts at login.
///
/// The entry is ours when its TryExec names `executable`; it is enabled unless
/// it says `Hidden=true` or `X-GNOME-Autostart-enabled=false` (how desktops
/// switch an entry off without removing it). Status follows the login item
/// status values: 1 ours and enabled; 0 absent, disabled, someone else's or
/// unreadable; 3 when `executable` is not an executable file. Never 2: nothing
/// here waits for the user's approval.
class XdgLoginItems {
public:
    static constexpr int kNotRegistered = 0;
    static constexpr int kEnabled = 1;
    static constexpr int kNotFound = 3;

    /// The running program in the user's autostart folder.
    XdgLoginItems();
    /// For tests: another folder and executable.
    XdgLoginItems(QString autostartFolder, QString executable);

    int status() const;
    /// Writes the entry (making the folder if needed) in one atomic step.
    /// False with a description of the cause in `error`.
    bool registerItem(QString* error);
    /// Removes the entry; a missing entry is success.
    bool unregisterItem(QString* error);

    QString entryPath() const;

    /// The entry's text for `executable`: Exec and TryExec name it, each
    /// escaped by the Desktop Entry rules for its value type.
    static QByteArray entryText(const QString& executable);
    /// `argument` as one argument of an Exec value, as it appears in the file:
    /// quoted when it holds a reserved character, `%` doubled, then escaped as
    /// a string value.
    static QString execArgument(const QString& argument);
    /// The string-value escapes of a desktop entry (\\, \n, \t, \r, leading \s).
    static QString escapeString(const QString& value);

private:
    QString m_folder;
    QString m_executable;
};

} // namespace tavelor::x11
