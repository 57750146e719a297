#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tavelor::x11 {

// Pure decoders for the window properties a scan reads. They take the raw
// bytes and format of a GetProperty reply and never trust either: a property
// of the wrong format, too short, or with values no window manager would set
// gives an absent value instead.

/// How many bytes of a text property (titles, WM_CLASS, application ids) a scan
/// asks for: 64 KiB. Longer titles are cut there (on a character boundary),
/// which keeps a hostile client's megabyte title from costing more than that.
inline constexpr std::size_t kMaxTextPropertyBytes = std::size_t{64} * 1024;
/// How many atoms of _NET_WM_WINDOW_TYPE and _NET_WM_STATE are looked at.
inline constexpr std::size_t kMaxAtomListLength = 64;
/// _NET_FRAME_EXTENTS larger than this on any side are not believed: no window
/// manager draws a border that wide, and a client may set the property itself.
inline constexpr std::uint32_t kMaxFrameExtent = 1024;

/// The text encodings X text properties come in (ICCCM 2.7.1, EWMH).
enum class TextEncoding {
    Latin1,       ///< STRING
    Utf8,         ///< UTF8_STRING
    CompoundText, ///< COMPOUND_TEXT
};

/// Text of a format-8 property. Invalid UTF-8 becomes U+FFFD; when
/// `truncated`, an incomplete character at the end is dropped rather than
/// replaced.
QString decodeText(std::string_view bytes, TextEncoding encoding, bool truncated = false);

/// ISO 2022 Compound Text, best effort: ASCII and Latin-1 (the default sets),
/// the UTF-8 escape `ESC % G` .. `ESC % @`; bytes of any other designated set
/// become U+FFFD.
QString decodeCompoundText(std::string_view bytes);

struct WmClass {
    QString instance; ///< first string: the resource name
    QString className;
};

/// WM_CLASS: two NUL-terminated Latin-1 strings. A missing second string makes
/// the class empty; absent when the property is not format 8.
std::optional<WmClass> decodeWmClass(std::string_view bytes, std::uint8_t format);

/// Format-32 values of a reply (xcb hands them over as 32-bit words). Empty
/// when the format is anything else.
std::vector<std::uint32_t> decodeCardinals(std::span<const std::byte> bytes, std::uint8_t format);

/// _NET_WM_PID: one format-32 value in 1 .. INT32_MAX.
std::optional<std::int32_t> decodePid(std::span<const std::byte> bytes, std::uint8_t format);

struct FrameExtents {
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    std::uint32_t top = 0;
    std::uint32_t bottom = 0;

    friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

/// Four format-32 values left, right, top, bottom (the order of both
/// _NET_FRAME_EXTENTS and _GTK_FRAME_EXTENTS), each at most `maxExtent`.
std::optional<FrameExtents> decodeFrameExtents(std::span<const std::byte> bytes,
                                               std::uint8_t format,
                                               std::uint32_t maxExtent = kMaxFrameExtent);

} // namespace tavelor::x11
