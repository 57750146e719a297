#include "Platform/X11/X11Backend.hpp"

namespace tavelor::x11 {

X11Backend::X11Backend(const char* display)
    : m_connection(X11Connection::open(display)),
      m_workspace(std::make_unique<X11Workspace>(m_connection.get())),
      m_accessibility(std::make_unique<X11Accessibility>(m_connection.get(), *m_workspace))
{}

X11Backend::~X11Backend() = default;

void X11Backend::setWindowSystemLostHandler(std::function<void()> handler)
{
    if (!m_connection)
        return;
    QObject::connect(m_connection.get(), &X11Connection::connectionLost, m_connection.get(),
                     std::move(handler));
}

} // namespace tavelor::x11

std::unique_ptr<tavelor::platform::Backend> tavelor::platform::createBackend()
{
    return std::make_unique<x11::X11Backend>();
}
