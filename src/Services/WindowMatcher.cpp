#include "Services/WindowMatcher.hpp"

#include "Models/CanonicalText.hpp"

#include <QChar>

namespace tavelor {

namespace {

bool isTrimmedSpace(QChar c)
{
    // Every space separator lies in the BMP, so a code unit test is exact.
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

} // namespace

WindowMatcher::WindowMatcher(const QList<WindowSnapshot>& profileSnapshots)
    : m_profileSnapshots(profileSnapshots)
{
    for (const WindowSnapshot& snapshot : profileSnapshots) {
        if (snapshot.bundleIdentifier && !snapshot.bundleIdentifier->isEmpty())
            ++m_bundleCounts[snapshot.bundleIdentifier->normalized(QString::NormalizationForm_C)];
    }
}

std::int64_t WindowMatcher::bundleCount(const QString& bundleIdentifier) const
{
    // Identifiers are nearly always in NFC already, and a key found as it
    // stands is its own NFC form: normalise only on a miss.
    if (auto it = m_bundleCounts.constFind(bundleIdentifier); it != m_bundleCounts.cend())
        return *it;
    return m_bundleCounts.value(bundleIdentifier.normalized(QString::NormalizationForm_C), 0);
}

QString WindowMatcher::normalizedTitle(const std::optional<QString>& title)
{
    if (!title)
        return {};
    // QString::toLower is locale-free and applies the full mappings (U+0130
    // becomes "i" U+0307, supplementary planes included) without context rules
    // such as the final sigma.
    QString text = title->toLower();
    text.replace(QChar(0x00A0), QChar(u' '));
    // Not QString::trimmed: that also strips line breaks, which must stay.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmedSpace(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmedSpace(text.at(end - 1)))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.sliced(begin, end - begin);
}

WindowMatcher::SavedKey WindowMatcher::keyOf(const WindowSnapshot& saved) const
{
    const bool byBundleAlone = saved.bundleIdentifier && !saved.bundleIdentifier->isEmpty() &&
                               bundleCount(*saved.bundleIdentifier) <= 1;
    return SavedKey{&saved.bundleIdentifier, byBundleAlone,
                    byBundleAlone ? QString() : normalizedTitle(saved.windowTitle)};
}

bool WindowMatcher::matches(const SavedKey& saved, const WindowSnapshot& live)
{
    const std::optional<QString>& savedBundle = *saved.bundleIdentifier;
    if (savedBundle.has_value() != live.bundleIdentifier.has_value())
        return false;
    if (savedBundle && !canonicallyEqual(*savedBundle, *live.bundleIdentifier))
        return false;
    if (saved.byBundleAlone)
        return true;
    return saved.title.isEmpty() ||
           canonicallyEqual(normalizedTitle(live.windowTitle), saved.title);
}

bool WindowMatcher::matches(const WindowSnapshot& saved, const WindowSnapshot& live) const
{
    return matches(keyOf(saved), live);
}

std::optional<std::size_t>
WindowMatcher::firstMatch(const WindowSnapshot& saved, const std::vector<WindowSnapshot>& live,
                          const std::unordered_set<std::size_t>& excluding) const
{
    const SavedKey key = keyOf(saved);
    for (std::size_t i = 0; i < live.size(); ++i) {
        if (!excluding.contains(i) && matches(key, live[i]))
            return i;
    }
    return std::nullopt;
}

} // namespace tavelor
