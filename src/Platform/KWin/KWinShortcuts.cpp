#include "Platform/KWin/KWinShortcuts.hpp"

#include "Platform/KWin/KWinKeyCombination.hpp"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QStringList>

namespace tavelor::kwin {

namespace {

const QString kService = QStringLiteral("org.kde.kglobalaccel");
const QString kPath = QStringLiteral("/kglobalaccel");
const QString kInterface = QStringLiteral("org.kde.KGlobalAccel");
const QString kComponent = QStringLiteral("tavelor");
const QString kAction = QStringLiteral("apply-active-profile");

// kglobalaccel's flags: the action is present (only present actions are
// listened for) and takes exactly these keys instead of any saved before.
constexpr uint kSetPresent = 0x2;
constexpr uint kNoAutoloading = 0x4;
// Calls on kglobalaccel are local and answer within milliseconds; a bound
// keeps a hung daemon from freezing the shortcut window.
constexpr int kCallBoundMs = 2000;

QStringList actionId()
{
    return {kComponent, kAction, QStringLiteral("Tavelor"), QStringLiteral("Apply Active Profile")};
}

QDBusMessage accelCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message.setArguments(arguments);
    return message;
}

} // namespace

KWinShortcuts::KWinShortcuts()
{
    qDBusRegisterMetaType<QList<int>>();
}

KWinShortcuts::~KWinShortcuts()
{
    release();
}

platform::GlobalShortcuts::GrabResult KWinShortcuts::grab(const HotKey& hotKey)
{
    release();
    const std::optional<int> keys = qtKeyCombinationOnSessionKeyboard(hotKey);
    if (!keys)
        return GrabResult::NoSuchKey;
    return grabKeys(*keys);
}

platform::GlobalShortcuts::GrabResult KWinShortcuts::grabKeys(int qtKeyCombination)
{
    release();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusMessage registered =
        bus.call(accelCall(QStringLiteral("doRegister"), {actionId()}), QDBus::Block, kCallBoundMs);
    if (registered.type() != QDBusMessage::ReplyMessage)
        return GrabResult::Unavailable;
    if (!m_connected) {
        m_connected = bus.connect(kService, QStringLiteral("/component/") + kComponent,
                                  QStringLiteral("org.kde.kglobalaccel.Component"),
                                  QStringLiteral("globalShortcutPressed"), this,
                                  SLOT(onPressed(QString, QString, qlonglong)));
    }
    const std::optional<QList<int>> assigned = setKeys({qtKeyCombination});
    if (!assigned)
        return GrabResult::Unavailable;
    if (!assigned->contains(qtKeyCombination)) {
        release();
        return GrabResult::Taken;
    }
    m_held = true;
    return GrabResult::Grabbed;
}

void KWinShortcuts::release()
{
    if (!m_held)
        return;
    m_held = false;
    setKeys({});
}

void KWinShortcuts::setPressedHandler(std::function<void()> handler)
{
    m_pressed = std::move(handler);
}

std::optional<QList<int>> KWinShortcuts::setKeys(const QList<int>& keys)
{
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        accelCall(QStringLiteral("setShortcut"),
                  {actionId(), QVariant::fromValue(keys),
                   QVariant::fromValue(kSetPresent | kNoAutoloading)}),
        QDBus::Block, kCallBoundMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return qdbus_cast<QList<int>>(reply.arguments().constFirst());
}

void KWinShortcuts::onPressed(const QString& component, const QString& action, qlonglong)
{
    if (component != kComponent || action != kAction || !m_held || !m_pressed)
        return;
    m_pressed();
}

} // namespace tavelor::kwin
