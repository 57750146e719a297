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
    for (const auto& t : {s.bundleIdentifier, s.appName, s.windowTitle})
        *os << (t ? '"' + t->toStdString() + "\" " : std::string("absent "));
    *os << s.frame.x << ' ' << s.frame.y << ' ' << s.frame.width << ' ' << s.frame.height;
}
} // namespace tavelor
