#include "Models/ProfilesJsonReader.hpp"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace tavelor {

static_assert(kProfilesReaderPadding >= simdjson::SIMDJSON_PADDING);

namespace {

namespace od = simdjson::ondemand;

// Every step answers false on the first breach; the caller then drops the
// whole document.

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimTrailingWhitespace(std::string_view token)
{
    while (!token.empty()) {
        const char c = token.back();
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            break;
        token.remove_suffix(1);
    }
    return token;
}

// The JSON number grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
// from_chars alone would also take "inf", "nan", leading zeros and a bare ".5".
bool isJsonNumber(std::string_view s)
{
    std::size_t i = 0;
    const std::size_t n = s.size();
    if (i < n && s[i] == '-')
        ++i;
    if (i >= n)
        return false;
    if (s[i] == '0') {
        ++i;
    } else if (s[i] >= '1' && s[i] <= '9') {
        while (i < n && isDigit(s[i]))
            ++i;
    } else {
        return false;
    }
    if (i < n && s[i] == '.') {
        ++i;
        const std::size_t start = i;
        while (i < n && isDigit(s[i]))
            ++i;
        if (i == start)
            return false;
    }
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < n && isDigit(s[i]))
            ++i;
        if (i == start)
            return false;
    }
    return i == n;
}

// For a well-formed number that from_chars found out of range: whether its
// magnitude is below the smallest subnormal (true) or above the largest double.
bool underflows(std::string_view s)
{
    const std::size_t n = s.size();
    std::size_t i = s.front() == '-' ? 1 : 0;
    // Decimal exponent of the first significant digit of the mantissa.
    long long magnitude = 0;
    bool found = false;
    const std::size_t intStart = i;
    while (i < n && isDigit(s[i]))
        ++i;
    for (std::size_t k = intStart; k < i && !found; ++k) {
        if (s[k] != '0') {
            magnitude = static_cast<long long>(i - 1 - k);
            found = true;
        }
    }
    if (i < n && s[i] == '.') {
        const std::size_t fracStart = ++i;
        for (; i < n && isDigit(s[i]); ++i) {
            if (!found && s[i] != '0') {
                magnitude = -static_cast<long long>(i - fracStart + 1);
                found = true;
            }
        }
    }
    long long exponent = 0;
    if (i < n) {
        ++i; // 'e' or 'E'
        const bool negative = s[i] == '-';
        if (s[i] == '+' || s[i] == '-')
            ++i;
        for (; i < n; ++i) {
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (s[i] - '0');
        }
        if (negative)
            exponent = -exponent;
    }
    return !found || magnitude + exponent < 0;
}

bool readNumber(od::value& value, double& out)
{
    const std::string_view token = trimTrailingWhitespace(value.raw_json_token());
    if (!isJsonNumber(token))
        return false;
    double result = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), result);
    if (ec == std::errc::result_out_of_range) {
        if (!underflows(token))
            return false;
        result = token.front() == '-' ? -0.0 : 0.0;
    } else if (ec != std::errc() || end != token.data() + token.size()) {
        return false;
    }
    out = result;
    return true;
}

bool isNull(od::value& value)
{
    bool null = false;
    return !value.is_null().get(null) && null;
}

bool readString(od::value& value, QString& out)
{
    std::string_view text;
    if (value.get_string().get(text))
        return false;
    out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return true;
}

bool readOptionalString(od::value& value, std::optional<QString>& out)
{
    od::json_type type;
    if (value.type().get(type))
        return false;
    if (type == od::json_type::null) {
        if (!isNull(value))
            return false;
        out.reset();
        return true;
    }
    QString text;
    if (!readString(value, text))
        return false;
    out = std::move(text);
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Exactly 8-4-4-4-12 hexadecimal digits; QUuid::fromString would also take
// braces and other forms.
bool readUuid(od::value& value, QUuid& out)
{
    std::string_view text;
    if (value.get_string().get(text) || text.size() != 36)
        return false;
    std::array<char, 16> bytes{};
    std::size_t byte = 0;
    for (std::size_t i = 0; i < 36;) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-')
                return false;
            ++i;
            continue;
        }
        const int high = hexValue(text[i]);
        const int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes[byte++] = static_cast<char>((high << 4) | low);
        i += 2;
    }
    out = QUuid::fromRfc4122(QByteArrayView(bytes.data(), 16));
    return true;
}

