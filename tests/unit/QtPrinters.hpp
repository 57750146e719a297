#pragma once

#include "Models/WindowSnapshot.hpp"

#include <QString>

#include <optional>
#include <ostream>

// Readable GoogleTest messages for Qt strings and the layout records.

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace tavelor {
inline void PrintTo(const WindowSnapshot& s, std::ostream* os)
{
    const auto text = [](const std::optional<QString>& t) {
        return t ? '"' + t->toStdString() + '"' : std::string("absent");
    };
    *os << '{' << text(s.bundleIdentifier) << ", " << text(s.appName) << ", " << text(s.windowTitle)
        << ", " << s.frame.x << ' ' << s.frame.y << ' ' << s.frame.width << ' ' << s.frame.height
        << '}';
}
} // namespace tavelor
