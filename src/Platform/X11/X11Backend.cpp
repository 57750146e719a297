#include "Platform/X11/X11Backend.hpp"

namespace tavelor::x11 {

X11Backend::X11Backend(const char* display) : m_connection(X11Connection::open(display)) {}

X11Backend::~X11Backend() = default;

} // namespace tavelor::x11