bool readBool(od::value& value, bool& out)
{
    return !value.get_bool().get(out);
}

// A value nobody reads (an unknown key's) must still be well-formed: the
// document as a whole is JSON or it is nothing.
bool skipValue(od::value& value)
{
    od::json_type type;
    if (value.type().get(type))
        return false;
    switch (type) {
    case od::json_type::array: {
        od::array array;
        if (value.get_array().get(array))
            return false;
        for (auto element : array) {
            od::value child;
            if (element.get(child) || !skipValue(child))
                return false;
        }
        return true;
    }
    case od::json_type::object: {
        od::object object;
        if (value.get_object().get(object))
            return false;
        for (auto entry : object) {
            od::field field;
            std::string_view key;
            if (std::move(entry).get(field) || field.unescaped_key().get(key) ||
                !skipValue(field.value()))
                return false;
        }
        return true;
    }
    case od::json_type::number: {
        double ignored = 0;
        return readNumber(value, ignored);
    }
    case od::json_type::string: {
        std::string_view ignored;
        return !value.get_string().get(ignored);
    }
    case od::json_type::boolean: {
        bool ignored = false;
        return readBool(value, ignored);
    }
    case od::json_type::null:
        return isNull(value);
    }
    return false;
}

// Iterates the fields of an object value, handing each known key's value to
// `onField(key, value)`, which answers false on a breach; unknown keys are
// checked for well-formedness only.
template <typename OnField> bool forEachField(od::value& value, OnField&& onField)
{
    od::object object;
    if (value.get_object().get(object))
        return false;
    for (auto entry : object) {
        od::field field;
        std::string_view key;
        if (std::move(entry).get(field) || field.unescaped_key().get(key))
            return false;
        int handled = onField(key, field.value());
        if (handled < 0)
            return false;
        if (handled == 0 && !skipValue(field.value()))
            return false;
    }
    return true;
}

// onField answers: 1 handled, 0 not a key of ours, -1 breach.
int result(bool ok)
{
    return ok ? 1 : -1;
}

bool readFrame(od::value& value, WindowFrame& frame)
{
    bool x = false, y = false, width = false, height = false;
    const bool ok = forEachField(value, [&](std::string_view key, od::value& v) {
        if (key == "x")
            return result((x = readNumber(v, frame.x)));
        if (key == "y")
            return result((y = readNumber(v, frame.y)));
        if (key == "width")
            return result((width = readNumber(v, frame.width)));
        if (key == "height")
            return result((height = readNumber(v, frame.height)));
        return 0;
    });
    return ok && x && y && width && height;
}

std::optional<Maximization> maximizationNamed(std::string_view text)
{
    if (text == "both")
        return Maximization::Both;
    if (text == "horizontal")
        return Maximization::Horizontal;
    if (text == "vertical")
        return Maximization::Vertical;
    return std::nullopt;
}

// A whole number from 0 to `limit`.
std::optional<std::int64_t> countFrom(double number, double limit)
{
    if (!(number >= 0 && number <= limit) || number != std::floor(number))
        return std::nullopt;
    return static_cast<std::int64_t>(number);
}

