#include "Platform/X11/X11Backend.hpp"

#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/X11Displays.hpp"
#include "Platform/X11/X11GlobalShortcuts.hpp"
#include "Platform/X11/X11KeyEventTranslator.hpp"
#include "Platform/X11/X11Keyboard.hpp"
#include "Platform/X11/X11KeyboardGrab.hpp"
#include "Platform/X11/X11KeyboardLayout.hpp"
#include "Platform/X11/X11WindowAccess.hpp"
#include "Platform/X11/X11WindowSource.hpp"
#include "Platform/Xdg/XdgLoginItems.hpp"

namespace tavelor::x11 {

std::shared_ptr<X11Display> X11Display::open(const char* display)
{
    auto opened = std::make_shared<X11Display>();
    opened->connection = X11Connection::open(display);
    opened->keyboard = std::make_unique<X11Keyboard>(opened->connection.get());
    return opened;
}

X11Display::~X11Display()
{
    // The keyboard works on the connection.
    keyboard.reset();
}

platform::BackendParts makeX11Parts(const std::shared_ptr<X11Display>& display)
{
    X11Connection* connection = display->connection.get();
    platform::BackendParts parts;
    parts.name = QStringLiteral("x11");
    parts.windowSource = std::make_unique<X11WindowSource>(connection);
    parts.windowAccess = std::make_unique<X11WindowAccess>(connection);
    parts.globalShortcuts = std::make_unique<X11GlobalShortcuts>(*display->keyboard);
    parts.keyboardLayout = std::make_unique<X11KeyboardLayout>(*display->keyboard);
    parts.keyEventTranslator = std::make_unique<X11KeyEventTranslator>(*display->keyboard);
    parts.keyboardGrab = std::make_unique<X11KeyboardGrab>(connection);
    parts.loginItems = std::make_unique<xdg::XdgLoginItems>();
    parts.displays = std::make_unique<X11Displays>(connection);
    parts.onWindowSystemLost = [connection](std::function<void()> handler) {
        if (connection)
            QObject::connect(connection, &X11Connection::connectionLost, connection,
                             std::move(handler));
    };
    parts.shared.push_back(display);
    return parts;
}

} // namespace tavelor::x11
