#pragma once

#include "Platform/KeyboardLayout.hpp"

#include <QString>

#include <cstdint>
#include <map>
#include <set>

namespace tavelor::fake {

/// A keyboard layout in memory: tests say what each key types, which keys
/// are dead, and whether there is a source or layout data at all.
class FakeKeyboardLayout final : public platform::KeyboardLayout {
public:
    /// The arguments of the last keyTranslate() call.
    struct TranslateCall {
        std::uint16_t keyCode = 0;
        std::uint16_t keyAction = 0;
        std::uint32_t modifierKeyState = 0;
        std::uint32_t keyboardType = 0;
        std::uint32_t keyTranslateOptions = 0;
        std::uint32_t deadKeyState = 0;
        std::size_t maxStringLength = 0;
    };
    enum class Data { Present, Empty, Absent };

    FakeKeyboardLayout();
    ~FakeKeyboardLayout() override;

    std::unique_ptr<platform::InputSource> copyCurrentKeyboardInputSource() override;
    const platform::KeyLayoutData*
    unicodeKeyLayoutData(const platform::InputSource& source) override;
    std::uint32_t keyboardType() override { return kKeyboardType; }
    platform::OSStatus keyTranslate(const platform::KeyLayoutData& layout, std::uint16_t keyCode,
                                    std::uint16_t keyAction, std::uint32_t modifierKeyState,
                                    std::uint32_t keyboardType, std::uint32_t keyTranslateOptions,
                                    std::uint32_t* deadKeyState, std::size_t maxStringLength,
                                    std::size_t* actualStringLength,
                                    char16_t* unicodeString) override;

    // Inspection side.

    static constexpr std::uint32_t kKeyboardType = 40;

    /// What `keyCode` types; keys never set have no key on this layout.
    void setCharacters(std::uint16_t keyCode, const QString& text) { m_texts[keyCode] = text; }
    void setDeadKey(std::uint16_t keyCode) { m_deadKeys.insert(keyCode); }
    void setHasInputSource(bool on) { m_hasSource = on; }
    void setLayoutData(Data data) { m_data = data; }

    /// Sources handed out and not yet released.
    int liveInputSources() const { return m_liveSources; }
    const TranslateCall& lastTranslate() const { return m_lastCall; }

private:
    class Source;
    class LayoutData;

    std::map<std::uint16_t, QString> m_texts;
    std::set<std::uint16_t> m_deadKeys;
    bool m_hasSource = true;
    Data m_data = Data::Present;
    int m_liveSources = 0;
    TranslateCall m_lastCall;
};

} // namespace tavelor::fake
