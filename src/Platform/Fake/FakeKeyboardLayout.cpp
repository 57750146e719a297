#include "Platform/Fake/FakeKeyboardLayout.hpp"

#include <algorithm>

namespace tavelor::fake {

using namespace platform;

class FakeKeyboardLayout::LayoutData final : public KeyLayoutData {
public:
    explicit LayoutData(bool empty) : m_empty(empty) {}
    bool isEmpty() const override { return m_empty; }

private:
    bool m_empty;
};

class FakeKeyboardLayout::Source final : public InputSource {
public:
    Source(int& live, Data data)
        : m_live(live), m_data(data == Data::Empty), m_hasData(data != Data::Absent)
    {
        ++m_live;
    }
    ~Source() override { --m_live; }

    const KeyLayoutData* data() const { return m_hasData ? &m_data : nullptr; }

private:
    int& m_live;
    LayoutData m_data;
    bool m_hasData;
};

FakeKeyboardLayout::FakeKeyboardLayout() = default;
FakeKeyboardLayout::~FakeKeyboardLayout() = default;

std::unique_ptr<InputSource> FakeKeyboardLayout::copyCurrentKeyboardInputSource()
{
    if (!m_hasSource)
        return nullptr;
    return std::make_unique<Source>(m_liveSources, m_data);
}

const KeyLayoutData* FakeKeyboardLayout::unicodeKeyLayoutData(const InputSource& source)
{
    const auto* own = dynamic_cast<const Source*>(&source);
    return own ? own->data() : nullptr;
}

OSStatus FakeKeyboardLayout::keyTranslate(const KeyLayoutData& /*layout*/, std::uint16_t keyCode,
                                          std::uint16_t keyAction, std::uint32_t modifierKeyState,
                                          std::uint32_t keyboardType,
                                          std::uint32_t keyTranslateOptions,
                                          std::uint32_t* deadKeyState, std::size_t maxStringLength,
                                          std::size_t* actualStringLength, char16_t* unicodeString)
{
    m_lastCall = {keyCode,        keyAction,           modifierKeyState,
                  keyboardType,   keyTranslateOptions, *deadKeyState,
                  maxStringLength};
    *actualStringLength = 0;
    if (m_deadKeys.contains(keyCode)) {
        *deadKeyState = 1;
        return noErr;
    }
    auto it = m_texts.find(keyCode);
    if (it == m_texts.end())
        return paramErr;
    const std::size_t length =
        std::min(maxStringLength, static_cast<std::size_t>(it->second.size()));
    std::copy_n(it->second.utf16(), length, unicodeString);
    *actualStringLength = length;
    return noErr;
}

} // namespace tavelor::fake
