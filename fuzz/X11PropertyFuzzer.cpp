// Window properties come from any X client, so their decoders must take any bytes in
// any format: never crash, give valid UTF-16 no longer than the bytes allow, and only
// believable frame extents. The first byte picks the format the reply claims and
// whether it was truncated; the rest are its bytes.
#include "Platform/X11/PropertyDecoding.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

using namespace tavelor::x11;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t format = (data[0] & 3) ? std::uint8_t(4 << (data[0] & 3)) : 0; // 0 8 16 32
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto bytes = std::as_bytes(std::span(data + 1, size - 1));
    bool fine = true;
    for (auto encoding : {TextEncoding::Latin1, TextEncoding::Utf8, TextEncoding::CompoundText}) {
        const QString decoded = decodeText(text, encoding, (data[0] & 4) != 0);
        fine &= decoded.isValidUtf16() && std::size_t(decoded.size()) <= text.size();
    }
    if (const auto wmClass = decodeWmClass(text, format))
        fine &=
            format == 8 && wmClass->instance.isValidUtf16() && wmClass->className.isValidUtf16();
    const auto cardinals = decodeCardinals(bytes, format);
    fine &= (format == 32 || cardinals.empty()) && cardinals.size() <= bytes.size() / 4;
    const auto pid = decodePid(bytes, format);
    fine &= !pid || *pid >= 1;
    if (const auto e = decodeFrameExtents(bytes, format))
        fine &= std::max({e->left, e->right, e->top, e->bottom}) <= kMaxFrameExtent;
    if (!fine)
        std::abort();
    return 0;
}
