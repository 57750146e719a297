#include "Platform/KWin/KWinScriptRunner.hpp"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>
#include <QTimer>
#include <QUuid>

#include <algorithm>
#include <utility>

namespace tavelor::kwin {

namespace {

const QString kService = QStringLiteral("org.kde.KWin");
const QString kScripting = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");

int g_runners = 0;

QDBusMessage scriptingCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(kService, kScripting, kScriptingInterface, method);
    message.setArguments(arguments);
    return message;
}

int remainingMs(const QDeadlineTimer& deadline)
{
    return static_cast<int>(std::max<qint64>(1, deadline.remainingTime()));
}

// KWin reads the file after loadScript has returned, so it lives in the
// user's private runtime folder (KWin runs as the same user) until unloaded.
QString scriptFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

} // namespace

KWinScriptRunner::KWinScriptRunner(std::chrono::milliseconds bound)
    : m_path(QStringLiteral("/app/tavelor/KWinScript%1").arg(++g_runners)), m_bound(bound)
{
    m_registered = QDBusConnection::sessionBus().registerObject(
        m_path, this, QDBusConnection::ExportScriptableSlots);
}

KWinScriptRunner::~KWinScriptRunner()
{
    for (const auto& loaded : m_loaded)
        QDBusConnection::sessionBus().send(
            scriptingCall(QStringLiteral("unloadScript"), {loaded.first}));
    if (m_registered)
        QDBusConnection::sessionBus().unregisterObject(m_path);
}

bool KWinScriptRunner::kwinAnswers()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QDBusMessage reply =
        bus.call(scriptingCall(QStringLiteral("isScriptLoaded"), {QStringLiteral("tavelor-probe")}),
                 QDBus::Block, static_cast<int>(m_bound.count()));
    return reply.type() == QDBusMessage::ReplyMessage;
}

std::optional<QString> KWinScriptRunner::run(const QString& script, const QString& requestJson)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !m_registered || m_waiting)
        return std::nullopt;
    const QDeadlineTimer deadline(m_bound);
    m_token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_answer.reset();

    const QJsonObject reply{{QStringLiteral("service"), bus.baseService()},
                            {QStringLiteral("path"), m_path},
                            {QStringLiteral("token"), m_token}};
    const QString plugin = QStringLiteral("tavelor-") + m_token;
    const std::unique_ptr<QTemporaryFile> file = loadFile(
        plugin,
        "const tavelorReply = " + QJsonDocument(reply).toJson(QJsonDocument::Compact) + ";\n",
        script, requestJson, deadline);
    if (!file) {
        m_token.clear();
        return std::nullopt;
    }
    // Scripting.start() runs every loaded script that is not running yet. The
    // script's own object (/N, /Scripting/ScriptN) is not used: KWin numbers
    // scripts by the count of loaded ones, so a number comes back while an
    // unloaded script with it is still being torn down, and a run sent there
    // reaches the old script.
    bus.call(scriptingCall(QStringLiteral("start"), {}), QDBus::Block, remainingMs(deadline));

    if (!m_answer && !deadline.hasExpired()) {
        QEventLoop loop;
        m_waiting = &loop;
        QTimer::singleShot(remainingMs(deadline), &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        m_waiting = nullptr;
    }
    // Not waited for: a KWin that stopped answering must not hold Tavelor
    // any longer, and the bus keeps this ahead of the next script's load.
    bus.send(scriptingCall(QStringLiteral("unloadScript"), {plugin}));
    m_token.clear();
    return std::exchange(m_answer, std::nullopt);
}

std::unique_ptr<QTemporaryFile>
KWinScriptRunner::loadFile(const QString& plugin, const QByteArray& prefix, const QString& script,
                           const QString& requestJson, const QDeadlineTimer& deadline)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto file = std::make_unique<QTemporaryFile>(scriptFolder() +
                                                 QStringLiteral("/tavelor-kwin-XXXXXX.js"));
    if (!file->open())
        return nullptr;
    file->write(prefix + "const request = " + requestJson.toUtf8() + ";\n" + script.toUtf8());
    file->close();
    const QDBusMessage loaded =
        bus.call(scriptingCall(QStringLiteral("loadScript"), {file->fileName(), plugin}),
                 QDBus::Block, remainingMs(deadline));
    if (loaded.type() != QDBusMessage::ReplyMessage || loaded.arguments().isEmpty() ||
        loaded.arguments().constFirst().toInt() < 0) {
        // A KWin too slow to answer may still load it later.
        bus.send(scriptingCall(QStringLiteral("unloadScript"), {plugin}));
        return nullptr;
    }
    return file;
}

bool KWinScriptRunner::load(const QString& plugin, const QString& script,
                            const QString& requestJson)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || m_loaded.contains(plugin))
        return false;
    const QDeadlineTimer deadline(m_bound);
    std::unique_ptr<QTemporaryFile> file = loadFile(plugin, {}, script, requestJson, deadline);
    if (!file)
        return false;
    // Loaded is enough: a start that KWin answers late still runs it.
    bus.call(scriptingCall(QStringLiteral("start"), {}), QDBus::Block, remainingMs(deadline));
    m_loaded[plugin] = std::move(file);
    return true;
}

void KWinScriptRunner::unload(const QString& plugin)
{
    if (m_loaded.erase(plugin) > 0)
        QDBusConnection::sessionBus().send(scriptingCall(QStringLiteral("unloadScript"), {plugin}));
}

void KWinScriptRunner::deliver(const QString& token, const QString& answer)
{
    if (m_token.isEmpty() || token != m_token || m_answer)
        return;
    m_answer = answer;
    if (m_waiting)
        m_waiting->quit();
}

} // namespace tavelor::kwin
