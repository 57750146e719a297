#pragma once

#include "Models/WindowSnapshot.hpp"

#include <QHash>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

namespace tavelor {

/// Decides which live window a saved window of a profile belongs to. Made once
/// per apply from the profile's snapshots and not changed afterwards.
///
/// A saved window with a present, non-empty bundle identifier that the profile
/// holds only once matches any live window with an equal identifier, whatever
/// the titles. When the profile holds that identifier two or more times, or the
/// identifier is present but empty, or absent on both sides, the normalised
/// titles decide: a saved title that normalises to the empty string matches any
/// title, otherwise the two normalised titles must be equal. Absent and present
/// identifiers never match each other. Application names and frames play no part.
///
/// All string equality here is canonical equivalence, case-sensitive; only the
/// title is lower-cased first.
class WindowMatcher {
public:
    explicit WindowMatcher(const QList<WindowSnapshot>& profileSnapshots);

    const QList<WindowSnapshot>& profileSnapshots() const { return m_profileSnapshots; }
    /// How many profile snapshots carry each present, non-empty bundle
    /// identifier. Keyed by the identifier's NFC form, so that canonically
    /// equivalent spellings count together.
    const QHash<QString, std::int64_t>& bundleCounts() const { return m_bundleCounts; }
    /// The count for this identifier in any canonically equivalent spelling; 0
    /// when the profile does not hold it.
    std::int64_t bundleCount(const QString& bundleIdentifier) const;

    /// The title as compared: absent is the empty string; otherwise lower-cased
    /// with the full Unicode mapping in no particular locale, every U+00A0 made
    /// a U+0020, then trimmed at both ends of space separators (category Zs)
    /// and U+0009 only. Line breaks are not trimmed, and nothing inside the
    /// title changes.
    static QString normalizedTitle(const std::optional<QString>& title);

    bool matches(const WindowSnapshot& saved, const WindowSnapshot& live) const;

    /// The lowest index of `live` not in `excluding` whose snapshot `saved`
    /// matches; nothing when there is none.
    std::optional<std::size_t> firstMatch(const WindowSnapshot& saved,
                                          const std::vector<WindowSnapshot>& live,
                                          const std::unordered_set<std::size_t>& excluding) const;

private:
    /// What the rule needs of the saved side, worked out once per search.
    struct SavedKey {
        const std::optional<QString>* bundleIdentifier;
        bool byBundleAlone;
        QString title;
    };

    SavedKey keyOf(const WindowSnapshot& saved) const;
    static bool matches(const SavedKey& saved, const WindowSnapshot& live);

    QList<WindowSnapshot> m_profileSnapshots;
    QHash<QString, std::int64_t> m_bundleCounts;
};

} // namespace tavelor
