#include "Platform/KWin/KWinWindowSource.hpp"

#include "Platform/KWin/KWinScriptRunner.hpp"
#include "Platform/KWin/KWinWindowList.hpp"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace tavelor::kwin {

namespace {

QString resourceText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// [id, x, y, width, height], where a part no write named is null and the
// script keeps the window's own value for it.
QJsonArray frameEntry(const QString& id, const std::array<std::optional<double>, 4>& parts)
{
    QJsonArray entry{id};
    for (const std::optional<double>& part : parts)
        entry.append(part ? QJsonValue(*part) : QJsonValue());
    return entry;
}

} // namespace

KWinWindowSource::KWinWindowSource(KWinScriptRunner& runner, xdg::DesktopEntries& entries)
    : m_runner(runner), m_entries(entries),
      m_scanScript(resourceText(QStringLiteral(":/kwin/scan.js"))),
      m_applyScript(resourceText(QStringLiteral(":/kwin/apply.js")))
{}

KWinWindowSource::~KWinWindowSource() = default;

std::vector<platform::LiveApplication> KWinWindowSource::listApplications()
{
    const std::optional<QString> answer = m_runner.run(m_scanScript, QStringLiteral("{}"));
    if (!answer)
        return {};
    return applicationsFromScan(*answer, QCoreApplication::applicationPid(), m_entries);
}

void KWinWindowSource::apply(std::span<const platform::FrameWrite> writes)
{
    // Consecutive writes to one window make one frame: KWin takes position and
    // size together, and a position, a size and the position again are one move.
    QJsonArray frames;
    QString current;
    std::array<std::optional<double>, 4> parts;
    // A window's Desktop and State writes make one entry of `states`, which
    // the script applies around the frames; Raise writes list `raise`.
    QJsonArray states;
    QJsonArray raise;
    QHash<QString, qsizetype> stateOf;
    for (const platform::FrameWrite& write : writes) {
        using Part = platform::FrameWrite::Part;
        if (write.part == Part::Raise) {
            raise.append(write.window);
            continue;
        }
        if (write.part == Part::Desktop || write.part == Part::State) {
            const WindowState& s = write.state;
            if (!stateOf.contains(write.window)) {
                stateOf.insert(write.window, states.size());
                states.append(
                    QJsonArray{write.window, QJsonValue(), QJsonValue(), false, false, false});
            }
            QJsonArray entry = states[stateOf.value(write.window)].toArray();
            if (write.part == Part::Desktop) {
                entry[1] = s.onAllDesktops ? QJsonValue(-1)
                           : s.desktop     ? QJsonValue(static_cast<double>(*s.desktop))
                                           : QJsonValue();
            } else {
                static constexpr int kModes[] = {0, 2, 1, 3}; // maximizeMode by Maximization
                entry[2] = kModes[static_cast<int>(s.maximized)];
                entry[3] = s.minimized;
                entry[4] = s.fullscreen;
                entry[5] = s.keepAbove;
            }
            states[stateOf.value(write.window)] = entry;
            continue;
        }
        if (write.window != current) {
            if (!current.isEmpty())
                frames.append(frameEntry(current, parts));
            current = write.window;
            parts = {};
        }
        const std::size_t first = write.part == platform::FrameWrite::Part::Position ? 0 : 2;
        parts[first] = write.first;
        parts[first + 1] = write.second;
    }
    if (!current.isEmpty())
        frames.append(frameEntry(current, parts));
    m_lastApplyCount.reset();
    if (frames.isEmpty())
        return;
    const QJsonObject request{{QStringLiteral("frames"), frames},
                              {QStringLiteral("states"), states},
                              {QStringLiteral("raise"), raise}};
    const std::optional<QString> answer = m_runner.run(
        m_applyScript, QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)));
    if (answer)
        m_lastApplyCount = answer->toInt();
}

} // namespace tavelor::kwin
