#include "Platform/GnomeShell/ShellWindowListing.hpp"

#include "Platform/Xdg/DesktopEntries.hpp"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <map>

namespace tavelor::gnomeshell {
namespace {

QString text(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    return value.isString() ? value.toString() : QString{};
}

std::optional<QRect> frameOf(const QJsonValue& value)
{
    const QJsonArray numbers = value.toArray();
    if (numbers.size() != 4 || !std::all_of(numbers.begin(), numbers.end(),
                                            [](const QJsonValue& v) { return v.isDouble(); }))
        return std::nullopt;
    return QRect(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt(), numbers[3].toInt());
}

std::optional<std::int64_t> count(const QJsonValue& value)
{
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > 1e9 || number != std::floor(number))
        return std::nullopt;
    return static_cast<std::int64_t>(number);
}

// The extension lists "maximized" as Meta.MaximizeFlags: 1 horizontal, 2 vertical.
std::optional<WindowState> stateOf(const QJsonObject& object)
{
    const std::optional<std::int64_t> flags = count(object.value(QLatin1String("maximized")));
    if (!flags || *flags > 3)
        return std::nullopt;
    static constexpr Maximization kByFlags[] = {Maximization::None, Maximization::Horizontal,
                                                Maximization::Vertical, Maximization::Both};
    WindowState state;
    state.maximized = kByFlags[*flags];
    state.desktop = count(object.value(QLatin1String("workspace")));
    state.onAllDesktops = object.value(QLatin1String("onAllWorkspaces")).toBool();
    state.minimized = object.value(QLatin1String("minimized")).toBool();
    state.fullscreen = object.value(QLatin1String("fullscreen")).toBool();
    state.keepAbove = object.value(QLatin1String("above")).toBool();
    state.stackPosition = count(object.value(QLatin1String("stackPosition")));
    return state;
}

QString withoutDesktopSuffix(QString id)
{
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    return id;
}

struct Identity {
    std::optional<QString> appId;
    std::optional<QString> name;
};

std::optional<QString> nonEmpty(const QString& value)
{
    return value.isEmpty() ? std::nullopt : std::optional<QString>(value);
}

Identity identityOf(const std::vector<const ShellWindow*>& windows,
                    xdg::DesktopEntries& desktopEntries)
{
    for (const ShellWindow* window : windows) {
        if (const xdg::DesktopEntry* entry = desktopEntries.find(
                window->wmClassInstance, window->wmClass, window->gtkApplicationId))
            return {entry->id, entry->name};
    }
    for (const ShellWindow* window : windows) {
        if (!window->trackedAppId.isEmpty())
            return {withoutDesktopSuffix(window->trackedAppId), nonEmpty(window->trackedAppName)};
    }
    for (const ShellWindow* window : windows) {
        for (const QString* id : {&window->sandboxedAppId, &window->wmClass}) {
            if (!id->isEmpty())
                return {*id, *id};
        }
    }
    return {};
}

} // namespace

std::optional<std::vector<ShellWindow>> parseShellWindows(const QByteArray& json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isArray())
        return std::nullopt;
    std::vector<ShellWindow> windows;
    for (const QJsonValue value : document.array()) {
        const QJsonObject object = value.toObject();
        ShellWindow window;
        window.id = text(object, "id");
        if (window.id.isEmpty())
            continue;
        window.trackedAppId = text(object, "appId");
        window.trackedAppName = text(object, "appName");
        window.gtkApplicationId = text(object, "gtkAppId");
        window.sandboxedAppId = text(object, "sandboxedAppId");
        window.wmClass = text(object, "wmClass");
        window.wmClassInstance = text(object, "wmClassInstance");
        if (object.value(QLatin1String("title")).isString())
            window.title = object.value(QLatin1String("title")).toString();
        window.pid = static_cast<std::int64_t>(object.value(QLatin1String("pid")).toDouble());
        window.frame = frameOf(object.value(QLatin1String("frame")));
        window.role = text(object, "role") == QLatin1String("window") ? platform::WindowRole::Window
                                                                      : platform::WindowRole::Other;
        window.skipTaskbar = object.value(QLatin1String("skipTaskbar")).toBool();
        window.state = stateOf(object);
        windows.push_back(std::move(window));
    }
    return windows;
}

std::vector<platform::LiveApplication> groupShellWindows(const std::vector<ShellWindow>& windows,
                                                         xdg::DesktopEntries& desktopEntries,
                                                         std::int64_t ownPid)
{
    desktopEntries.reloadIfChanged();
    // Windows without a pid (a client that is gone) each get a stand-in of their own.
    std::int64_t nextStandIn = -1;
    std::vector<std::int64_t> order;
    std::map<std::int64_t, std::vector<const ShellWindow*>> byPid;
    for (const ShellWindow& window : windows) {
        const std::int64_t pid = window.pid > 0 ? window.pid : nextStandIn--;
        auto [it, inserted] = byPid.try_emplace(pid);
        if (inserted)
            order.push_back(pid);
        it->second.push_back(&window);
    }

    std::vector<platform::LiveApplication> applications;
    applications.reserve(order.size());
    for (const std::int64_t pid : order) {
        const std::vector<const ShellWindow*>& members = byPid[pid];
        platform::LiveApplication application;
        application.pid = pid;
        const bool onTaskbar = std::any_of(members.begin(), members.end(),
                                           [](const ShellWindow* w) { return !w->skipTaskbar; });
        application.kind = onTaskbar && pid != ownPid ? platform::ApplicationKind::Regular
                                                      : platform::ApplicationKind::Accessory;
        const Identity identity = identityOf(members, desktopEntries);
        application.appId = identity.appId;
        application.name = identity.name;
        std::vector<platform::LiveWindow> live;
        for (const ShellWindow* window : members) {
            platform::LiveWindow entry;
            entry.id = window->id;
            entry.role = window->role;
            entry.title = window->title;
            entry.state = window->state;
            if (window->frame) {
                entry.position = std::pair<double, double>(window->frame->x(), window->frame->y());
                entry.size =
                    std::pair<double, double>(window->frame->width(), window->frame->height());
            }
            live.push_back(std::move(entry));
        }
        application.windows = std::move(live);
        applications.push_back(std::move(application));
    }
    return applications;
}

} // namespace tavelor::gnomeshell
