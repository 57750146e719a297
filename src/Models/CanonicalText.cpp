#include "Models/CanonicalText.hpp"

namespace tavelor {

bool canonicallyEqual(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    return a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}

void hashCanonical(Hasher& hasher, const QString& text)
{
    const QString nfc = text.normalized(QString::NormalizationForm_C);
    hasher.feed(std::as_bytes(std::span(nfc.utf16(), static_cast<std::size_t>(nfc.size()))));
    // The length closes the string, so that ("ab", "c") and ("a", "bc") differ.
    hasher.feedUInt64(static_cast<std::uint64_t>(nfc.size()));
}

} // namespace tavelor
