#include "Platform/X11/KeyCodeTable.hpp"

#include <array>
#include <utility>

namespace tavelor::x11 {

namespace {

struct Entry {
    std::uint16_t keyCode;
    std::string_view name;
};

// By position, not by what the key types. The ISO key beside the left Shift
// (0x0A, "Section") is LSGT; the key left of 1 (0x32, "Grave") is TLDE.
// Help sits where Insert is, keypad Clear where Num Lock is, Eisu and Kana
// are the LANG2 and LANG1 keys (HJCV, HNGL), the JIS keypad comma is KPPT.
constexpr std::array kEntries{
    Entry{0x00, "AC01"}, Entry{0x01, "AC02"}, Entry{0x02, "AC03"}, Entry{0x03, "AC04"},
    Entry{0x04, "AC06"}, Entry{0x05, "AC05"}, Entry{0x06, "AB01"}, Entry{0x07, "AB02"},
    Entry{0x08, "AB03"}, Entry{0x09, "AB04"}, Entry{0x0A, "LSGT"}, Entry{0x0B, "AB05"},
    Entry{0x0C, "AD01"}, Entry{0x0D, "AD02"}, Entry{0x0E, "AD03"}, Entry{0x0F, "AD04"},
    Entry{0x10, "AD06"}, Entry{0x11, "AD05"}, Entry{0x12, "AE01"}, Entry{0x13, "AE02"},
    Entry{0x14, "AE03"}, Entry{0x15, "AE04"}, Entry{0x16, "AE06"}, Entry{0x17, "AE05"},
    Entry{0x18, "AE12"}, Entry{0x19, "AE09"}, Entry{0x1A, "AE07"}, Entry{0x1B, "AE11"},
    Entry{0x1C, "AE08"}, Entry{0x1D, "AE10"}, Entry{0x1E, "AD12"}, Entry{0x1F, "AD09"},
    Entry{0x20, "AD07"}, Entry{0x21, "AD11"}, Entry{0x22, "AD08"}, Entry{0x23, "AD10"},
    Entry{0x24, "RTRN"}, Entry{0x25, "AC09"}, Entry{0x26, "AC07"}, Entry{0x27, "AC11"},
    Entry{0x28, "AC08"}, Entry{0x29, "AC10"}, Entry{0x2A, "BKSL"}, Entry{0x2B, "AB08"},
    Entry{0x2C, "AB10"}, Entry{0x2D, "AB06"}, Entry{0x2E, "AB07"}, Entry{0x2F, "AB09"},
    Entry{0x30, "TAB"},  Entry{0x31, "SPCE"}, Entry{0x32, "TLDE"}, Entry{0x33, "BKSP"},
    Entry{0x35, "ESC"},  Entry{0x36, "RWIN"}, Entry{0x37, "LWIN"}, Entry{0x38, "LFSH"},
    Entry{0x39, "CAPS"}, Entry{0x3A, "LALT"}, Entry{0x3B, "LCTL"}, Entry{0x3C, "RTSH"},
    Entry{0x3D, "RALT"}, Entry{0x3E, "RCTL"}, Entry{0x40, "FK17"}, Entry{0x41, "KPDL"},
    Entry{0x43, "KPMU"}, Entry{0x45, "KPAD"}, Entry{0x47, "NMLK"}, Entry{0x48, "VOL+"},
    Entry{0x49, "VOL-"}, Entry{0x4A, "MUTE"}, Entry{0x4B, "KPDV"}, Entry{0x4C, "KPEN"},
    Entry{0x4E, "KPSU"}, Entry{0x4F, "FK18"}, Entry{0x50, "FK19"}, Entry{0x51, "KPEQ"},
    Entry{0x52, "KP0"},  Entry{0x53, "KP1"},  Entry{0x54, "KP2"},  Entry{0x55, "KP3"},
    Entry{0x56, "KP4"},  Entry{0x57, "KP5"},  Entry{0x58, "KP6"},  Entry{0x59, "KP7"},
    Entry{0x5A, "FK20"}, Entry{0x5B, "KP8"},  Entry{0x5C, "KP9"},  Entry{0x5D, "AE13"},
    Entry{0x5E, "AB11"}, Entry{0x5F, "KPPT"}, Entry{0x60, "FK05"}, Entry{0x61, "FK06"},
    Entry{0x62, "FK07"}, Entry{0x63, "FK03"}, Entry{0x64, "FK08"}, Entry{0x65, "FK09"},
    Entry{0x66, "HJCV"}, Entry{0x67, "FK11"}, Entry{0x68, "HNGL"}, Entry{0x69, "FK13"},
    Entry{0x6A, "FK16"}, Entry{0x6B, "FK14"}, Entry{0x6D, "FK10"}, Entry{0x6E, "COMP"},
    Entry{0x6F, "FK12"}, Entry{0x71, "FK15"}, Entry{0x72, "INS"},  Entry{0x73, "HOME"},
    Entry{0x74, "PGUP"}, Entry{0x75, "DELE"}, Entry{0x76, "FK04"}, Entry{0x77, "END"},
    Entry{0x78, "FK02"}, Entry{0x79, "PGDN"}, Entry{0x7A, "FK01"}, Entry{0x7B, "LEFT"},
    Entry{0x7C, "RGHT"}, Entry{0x7D, "DOWN"}, Entry{0x7E, "UP"},
};

constexpr bool sortedByKeyCode()
{
    for (std::size_t i = 1; i < kEntries.size(); ++i) {
        if (kEntries[i - 1].keyCode >= kEntries[i].keyCode)
            return false;
    }
    return true;
}
static_assert(sortedByKeyCode(), "keep the table in key code order, one entry a code");

} // namespace

std::optional<std::string_view> xkbKeyName(std::uint16_t keyCode)
{
    for (const Entry& entry : kEntries) {
        if (entry.keyCode == keyCode)
            return entry.name;
    }
    return std::nullopt;
}

std::optional<std::uint16_t> keyCodeForXkbKeyName(std::string_view name)
{
    for (const Entry& entry : kEntries) {
        if (entry.name == name)
            return entry.keyCode;
    }
    return std::nullopt;
}

} // namespace tavelor::x11
