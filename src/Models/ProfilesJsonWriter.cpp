#include "Models/ProfilesJsonWriter.hpp"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tavelor {

namespace {

constexpr std::string_view kMaximizationNames[] = {"", "\"horizontal\"", "\"vertical\"",
                                                   "\"both\""};

class DocumentWriter {
public:
    explicit DocumentWriter(std::string& out) : m_out(out) {}

    bool writeProfiles(const QList<WindowProfile>& profiles)
    {
        if (profiles.isEmpty()) {
            m_out += "[]";
            return true;
        }
        m_out += "[\n";
        for (qsizetype i = 0; i < profiles.size(); ++i) {
            indent(1);
            if (!writeProfile(profiles[i], 1))
                return false;
            m_out += i + 1 < profiles.size() ? ",\n" : "\n";
        }
        m_out += ']';
        return true;
    }

private:
    bool writeProfile(const WindowProfile& profile, int depth)
    {
        m_out += "{\n";
        key("id", depth + 1);
        // QUuid::toString gives lower case; the file holds upper case.
        const QByteArray id = profile.id.toByteArray(QUuid::WithoutBraces).toUpper();
        m_out += '"';
        m_out.append(id.constData(), static_cast<std::size_t>(id.size()));
        m_out += "\",\n";
        key("name", depth + 1);
        string(profile.name);
        m_out += ",\n";
        key("snapshots", depth + 1);
        if (profile.snapshots.isEmpty()) {
            m_out += "[]";
        } else {
            m_out += "[\n";
            for (qsizetype i = 0; i < profile.snapshots.size(); ++i) {
                indent(depth + 2);
                if (!writeSnapshot(profile.snapshots[i], depth + 2))
                    return false;
                m_out += i + 1 < profile.snapshots.size() ? ",\n" : "\n";
            }
            indent(depth + 1);
            m_out += ']';
        }
        m_out += ",\n";
        key("isActive", depth + 1);
        m_out += profile.isActive ? "true" : "false";
        m_out += ",\n";
        key("createdAt", depth + 1);
        if (!number(profile.createdAt))
            return false;
        m_out += ",\n";
        key("updatedAt", depth + 1);
        if (!number(profile.updatedAt))
            return false;
        if (profile.displays && !profile.displays->monitors.isEmpty() &&
            !writeDisplays(*profile.displays, depth + 1))
            return false;
        if (profile.applyOnDisplayConnect) {
            m_out += ",\n";
            key("applyOnDisplayConnect", depth + 1);
            m_out += "true";
        }
        m_out += '\n';
        indent(depth);
        m_out += '}';
        return true;
    }

    // An optional key after the others, so that a profile saved without its
    // monitors keeps the old form byte for byte.
    bool writeDisplays(const DisplaySetup& setup, int depth)
    {
        m_out += ",\n";
        key("displays", depth);
        m_out += "[\n";
        for (qsizetype i = 0; i < setup.monitors.size(); ++i) {
            const Monitor& monitor = setup.monitors[i];
            indent(depth + 1);
            m_out += "{\n";
            const std::pair<std::string_view, const QString&> texts[] = {
                {"connector", monitor.connector},
                {"maker", monitor.maker},
                {"model", monitor.model},
                {"serial", monitor.serial}};
            for (const auto& [name, text] : texts) {
                if (text.isEmpty() && name != "connector")
                    continue;
                key(name, depth + 2);
                string(text);
                m_out += ",\n";
            }
            if (!numberFields({{"x", monitor.x},
                               {"y", monitor.y},
                               {"width", monitor.width},
                               {"height", monitor.height},
                               {"scale", monitor.scale}},
                              depth + 2))
                return false;
            indent(depth + 1);
            m_out += i + 1 < setup.monitors.size() ? "},\n" : "}\n";
        }
        indent(depth);
        m_out += ']';
        return true;
    }

