#include "Platform/KWin/KWinDisplays.hpp"

#include "Platform/KWin/KWinWindowSource.hpp"

#include <QDBusConnection>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace tavelor::kwin {

namespace {

QString resourceText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

Monitor monitorOf(const QJsonObject& output)
{
    Monitor monitor;
    monitor.connector = output.value(QStringLiteral("connector")).toString();
    monitor.maker = output.value(QStringLiteral("maker")).toString();
    monitor.model = output.value(QStringLiteral("model")).toString();
    monitor.serial = output.value(QStringLiteral("serial")).toString();
    const QJsonArray frame = output.value(QStringLiteral("frame")).toArray();
    monitor.x = frame.at(0).toDouble();
    monitor.y = frame.at(1).toDouble();
    monitor.width = frame.at(2).toDouble();
    monitor.height = frame.at(3).toDouble();
    monitor.scale = output.value(QStringLiteral("scale")).toDouble(1);
    return monitor;
}

} // namespace

KWinDisplays::KWinDisplays()
    : m_runner(KWinWindowSource::kBound), m_path(QStringLiteral("/app/tavelor/KWinDisplays") +
                                                 QUuid::createUuid().toString(QUuid::Id128))
{
    m_registered = QDBusConnection::sessionBus().registerObject(
        m_path, this, QDBusConnection::ExportScriptableSlots);
}

KWinDisplays::~KWinDisplays()
{
    if (m_registered)
        QDBusConnection::sessionBus().unregisterObject(m_path);
}

DisplaySetup KWinDisplays::currentSetup()
{
    static const QString script = resourceText(QStringLiteral(":/kwin/displays.js"));
    DisplaySetup setup;
    const std::optional<QString> answer = m_runner.run(script, QStringLiteral("{}"));
    if (!answer)
        return setup;
    for (const QJsonValue output : QJsonDocument::fromJson(answer->toUtf8()).array()) {
        // An output without an area is none a window can be on.
        Monitor monitor = monitorOf(output.toObject());
        if (monitor.width > 0 && monitor.height > 0)
            setup.monitors.append(std::move(monitor));
    }
    return setup;
}

void KWinDisplays::setChangedHandler(std::function<void()> handler)
{
    m_changed = std::move(handler);
    if (m_watching || !m_registered || !m_changed)
        return;
    const QJsonObject request{
        {QStringLiteral("service"), QDBusConnection::sessionBus().baseService()},
        {QStringLiteral("path"), m_path}};
    m_watching = m_runner.load(QStringLiteral("tavelor-displays-") + m_path.section(u'/', -1),
                               resourceText(QStringLiteral(":/kwin/displays-watch.js")),
                               QString::fromUtf8(QJsonDocument(request).toJson()));
}

void KWinDisplays::outputsChanged()
{
    if (m_changed)
        m_changed();
}

} // namespace tavelor::kwin