// The optional state keys after the frame. A value of the wrong type or out of
// range is dropped like an unknown key: the state is an extra, and a stray
// value in it must not cost the user the whole file. Answers as onField does;
// null, arrays and objects are left to the caller's well-formedness check.
int readStateKey(std::string_view key, od::value& value, std::optional<WindowState>& state)
{
    static constexpr std::string_view kFlags[] = {"onAllDesktops", "minimized", "fullscreen",
                                                  "keepAbove"};
    const bool isFlag = std::find(std::begin(kFlags), std::end(kFlags), key) != std::end(kFlags);
    if (!isFlag && key != "desktop" && key != "stackPosition" && key != "maximized")
        return 0;
    od::json_type type;
    if (value.type().get(type))
        return -1;
    // Far above any real desktop or window count.
    constexpr double kMaxDesktop = 1 << 16;
    constexpr double kMaxStackPosition = 1 << 24;
    WindowState read = state.value_or(WindowState{});
    bool taken = false;
    switch (type) {
    case od::json_type::number: {
        double number = 0;
        if (!readNumber(value, number))
            return -1;
        const bool desktop = key == "desktop";
        if (!desktop && key != "stackPosition")
            break;
        const std::optional<std::int64_t> count =
            countFrom(number, desktop ? kMaxDesktop : kMaxStackPosition);
        (desktop ? read.desktop : read.stackPosition) = count;
        taken = count.has_value();
        break;
    }
    case od::json_type::boolean: {
        bool flag = false;
        if (!readBool(value, flag))
            return -1;
        if (!isFlag)
            break;
        bool& field = key == "onAllDesktops" ? read.onAllDesktops
                      : key == "minimized"   ? read.minimized
                      : key == "fullscreen"  ? read.fullscreen
                                             : read.keepAbove;
        field = flag;
        taken = true;
        break;
    }
    case od::json_type::string: {
        std::string_view text;
        if (value.get_string().get(text))
            return -1;
        const std::optional<Maximization> maximized =
            key == "maximized" ? maximizationNamed(text) : std::nullopt;
        if (maximized)
            read.maximized = *maximized;
        taken = maximized.has_value();
        break;
    }
    default:
        return 0;
    }
    if (taken)
        state = read;
    return 1;
}

bool readSnapshot(od::value& value, WindowSnapshot& snapshot)
{
    bool frame = false;
    const bool ok = forEachField(value, [&](std::string_view key, od::value& v) {
        if (key == "bundleIdentifier")
            return result(readOptionalString(v, snapshot.bundleIdentifier));
        if (key == "appName")
            return result(readOptionalString(v, snapshot.appName));
        if (key == "windowTitle")
            return result(readOptionalString(v, snapshot.windowTitle));
        if (key == "frame") {
            WindowFrame read;
            frame = readFrame(v, read);
            snapshot.frame = read;
            return result(frame);
        }
        return readStateKey(key, v, snapshot.state);
    });
    return ok && frame;
}

bool readSnapshots(od::value& value, QList<WindowSnapshot>& snapshots)
{
    od::array array;
    if (value.get_array().get(array))
        return false;
    snapshots.clear();
    for (auto element : array) {
        od::value child;
        WindowSnapshot snapshot;
        if (element.get(child) || !readSnapshot(child, snapshot))
            return false;
        snapshots.append(std::move(snapshot));
    }
    return true;
}

