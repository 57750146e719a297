#include "Platform/KWin/KWinBackend.hpp"

#include "Platform/BackendFactory.hpp"
#include "Platform/KWin/KWinDisplays.hpp"
#include "Platform/KWin/KWinKeyboardGrab.hpp"
#include "Platform/KWin/KWinScriptRunner.hpp"
#include "Platform/KWin/KWinShortcuts.hpp"
#include "Platform/KWin/KWinWindowAccess.hpp"
#include "Platform/KWin/KWinWindowSource.hpp"
#include "Platform/Xdg/DesktopEntries.hpp"

#include <memory>

namespace tavelor::kwin {

bool servesSession(const platform::Session& session)
{
    // Session's own helpers live with the factory, which links this library.
    const bool wayland = !session.waylandDisplay.isEmpty() || session.type == u"wayland";
    if (!wayland || !session.desktops.contains(QStringLiteral("KDE"), Qt::CaseInsensitive))
        return false;
    KWinScriptRunner probe(KWinWindowSource::kBound);
    return probe.kwinAnswers();
}

platform::BackendParts makeParts(const platform::Session&)
{
    auto runner = std::make_shared<KWinScriptRunner>(KWinWindowSource::kBound);
    auto entries = std::make_shared<xdg::DesktopEntries>();
    platform::BackendParts parts;
    parts.name = QStringLiteral("kwin");
    parts.windowSource = std::make_unique<KWinWindowSource>(*runner, *entries);
    parts.windowAccess = std::make_unique<KWinWindowAccess>(*runner);
    parts.globalShortcuts = std::make_unique<KWinShortcuts>();
    parts.keyboardGrab = std::make_unique<KWinKeyboardGrab>();
    parts.displays = std::make_unique<KWinDisplays>();
    parts.shared = {runner, entries};
    return parts;
}

} // namespace tavelor::kwin
