#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tavelor {

/// What a monitor's EDID says it is, from the 128-byte base block.
struct EdidIdentity {
    /// The three-letter PNP id of the manufacturer ("DEL", "SAM").
    QString maker;
    /// The monitor name descriptor (0xFC) when there is one, else the product
    /// code as four hex digits.
    QString model;
    /// The serial descriptor (0xFF) when there is one, else the serial number
    /// field in decimal, else empty (many monitors leave it 0).
    QString serial;

    friend bool operator==(const EdidIdentity&, const EdidIdentity&) = default;
};

/// Reads the base block of `edid`. A blob that is not one (short, wrong
/// header, bad checksum, a length no EDID has) gives nothing: the monitor is
/// then unknown. Extension blocks are not read.
std::optional<EdidIdentity> parseEdid(QByteArrayView edid);

} // namespace tavelor
