#include "Platform/KWin/KWinKeyboardGrab.hpp"

#include <QDBusConnection>
#include <QDBusMessage>

namespace tavelor::kwin {

namespace {

// kglobalaccel answers within milliseconds; the bound keeps a hung daemon
// from freezing the shortcut window.
constexpr int kCallBoundMs = 2000;

bool blockShortcuts(bool block)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/kglobalaccel"),
        QStringLiteral("org.kde.KGlobalAccel"), QStringLiteral("blockGlobalShortcuts"));
    message.setArguments({block});
    return QDBusConnection::sessionBus().call(message, QDBus::Block, kCallBoundMs).type() ==
           QDBusMessage::ReplyMessage;
}

} // namespace

KWinKeyboardGrab::~KWinKeyboardGrab()
{
    release();
}

bool KWinKeyboardGrab::grab(std::uint64_t, KeyHandler)
{
    m_held = blockShortcuts(true) || m_held;
    return m_held;
}

void KWinKeyboardGrab::release()
{
    if (!m_held)
        return;
    m_held = false;
    blockShortcuts(false);
}

} // namespace tavelor::kwin
