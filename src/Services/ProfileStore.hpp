#pragma once

#include "Models/WindowProfile.hpp"

#include <QList>
#include <QString>

#include <optional>
#include <sys/types.h>

namespace tavelor {

/// Moves the whole list of profiles between memory and the profiles file,
/// $XDG_DATA_HOME/Tavelor/profiles.json. Keeps no profiles itself; never reports a
/// failure: a load that fails gives an empty list, a save that fails leaves the
/// file as it was.
///
/// The folder is made 0700 and the file written 0600, atomically (a temporary
/// file beside it, flushed, then renamed over it), so the file is always wholly
/// old or wholly new.
///
/// A file that exists but cannot be read or decoded is never replaced: the first
/// save that would replace it first moves it aside in the same folder as
/// profiles.json.unreadable-YYYYMMDD-HHMMSS, and does not write when that fails.
/// A save that finds the folder gone makes it again.
class ProfileStore {
public:
    /// The file in the per-user data folder; makes the folder.
    ProfileStore();
    /// The file `profiles.json` in `folder` (for tests); makes the folder.
    explicit ProfileStore(const QString& folder);

    ~ProfileStore() = default;
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    QList<WindowProfile> load();
    void save(const QList<WindowProfile>& profiles);

    QString filePath() const { return m_filePath; }

private:
    struct FileIdentity {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long mtimeNs = 0;
        friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
    };

    bool makeFolder() const;
    bool setAsideIfUnreadable();
    void remember(const FileIdentity& identity);

    QString m_folder;
    QString m_filePath;
    // The file as this store last read or wrote it whole and well-formed; a file
    // that still matches it needs no check before it is replaced.
    std::optional<FileIdentity> m_knownGood;
};

} // namespace tavelor
