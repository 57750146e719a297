#include "Platform/X11/PropertyDecoding.hpp"

#include <cstring>
#include <limits>

namespace tavelor::x11 {

namespace {

// Length of the incomplete UTF-8 sequence at the end of `bytes` (0 when the
// last character is complete or the tail is not a sequence start at all).
std::size_t incompleteUtf8Tail(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80)
            continue; // continuation byte: keep looking for the lead byte
        std::size_t expected = 1;
        if ((c & 0xE0) == 0xC0)
            expected = 2;
        else if ((c & 0xF0) == 0xE0)
            expected = 3;
        else if ((c & 0xF8) == 0xF0)
            expected = 4;
        return expected > back ? back : 0;
    }
    return 0;
}

QString latin1(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString utf8(std::string_view bytes)
{
    // QString::fromUtf8 turns every invalid sequence into U+FFFD.
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

QString decodeText(std::string_view bytes, TextEncoding encoding, bool truncated)
{
    switch (encoding) {
    case TextEncoding::Latin1:
        return latin1(bytes);
    case TextEncoding::Utf8:
        if (truncated)
            bytes.remove_suffix(incompleteUtf8Tail(bytes));
        return utf8(bytes);
    case TextEncoding::CompoundText:
        return decodeCompoundText(bytes);
    }
    return {};
}

QString decodeCompoundText(std::string_view bytes)
{
    constexpr char kEsc = 0x1B;
    QString out;
    bool rightHalfLatin1 = true; // GR starts as ISO 8859-1
    bool leftHalfAscii = true;   // GL starts as ASCII
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == kEsc) {
            // ESC % G switches to UTF-8 up to ESC % @.
            if (bytes.substr(i, 3) == "\x1B%G") {
                std::size_t end = bytes.find("\x1B%@", i + 3);
                if (end == std::string_view::npos)
                    end = bytes.size();
                out += utf8(bytes.substr(i + 3, end - i - 3));
                i = std::min(end + 3, bytes.size());
                continue;
            }
            // Any other escape: intermediate bytes 0x20-0x2F, then one final
            // byte. Only the designations of ASCII and Latin-1 are understood.
            std::size_t j = i + 1;
            while (j < bytes.size() && bytes[j] >= 0x20 && bytes[j] <= 0x2F)
                ++j;
            const std::string_view sequence = bytes.substr(i + 1, j - i);
            if (sequence == "(B")
                leftHalfAscii = true;
            else if (sequence == "-A")
                rightHalfLatin1 = true;
            else if (!sequence.empty() && (sequence[0] == '(' || sequence[0] == '$'))
                leftHalfAscii = false;
            else if (!sequence.empty())
                rightHalfLatin1 = false;
            i = std::min(j + 1, bytes.size());
            continue;
        }
        const auto u = static_cast<unsigned char>(c);
        if (u == '\n' || u == '\t')
            out += QChar(u);
        else if (u >= 0x20 && u < 0x7F)
            out += leftHalfAscii ? QChar(u) : QChar(QChar::ReplacementCharacter);
        else if (u >= 0xA0)
            out += rightHalfLatin1 ? QChar(u) : QChar(QChar::ReplacementCharacter);
        // Other control bytes (including C1 and the locking shifts) carry no text.
        ++i;
    }
    return out;
}

std::optional<WmClass> decodeWmClass(std::string_view bytes, std::uint8_t format)
{
    if (format != 8)
        return std::nullopt;
    const std::size_t firstEnd = bytes.find('\0');
    WmClass wmClass;
    wmClass.instance = latin1(bytes.substr(0, firstEnd));
    if (firstEnd != std::string_view::npos) {
        std::string_view rest = bytes.substr(firstEnd + 1);
        wmClass.className = latin1(rest.substr(0, rest.find('\0')));
    }
    return wmClass;
}

std::vector<std::uint32_t> decodeCardinals(std::span<const std::byte> bytes, std::uint8_t format)
{
    std::vector<std::uint32_t> values;
    if (format != 32)
        return values;
    values.resize(bytes.size() / sizeof(std::uint32_t));
    if (values.empty())
        return values;
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(std::uint32_t));
    return values;
}

std::optional<std::int32_t> decodePid(std::span<const std::byte> bytes, std::uint8_t format)
{
    const std::vector<std::uint32_t> values = decodeCardinals(bytes, format);
    if (values.empty() || values[0] == 0 ||
        values[0] > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(values[0]);
}

std::optional<FrameExtents> decodeFrameExtents(std::span<const std::byte> bytes,
                                               std::uint8_t format, std::uint32_t maxExtent)
{
    const std::vector<std::uint32_t> values = decodeCardinals(bytes, format);
    if (values.size() < 4)
        return std::nullopt;
    for (std::size_t i = 0; i < 4; ++i) {
        if (values[i] > maxExtent)
            return std::nullopt;
    }
    return FrameExtents{values[0], values[1], values[2], values[3]};
}

} // namespace tavelor::x11
