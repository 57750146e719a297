#include "Platform/GnomeShell/ShellDisplays.hpp"

#include "Platform/GnomeShell/ShellInterface.hpp"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>

#include <cmath>

namespace tavelor::gnomeshell {

namespace {

const QString kService = QStringLiteral("org.gnome.Mutter.DisplayConfig");
const QString kPath = QStringLiteral("/org/gnome/Mutter/DisplayConfig");

// In the "logical" layout mode a monitor covers its mode divided by its scale;
// in the "physical" one (GNOME 43's default) it covers its mode in pixels.
constexpr uint kLogicalLayout = 1;

struct Mode {
    double width = 0;
    double height = 0;
};

// (connector, vendor, product, serial). Mutter says "unknown" where a monitor
// has no EDID; that is no identity.
Monitor readIdentity(const QDBusArgument& arg)
{
    Monitor monitor;
    arg.beginStructure();
    arg >> monitor.connector >> monitor.maker >> monitor.model >> monitor.serial;
    arg.endStructure();
    for (QString* field : {&monitor.maker, &monitor.model, &monitor.serial})
        if (field->compare(QLatin1String("unknown"), Qt::CaseInsensitive) == 0)
            field->clear();
    return monitor;
}

// a((ssss)a(siiddada{sv})a{sv}): the current mode of each connected monitor.
QHash<QString, Mode> readCurrentModes(const QDBusArgument& arg)
{
    QHash<QString, Mode> modes;
    arg.beginArray();
    while (!arg.atEnd()) {
        arg.beginStructure();
        const QString connector = readIdentity(arg).connector;
        arg.beginArray();
        while (!arg.atEnd()) {
            QString id;
            int width = 0;
            int height = 0;
            double refresh = 0;
            double preferredScale = 0;
            QList<double> scales;
            QVariantMap properties;
            arg.beginStructure();
            arg >> id >> width >> height >> refresh >> preferredScale >> scales >> properties;
            arg.endStructure();
            if (properties.value(QStringLiteral("is-current")).toBool())
                modes.insert(connector, {double(width), double(height)});
        }
        arg.endArray();
        QVariantMap properties;
        arg >> properties;
        arg.endStructure();
    }
    arg.endArray();
    return modes;
}

} // namespace

ShellDisplays::ShellDisplays()
{
    QDBusConnection::sessionBus().connect(kService, kPath, kService,
                                          QStringLiteral("MonitorsChanged"), this,
                                          SLOT(onMonitorsChanged()));
}

DisplaySetup ShellDisplays::currentSetup()
{
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(kService, kPath, kService,
                                       QStringLiteral("GetCurrentState")),
        QDBus::Block, shellCallTimeoutMs);
    const QVariantList args = reply.arguments();
    if (reply.type() != QDBusMessage::ReplyMessage ||
        reply.signature() !=
            QLatin1String("ua((ssss)a(siiddada{sv})a{sv})a(iiduba(ssss)a{sv})a{sv}"))
        return {};
    const QHash<QString, Mode> modes = readCurrentModes(args.at(1).value<QDBusArgument>());
    QVariantMap properties;
    args.at(3).value<QDBusArgument>() >> properties;
    const bool logical = properties.value(QStringLiteral("layout-mode")).toUInt() == kLogicalLayout;

    DisplaySetup setup;
    const QDBusArgument logicalMonitors = args.at(2).value<QDBusArgument>();
    logicalMonitors.beginArray();
    while (!logicalMonitors.atEnd()) {
        int x = 0;
        int y = 0;
        double scale = 1;
        uint transform = 0;
        bool primary = false;
        logicalMonitors.beginStructure();
        logicalMonitors >> x >> y >> scale >> transform >> primary;
        // Mirrored monitors share one logical monitor: each is listed with its area.
        logicalMonitors.beginArray();
        while (!logicalMonitors.atEnd()) {
            Monitor monitor = readIdentity(logicalMonitors);
            const Mode mode = modes.value(monitor.connector);
            // Odd transforms turn the monitor a quarter.
            const bool turned = transform % 2 == 1;
            const double divisor = logical && scale > 0 ? scale : 1;
            monitor.x = x;
            monitor.y = y;
            monitor.width = std::round((turned ? mode.height : mode.width) / divisor);
            monitor.height = std::round((turned ? mode.width : mode.height) / divisor);
            monitor.scale = scale;
            setup.monitors.append(monitor);
        }
        logicalMonitors.endArray();
        QVariantMap logicalProperties;
        logicalMonitors >> logicalProperties;
        logicalMonitors.endStructure();
    }
    logicalMonitors.endArray();
    return setup;
}

void ShellDisplays::setChangedHandler(std::function<void()> handler)
{
    m_changed = std::move(handler);
}

void ShellDisplays::onMonitorsChanged()
{
    if (m_changed)
        m_changed();
}

} // namespace tavelor::gnomeshell