// The monitors a profile was saved on. Like the state, they are an extra: a
// value of the wrong shape drops the setup, never the file, but it must still
// be well-formed JSON. Answers as onField does.
int readDisplays(od::value& value, std::optional<DisplaySetup>& displays)
{
    od::json_type type;
    if (value.type().get(type))
        return -1;
    // The last key counts, as everywhere in the file.
    displays.reset();
    if (type != od::json_type::array)
        return 0;
    od::array array;
    if (value.get_array().get(array))
        return -1;
    DisplaySetup setup;
    bool usable = true;
    for (auto element : array) {
        od::value child;
        if (element.get(child) || child.type().get(type))
            return -1;
        if (type != od::json_type::object) {
            usable = false;
            if (!skipValue(child))
                return -1;
            continue;
        }
        Monitor monitor;
        // Bits of the connector, x, y, width and height, which are needed;
        // the scale defaults to 1 and the names may be absent.
        unsigned seen = 0;
        const bool ok = forEachField(child, [&](std::string_view key, od::value& v) {
            QString* const text = key == "connector" ? &monitor.connector
                                  : key == "maker"   ? &monitor.maker
                                  : key == "model"   ? &monitor.model
                                  : key == "serial"  ? &monitor.serial
                                                     : nullptr;
            double* const number = key == "x"        ? &monitor.x
                                   : key == "y"      ? &monitor.y
                                   : key == "width"  ? &monitor.width
                                   : key == "height" ? &monitor.height
                                   : key == "scale"  ? &monitor.scale
                                                     : nullptr;
            od::json_type fieldType;
            if (v.type().get(fieldType))
                return -1;
            if (text && fieldType == od::json_type::string) {
                seen |= key == "connector" ? 1U : 0U;
                return result(readString(v, *text));
            }
            if (number && fieldType == od::json_type::number) {
                seen |= key == "x"        ? 2U
                        : key == "y"      ? 4U
                        : key == "width"  ? 8U
                        : key == "height" ? 16U
                                          : 0U;
                return result(readNumber(v, *number));
            }
            if (text || number)
                usable = false;
            return 0;
        });
        if (!ok)
            return -1;
        usable = usable && seen == 31U;
        setup.monitors.append(std::move(monitor));
    }
    if (usable && !setup.monitors.isEmpty())
        displays = std::move(setup);
    return 1;
}

bool readProfile(od::value& value, WindowProfile& profile)
{
    bool id = false, name = false, snapshots = false, createdAt = false, updatedAt = false;
    const bool ok = forEachField(value, [&](std::string_view key, od::value& v) {
        if (key == "id")
            return result((id = readUuid(v, profile.id)));
        if (key == "name")
            return result((name = readString(v, profile.name)));
        if (key == "snapshots")
            return result((snapshots = readSnapshots(v, profile.snapshots)));
        if (key == "isActive") {
            if (isNull(v)) {
                profile.isActive = false;
                return 1;
            }
            return result(readBool(v, profile.isActive));
        }
        if (key == "createdAt")
            return result((createdAt = readNumber(v, profile.createdAt)));
        if (key == "updatedAt")
            return result((updatedAt = readNumber(v, profile.updatedAt)));
        if (key == "displays")
            return readDisplays(v, profile.displays);
        if (key == "applyOnDisplayConnect") {
            // An extra like the monitors: a value of another type reads as not
            // marked, and is only checked for being well-formed.
            profile.applyOnDisplayConnect = false;
            od::json_type type;
            if (v.type().get(type))
                return -1;
            return type == od::json_type::boolean
                       ? result(readBool(v, profile.applyOnDisplayConnect))
                       : 0;
        }
        return 0;
    });
    return ok && id && name && snapshots && createdAt && updatedAt;
}

} // namespace

std::optional<QList<WindowProfile>> decodeProfilesPadded(std::string_view document)
{
    od::parser parser;
    od::document doc;
    if (parser
            .iterate(document.data(), document.size(), document.size() + simdjson::SIMDJSON_PADDING)
            .get(doc))
        return std::nullopt;
    od::array array;
    if (doc.get_array().get(array))
        return std::nullopt;
    QList<WindowProfile> profiles;
    for (auto element : array) {
        od::value value;
        WindowProfile profile;
        if (element.get(value) || !readProfile(value, profile))
            return std::nullopt;
        profiles.append(std::move(profile));
    }
    // Anything after the root array ("[] []") is still in bounds.
    const char* trailing = nullptr;
    if (!doc.current_location().get(trailing))
        return std::nullopt;
    return profiles;
}

std::optional<QList<WindowProfile>> decodeProfiles(std::string_view document)
{
    const simdjson::padded_string padded(document);
    return decodeProfilesPadded(std::string_view(padded.data(), padded.size()));
}

} // namespace tavelor
