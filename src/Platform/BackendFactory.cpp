#include "Platform/BackendFactory.hpp"

#include "Platform/BackendParts.hpp"
#include "Platform/GnomeShell/GnomeShellBackend.hpp"
#include "Platform/KWin/KWinBackend.hpp"
#include "Platform/X11/X11Backend.hpp"
#include "Platform/Xdg/XdgLoginItems.hpp"

#include <QByteArray>

#include <array>

namespace tavelor::platform {

namespace {

/// One window-system backend: whether it serves the session (it may ask the
/// session bus), and how its parts are made.
struct BackendEntry {
    const char* name;
    bool (*serves)(const Session& session);
    BackendParts (*make)(const Session& session);
};

BackendParts makeX11(const Session& session)
{
    const QByteArray display = session.display.toLocal8Bit();
    return x11::makeX11Parts(x11::X11Display::open(display.isEmpty() ? nullptr : display.data()));
}

// The backends, the narrowest first: the first that serves the session makes
// the windows, the shortcut and the access check. One line per backend: KWin
// for KDE on Wayland when its scripting answers on the bus, GNOME Shell for
// GNOME on Wayland (its alert tells how to enable our extension when that does
// not answer). X11 comes last and serves every session: XWayland under Wayland, and an
// empty desktop where there is no display at all.
constexpr std::array kBackends = {
    BackendEntry{"kwin", kwin::servesSession, kwin::makeParts},
    BackendEntry{"gnome-shell", gnomeshell::servesSession, gnomeshell::makeParts},
    BackendEntry{"x11", [](const Session&) { return true; }, makeX11},
};

/// Fills the parts `parts` left out from `fallback`, keeping what it shares.
void fillFrom(BackendParts& parts, BackendParts&& fallback)
{
    const auto take = [](auto& part, auto& from) {
        if (!part)
            part = std::move(from);
    };
    take(parts.windowSource, fallback.windowSource);
    take(parts.windowAccess, fallback.windowAccess);
    take(parts.globalShortcuts, fallback.globalShortcuts);
    take(parts.keyboardLayout, fallback.keyboardLayout);
    take(parts.keyEventTranslator, fallback.keyEventTranslator);
    take(parts.keyboardGrab, fallback.keyboardGrab);
    take(parts.loginItems, fallback.loginItems);
    parts.shared.insert(parts.shared.end(), fallback.shared.begin(), fallback.shared.end());
}

bool complete(const BackendParts& parts)
{
    return parts.windowSource && parts.windowAccess && parts.globalShortcuts &&
           parts.keyboardLayout && parts.keyEventTranslator && parts.keyboardGrab &&
           parts.loginItems;
}

} // namespace

Session Session::fromEnvironment()
{
    Session session;
    session.type = qEnvironmentVariable("XDG_SESSION_TYPE").toLower();
    session.desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    session.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    session.display = qEnvironmentVariable("DISPLAY");
    return session;
}

bool Session::isWayland() const
{
    return !waylandDisplay.isEmpty() || type == u"wayland";
}

bool Session::runs(const QString& desktop) const
{
    return desktops.contains(desktop, Qt::CaseInsensitive);
}

std::unique_ptr<Backend> createBackend(const Session& session)
{
    BackendParts parts;
    for (const BackendEntry& entry : kBackends) {
        if (entry.serves(session)) {
            parts = entry.make(session);
            break;
        }
    }
    // What the chosen backend leaves out: the keyboard through XWayland, the
    // login item from the autostart folder.
    if (!complete(parts) && parts.name != u"x11")
        fillFrom(parts, makeX11(session));
    if (!parts.loginItems)
        parts.loginItems = std::make_unique<xdg::XdgLoginItems>();
    if (!parts.displays)
        parts.displays = std::make_unique<UnknownDisplays>();
    return std::make_unique<ComposedBackend>(std::move(parts));
}

} // namespace tavelor::platform
