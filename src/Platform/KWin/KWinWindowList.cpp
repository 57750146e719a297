#include "Platform/KWin/KWinWindowList.hpp"

#include "Platform/Xdg/DesktopEntries.hpp"
#include "Platform/Xdg/ProcessName.hpp"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavelor::kwin {

namespace {

struct Identity {
    std::optional<QString> appId;
    std::optional<QString> name;
};

Identity identityOf(const QJsonObject& window, xdg::DesktopEntries& entries)
{
    QString desktopFile = window.value(QStringLiteral("desktopFileName")).toString();
    if (desktopFile.endsWith(QStringLiteral(".desktop")))
        desktopFile.chop(8);
    const QString resourceClass = window.value(QStringLiteral("resourceClass")).toString();
    if (!desktopFile.isEmpty()) {
        const xdg::DesktopEntry* entry = entries.find({}, {}, desktopFile);
        return {desktopFile, entry ? entry->name : desktopFile};
    }
    const xdg::DesktopEntry* entry =
        entries.find(window.value(QStringLiteral("resourceName")).toString(), resourceClass, {});
    if (entry)
        return {entry->id, entry->name};
    if (!resourceClass.isEmpty())
        return {resourceClass, resourceClass};
    return {};
}

bool isKeptType(const QJsonObject& window)
{
    if (window.value(QStringLiteral("special")).toBool())
        return false;
    return window.value(QStringLiteral("normal")).toBool() ||
           window.value(QStringLiteral("dialog")).toBool() ||
           window.value(QStringLiteral("utility")).toBool();
}

platform::LiveWindow liveWindow(const QJsonObject& window)
{
    platform::LiveWindow live;
    live.id = window.value(QStringLiteral("id")).toString();
    live.role = isKeptType(window) ? platform::WindowRole::Window : platform::WindowRole::Other;
    live.title = window.value(QStringLiteral("caption")).toString();
    const QJsonArray frame = window.value(QStringLiteral("frame")).toArray();
    if (frame.size() == 4) {
        live.position = {{frame[0].toDouble(), frame[1].toDouble()}};
        live.size = {{frame[2].toDouble(), frame[3].toDouble()}};
    }
    const QJsonObject state = window.value(QStringLiteral("state")).toObject();
    if (!state.isEmpty()) {
        live.state.emplace();
        const QJsonValue desktop = state.value(QStringLiteral("desktop"));
        live.state->onAllDesktops = desktop.toInt(-2) == -1;
        if (desktop.toInt(-1) >= 0)
            live.state->desktop = desktop.toInt();
        // maximizeMode: 1 vertical, 2 horizontal, 3 both.
        static constexpr Maximization kModes[] = {Maximization::None, Maximization::Vertical,
                                                  Maximization::Horizontal, Maximization::Both};
        live.state->maximized = kModes[state.value(QStringLiteral("maximized")).toInt() & 3];
        live.state->minimized = state.value(QStringLiteral("minimized")).toBool();
        live.state->fullscreen = state.value(QStringLiteral("fullScreen")).toBool();
        live.state->keepAbove = state.value(QStringLiteral("keepAbove")).toBool();
        if (const int stack = state.value(QStringLiteral("stack")).toInt(-1); stack >= 0)
            live.state->stackPosition = stack;
    }
    return live;
}

} // namespace

std::vector<platform::LiveApplication>
applicationsFromScan(const QString& answer, std::int64_t ownPid, xdg::DesktopEntries& entries)
{
    const QJsonDocument document = QJsonDocument::fromJson(answer.toUtf8());
    std::vector<platform::LiveApplication> applications;
    std::vector<bool> identified;
    QHash<std::int64_t, std::size_t> byPid;
    QHash<QString, std::int64_t> standIns; // resource class -> stand-in pid
    entries.reloadIfChanged();
    for (const QJsonValue value : document.array()) {
        const QJsonObject window = value.toObject();
        if (window.value(QStringLiteral("id")).toString().isEmpty())
            continue;
        auto pid = static_cast<std::int64_t>(window.value(QStringLiteral("pid")).toDouble());
        if (pid <= 0) {
            const QString key = window.value(QStringLiteral("resourceClass")).toString();
            pid = standIns.value(key, -(standIns.size() + 1));
            standIns.insert(key, pid);
        }
        auto found = byPid.constFind(pid);
        if (found == byPid.constEnd()) {
            found = byPid.insert(pid, applications.size());
            platform::LiveApplication app;
            app.pid = pid;
            app.kind = platform::ApplicationKind::Accessory;
            app.windows.emplace();
            applications.push_back(std::move(app));
            identified.push_back(false);
        }
        platform::LiveApplication& app = applications[*found];
        if (!identified[*found]) {
            Identity identity = identityOf(window, entries);
            if (identity.appId) {
                app.appId = std::move(identity.appId);
                app.name = std::move(identity.name);
                identified[*found] = true;
            }
        }
        if (pid != ownPid && isKeptType(window) &&
            !window.value(QStringLiteral("skipTaskbar")).toBool())
            app.kind = platform::ApplicationKind::Regular;
        app.windows->push_back(liveWindow(window));
    }
    for (platform::LiveApplication& app : applications) {
        if (!app.name)
            app.name = xdg::processName(app.pid);
    }
    return applications;
}

} // namespace tavelor::kwin
