#include "Platform/GnomeShell/GnomeShellWindowSource.hpp"

#include "Platform/GnomeShell/ShellFrames.hpp"
#include "Platform/GnomeShell/ShellInterface.hpp"
#include "Platform/GnomeShell/ShellWindowListing.hpp"
#include "Platform/StateWrites.hpp"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace tavelor::gnomeshell {
namespace {

std::optional<std::vector<ShellWindow>> listShellWindows()
{
    const QDBusMessage reply = callShell(QStringLiteral("ListWindows"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("s"))
        return std::nullopt;
    return parseShellWindows(reply.arguments().front().toString().toUtf8());
}

int rounded(double value)
{
    // The shell refuses frames beyond any screen; clamping here only keeps the
    // conversion defined for values no layout holds.
    constexpr double limit = 1e9;
    return static_cast<int>(std::lround(std::clamp(value, -limit, limit)));
}

bool acceptable(QPoint position, QSize size)
{
    const auto within = [](int v) { return v >= -maxShellCoordinate && v <= maxShellCoordinate; };
    return within(position.x()) && within(position.y()) && size.width() > 0 && size.height() > 0 &&
           within(size.width()) && within(size.height());
}

} // namespace

std::vector<platform::LiveApplication> GnomeShellWindowSource::listApplications()
{
    const std::optional<std::vector<ShellWindow>> windows = listShellWindows();
    m_lastFrames.clear();
    if (!windows)
        return {};
    for (const ShellWindow& window : *windows) {
        if (window.frame)
            m_lastFrames.insert(window.id, *window.frame);
    }
    return groupShellWindows(*windows, m_desktopEntries, QCoreApplication::applicationPid());
}

void GnomeShellWindowSource::refreshFrames()
{
    m_lastFrames.clear();
    if (const auto windows = listShellWindows()) {
        for (const ShellWindow& window : *windows) {
            if (window.frame)
                m_lastFrames.insert(window.id, *window.frame);
        }
    }
}

void GnomeShellWindowSource::apply(std::span<const platform::FrameWrite> writes)
{
    struct Pending {
        QString id;
        std::optional<QPoint> position;
        std::optional<QSize> size;
    };
    std::vector<Pending> pending;
    // Desktop, State and Raise writes go to the extension beside the frames;
    // its maximized flags, 1 horizontal and 2 vertical, follow Maximization.
    platform::StateWrites states({0, 1, 2, 3});
    for (const platform::FrameWrite& write : writes) {
        if (states.take(write))
            continue;
        auto it = std::find_if(pending.begin(), pending.end(),
                               [&](const Pending& p) { return p.id == write.window; });
        if (it == pending.end())
            it = pending.insert(pending.end(), Pending{write.window, {}, {}});
        if (write.part == platform::FrameWrite::Part::Position)
            it->position = QPoint(rounded(write.first), rounded(write.second));
        else
            it->size = QSize(rounded(write.first), rounded(write.second));
    }

    const bool partial = std::any_of(pending.begin(), pending.end(), [&](const Pending& p) {
        return (!p.position || !p.size) && !m_lastFrames.contains(p.id);
    });
    if (partial)
        refreshFrames();

    QList<ShellFrame> frames;
    for (const Pending& p : pending) {
        bool isNumber = false;
        const quint64 window = p.id.toULongLong(&isNumber);
        const auto last = m_lastFrames.constFind(p.id);
        if (!isNumber || ((!p.position || !p.size) && last == m_lastFrames.constEnd()))
            continue;
        const QPoint position = p.position.value_or(last->topLeft());
        const QSize size = p.size.value_or(last->size());
        if (acceptable(position, size))
            frames.append({window, QRect(position, size)});
    }
    if (!states.isEmpty()) {
        QJsonObject state;
        states.addTo(state);
        applyShellLayout(frames,
                         QString::fromUtf8(QJsonDocument(state).toJson(QJsonDocument::Compact)));
    } else if (!frames.isEmpty()) {
        // Frames only: the call every version of the extension knows.
        applyShellFrames(frames);
    }
}

} // namespace tavelor::gnomeshell
