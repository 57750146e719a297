// Window properties come from any X client, so their decoders must take any
// bytes in any format: never crash, give text that is valid UTF-16 and no
// longer than the bytes allow, and only believable frame extents.
#include "Platform/X11/PropertyDecoding.hpp"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

using namespace tavelor::x11;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the property format the reply claims; the rest are
    // its bytes.
    const std::uint8_t formats[] = {0, 8, 16, 32};
    const std::uint8_t format = formats[data[0] & 3];
    const bool truncated = (data[0] & 4) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto bytes = std::as_bytes(std::span(data + 1, size - 1));

    for (TextEncoding encoding :
         {TextEncoding::Latin1, TextEncoding::Utf8, TextEncoding::CompoundText}) {
        const QString decoded = decodeText(text, encoding, truncated);
        if (!decoded.isValidUtf16() || static_cast<std::size_t>(decoded.size()) > text.size())
            std::abort();
    }
    if (const auto wmClass = decodeWmClass(text, format)) {
        if (format != 8 || !wmClass->instance.isValidUtf16() || !wmClass->className.isValidUtf16())
            std::abort();
    }
    const auto cardinals = decodeCardinals(bytes, format);
    if (format != 32 && !cardinals.empty())
        std::abort();
    if (cardinals.size() > bytes.size() / 4)
        std::abort();
    if (const auto pid = decodePid(bytes, format); pid && *pid < 1)
        std::abort();
    if (const auto extents = decodeFrameExtents(bytes, format)) {
        if (extents->left > kMaxFrameExtent || extents->right > kMaxFrameExtent ||
            extents->top > kMaxFrameExtent || extents->bottom > kMaxFrameExtent)
            std::abort();
    }
    return 0;
}
