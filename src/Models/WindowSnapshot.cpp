#include "Models/WindowSnapshot.hpp"

#include "Models/CanonicalText.hpp"

namespace tavelor {

namespace {
bool equalOptional(const std::optional<QString>& a, const std::optional<QString>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a.has_value() || canonicallyEqual(*a, *b);
}

void hashOptional(Hasher& hasher, const std::optional<QString>& text)
{
    if (!text) {
        hasher.feedByte(0);
        return;
    }
    hasher.feedByte(1);
    hashCanonical(hasher, *text);
}
} // namespace

bool operator==(const WindowSnapshot& a, const WindowSnapshot& b)
{
    return a.frame == b.frame && equalOptional(a.bundleIdentifier, b.bundleIdentifier) &&
           equalOptional(a.appName, b.appName) && equalOptional(a.windowTitle, b.windowTitle);
}

void WindowSnapshot::hashInto(Hasher& hasher) const
{
    hashOptional(hasher, bundleIdentifier);
    hashOptional(hasher, appName);
    hashOptional(hasher, windowTitle);
    frame.hashInto(hasher);
}

} // namespace tavelor
