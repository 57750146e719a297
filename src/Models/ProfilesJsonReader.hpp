#pragma once

#include "Models/WindowProfile.hpp"

#include <QList>

#include <cstddef>
#include <optional>
#include <string_view>

namespace tavelor {

/// Reads a profiles document. The document must be one JSON array of profile
/// objects in strict UTF-8; keys may come in any order and unknown keys are
/// ignored at every level (their values must still be well-formed JSON);
/// required keys must be present, not null and of their type; optional keys may
/// be missing or null. Numbers are read bit for bit from their text (-0,
/// subnormals and integers too large for 64 bits included, a value too small
/// for a double reads as a zero of its sign); a number too large for a double
/// fails. The id must be the 36-character 8-4-4-4-12 form, in either letter
/// case. When a key appears twice in one object, each occurrence must be valid
/// and the last one counts.
///
/// Any breach anywhere gives nothing: never a part of the document.
std::optional<QList<WindowProfile>> decodeProfiles(std::string_view document);

/// Bytes that must be readable (any value) after the end of the document given
/// to decodeProfilesPadded.
inline constexpr std::size_t kProfilesReaderPadding = 64;

/// As decodeProfiles, without copying: the caller guarantees that
/// kProfilesReaderPadding bytes after the document may be read.
std::optional<QList<WindowProfile>> decodeProfilesPadded(std::string_view document);

} // namespace tavelor
