#include "Platform/GnomeShell/GnomeShellBackend.hpp"

#include "Platform/GnomeShell/GnomeShellAccess.hpp"
#include "Platform/GnomeShell/GnomeShellShortcuts.hpp"
#include "Platform/GnomeShell/GnomeShellWindowSource.hpp"
#include "Platform/GnomeShell/ShellDisplays.hpp"

namespace tavelor::gnomeshell {

bool servesSession(const platform::Session& session)
{
    return session.isWayland() && session.runs(QStringLiteral("GNOME"));
}

platform::BackendParts makeParts(const platform::Session& session)
{
    (void)session;
    platform::BackendParts parts;
    parts.name = QStringLiteral("gnome-shell");
    parts.windowSource = std::make_unique<GnomeShellWindowSource>();
    parts.windowAccess = std::make_unique<GnomeShellAccess>();
    parts.globalShortcuts = std::make_unique<GnomeShellShortcuts>();
    parts.displays = std::make_unique<ShellDisplays>();
    return parts;
}

} // namespace tavelor::gnomeshell
