#pragma once

#include "Platform/KeyboardLayout.hpp"

#include <map>

namespace tavelor::fake {

/// A keyboard layout in memory: what each key types. Keys never set (dead
/// keys, codes without a key) type nothing.
class FakeKeyboardLayout final : public platform::KeyboardLayout {
public:
    std::optional<QString> typedText(std::uint16_t keyCode) override
    {
        const auto it = texts.find(keyCode);
        return it == texts.end() ? std::nullopt : std::optional<QString>(it->second);
    }

    std::map<std::uint16_t, QString> texts;
};

} // namespace tavelor::fake