    bool writeSnapshot(const WindowSnapshot& snapshot, int depth)
    {
        m_out += "{\n";
        optionalString("bundleIdentifier", snapshot.bundleIdentifier, depth + 1);
        optionalString("appName", snapshot.appName, depth + 1);
        optionalString("windowTitle", snapshot.windowTitle, depth + 1);
        key("frame", depth + 1);
        m_out += "{\n";
        const WindowFrame& f = snapshot.frame;
        if (!numberFields({{"x", f.x}, {"y", f.y}, {"width", f.width}, {"height", f.height}},
                          depth + 2))
            return false;
        indent(depth + 1);
        m_out += '}';
        if (snapshot.state)
            writeState(*snapshot.state, depth + 1);
        m_out += '\n';
        indent(depth);
        m_out += '}';
        return true;
    }

    // Optional keys after the frame, each only when it says more than a plain
    // window does, so that a snapshot without state keeps its old form.
    void writeState(const WindowState& state, int depth)
    {
        auto member = [&](std::string_view name, std::string_view value) {
            m_out += ",\n";
            key(name, depth);
            m_out += value;
        };
        if (state.desktop)
            member("desktop", std::to_string(*state.desktop));
        if (state.onAllDesktops)
            member("onAllDesktops", "true");
        if (state.maximized != Maximization::None)
            member("maximized", kMaximizationNames[static_cast<int>(state.maximized)]);
        if (state.minimized)
            member("minimized", "true");
        if (state.fullscreen)
            member("fullscreen", "true");
        if (state.keepAbove)
            member("keepAbove", "true");
        if (state.stackPosition)
            member("stackPosition", std::to_string(*state.stackPosition));
    }

    void optionalString(std::string_view name, const std::optional<QString>& value, int depth)
    {
        if (!value)
            return;
        key(name, depth);
        string(*value);
        m_out += ",\n";
    }

    void indent(int depth) { m_out.append(static_cast<std::size_t>(depth) * 2, ' '); }

    void key(std::string_view name, int depth)
    {
        indent(depth);
        m_out += '"';
        m_out += name;
        m_out += "\" : ";
    }

    /// "name" : value lines, comma-separated, each on its own line at `depth`.
    bool numberFields(std::initializer_list<std::pair<std::string_view, double>> fields, int depth)
    {
        std::size_t left = fields.size();
        for (const auto& [name, value] : fields) {
            key(name, depth);
            if (!number(value))
                return false;
            m_out += --left > 0 ? ",\n" : "\n";
        }
        return true;
    }

    bool number(double value)
    {
        if (!std::isfinite(value))
            return false;
        // The shortest form that reads back to the same double: integral values
        // come out without a fraction (1280, -0, 1e+21), which JSON accepts.
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        m_out.append(buffer, result.ptr);
        return true;
    }

    void string(const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        m_out += '"';
        const char* begin = utf8.constData();
        const char* end = begin + utf8.size();
        const char* run = begin;
        for (const char* p = begin; p != end; ++p) {
            const auto c = static_cast<unsigned char>(*p);
            if (c >= 0x20 && c != '"' && c != '\\' && c != '/')
                continue;
            m_out.append(run, p);
            run = p + 1;
            switch (c) {
            case '"':
                m_out += "\\\"";
                break;
            case '\\':
                m_out += "\\\\";
                break;
            case '/':
                m_out += "\\/";
                break;
            case '\b':
                m_out += "\\b";
                break;
            case '\f':
                m_out += "\\f";
                break;
            case '\n':
                m_out += "\\n";
                break;
            case '\r':
                m_out += "\\r";
                break;
            case '\t':
                m_out += "\\t";
                break;
            default: {
                static constexpr char hex[] = "0123456789abcdef";
                m_out += "\\u00";
                m_out += hex[c >> 4];
                m_out += hex[c & 0xf];
            }
            }
        }
        m_out.append(run, end);
        m_out += '"';
    }

    std::string& m_out;
};

} // namespace

std::optional<QByteArray> encodeProfiles(const QList<WindowProfile>& profiles)
{
    std::string out;
    std::size_t estimate = 16;
    for (const WindowProfile& profile : profiles)
        estimate += 256 + static_cast<std::size_t>(profile.snapshots.size()) * 320;
    out.reserve(estimate);
    if (!DocumentWriter(out).writeProfiles(profiles))
        return std::nullopt;
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace tavelor
