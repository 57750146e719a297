#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tavelor::xdg {

/// The parts of one desktop entry (freedesktop.org Desktop Entry
/// standard) an application's identity needs.
struct DesktopEntry {
    QString id;   ///< the desktop-file id without ".desktop" ("org.gnome.Terminal")
    QString name; ///< Name for the current locale, else the plain Name
    QString startupWmClass;
    bool hidden = false; ///< Hidden=true: the entry counts as deleted
};

/// Parses the [Desktop Entry] group of a desktop file. `localeKeys` are the
/// Name[...] keys to prefer, best first (see localeKeysFor()). Nothing when the
/// group is missing or has no Name.
std::optional<DesktopEntry> parseDesktopEntry(const QByteArray& contents, const QString& id,
                                              const QStringList& localeKeys);

/// The locale suffixes to try for a POSIX locale name, in the order of the
/// Desktop Entry standard: lang_COUNTRY@MODIFIER, lang_COUNTRY,
/// lang@MODIFIER, lang. "C" and "POSIX" give none.
QStringList localeKeysFor(const QString& posixLocale);

/// Desktop entries of the applications folders of $XDG_DATA_HOME and
/// $XDG_DATA_DIRS, read on first use and kept: an application's identity
/// lookups cost a hash lookup each after that. They are read again when one of
/// those folders has changed (an application installed while Tavelor runs),
/// since an application's bundle identifier must not depend on whether its
/// desktop file was there when Tavelor started.
class DesktopEntries {
public:
    DesktopEntries() = default;
    /// For tests: the data folders to search, best first (each with an
    /// "applications" subfolder), and the locale.
    DesktopEntries(QStringList dataDirs, QString posixLocale);

    /// The entry for a window: StartupWMClass equal to the WM_CLASS instance,
    /// then to the class; then the file `<instance>.desktop`, `<class>.desktop`,
    /// `<gtkApplicationId>.desktop`. Names are compared exactly (the class
    /// name differs from the instance mostly in letter case, and the first
    /// rules that match exactly are the ones applications set up).
    const DesktopEntry* find(const QString& instance, const QString& className,
                             const QString& gtkApplicationId);

    /// Reads the entries again if an applications folder was added, removed
    /// or changed since they were read (a few stat calls otherwise).
    void reloadIfChanged();

private:
    void load();
    std::vector<qint64> folderStamps() const;

    std::optional<QStringList> m_dataDirs;
    std::optional<QString> m_locale;
    bool m_loaded = false;
    QStringList m_folders;
    std::vector<qint64> m_stamps;
    std::vector<DesktopEntry> m_entries;
    QHash<QString, std::size_t> m_byId;
    QHash<QString, std::size_t> m_byStartupWmClass;
};

} // namespace tavelor::xdg
