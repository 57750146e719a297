#include "Services/HotKeyStore.hpp"

#include <QSettings>

#include <cstdint>
#include <limits>

namespace tavelor::HotKeyStore {

namespace {

// The platform's integer reading of an entry: INI values come back as text,
// anything without a numeric reading counts as 0.
std::int64_t integerForKey(const QSettings& defaults, const char* key)
{
    bool ok = false;
    const qlonglong value = defaults.value(key).toLongLong(&ok);
    return ok ? value : 0;
}

} // namespace

std::optional<HotKey> load(QSettings& defaults)
{
    if (!defaults.contains(kKeyCodeKey) || !defaults.contains(kModifiersKey))
        return std::nullopt;
    const std::int64_t keyCode = integerForKey(defaults, kKeyCodeKey);
    const std::int64_t modifiers = integerForKey(defaults, kModifiersKey);
    if (keyCode < 0 || keyCode > std::numeric_limits<std::uint16_t>::max())
        return std::nullopt;
    if (modifiers < 1 || modifiers > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return HotKey{static_cast<std::uint16_t>(keyCode), static_cast<std::uint32_t>(modifiers)};
}

} // namespace tavelor::HotKeyStore
