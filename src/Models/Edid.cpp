#include "Models/Edid.hpp"

#include <array>
#include <cstdint>

namespace tavelor {

namespace {

constexpr qsizetype kBlockSize = 128;
// A base block can announce at most 255 extensions.
constexpr qsizetype kMaxSize = kBlockSize * 256;
constexpr std::array<std::uint8_t, 8> kHeader = {0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00};

std::uint8_t byteAt(QByteArrayView edid, qsizetype index)
{
    return static_cast<std::uint8_t>(edid[index]);
}

// Descriptor text: up to 13 bytes of code page 437, ended by a line feed and
// padded with spaces. Only printable ASCII is kept, so that a stray byte can
// neither break the profiles file nor make two reads of one monitor differ.
QString descriptorText(QByteArrayView edid, qsizetype offset)
{
    QString text;
    for (qsizetype i = offset + 5; i < offset + 18; ++i) {
        const std::uint8_t c = byteAt(edid, i);
        if (c == '\n' || c == 0)
            break;
        if (c >= 0x20 && c < 0x7f)
            text += QChar(c);
    }
    return text.trimmed();
}

} // namespace

std::optional<EdidIdentity> parseEdid(QByteArrayView edid)
{
    if (edid.size() < kBlockSize || edid.size() > kMaxSize || edid.size() % kBlockSize != 0)
        return std::nullopt;
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        if (byteAt(edid, static_cast<qsizetype>(i)) != kHeader[i])
            return std::nullopt;
    }
    std::uint8_t sum = 0;
    for (qsizetype i = 0; i < kBlockSize; ++i)
        sum = static_cast<std::uint8_t>(sum + byteAt(edid, i));
    if (sum != 0)
        return std::nullopt;

    // Bytes 8-9: three 5-bit letters, big-endian, 1 is 'A'.
    const unsigned id = (unsigned{byteAt(edid, 8)} << 8) | byteAt(edid, 9);
    EdidIdentity identity;
    for (const unsigned shift : {10U, 5U, 0U}) {
        const unsigned letter = (id >> shift) & 0x1f;
        if (letter < 1 || letter > 26)
            return std::nullopt;
        identity.maker += QChar(static_cast<char16_t>('A' + letter - 1));
    }
    const unsigned product = unsigned{byteAt(edid, 10)} | (unsigned{byteAt(edid, 11)} << 8);
    const std::uint32_t serialNumber =
        std::uint32_t{byteAt(edid, 12)} | (std::uint32_t{byteAt(edid, 13)} << 8) |
        (std::uint32_t{byteAt(edid, 14)} << 16) | (std::uint32_t{byteAt(edid, 15)} << 24);

    // Four 18-byte descriptors from byte 54; a display descriptor starts with
    // three zero bytes and its tag.
    QString name;
    QString serialText;
    for (qsizetype offset = 54; offset < 126; offset += 18) {
        if (byteAt(edid, offset) != 0 || byteAt(edid, offset + 1) != 0)
            continue;
        const std::uint8_t tag = byteAt(edid, offset + 3);
        if (tag == 0xfc)
            name += descriptorText(edid, offset);
        else if (tag == 0xff && serialText.isEmpty())
            serialText = descriptorText(edid, offset);
    }
    identity.model = name.isEmpty() ? QStringLiteral("%1").arg(product, 4, 16, QChar(u'0')) : name;
    identity.serial = !serialText.isEmpty() ? serialText
                      : serialNumber != 0   ? QString::number(serialNumber)
                                            : QString();
    return identity;
}

} // namespace tavelor
