#include "Platform/KWin/KWinWindowSource.hpp"

#include "Platform/KWin/KWinScriptRunner.hpp"
#include "Platform/KWin/KWinWindowList.hpp"
#include "Platform/StateWrites.hpp"

#include <QCoreApplication>
#include <QFile>
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
    // Desktop, State and Raise writes go to the script beside the frames, the
    // maximized state as KWin's maximizeMode (1 vertical, 2 horizontal).
    platform::StateWrites states({0, 2, 1, 3});
    for (const platform::FrameWrite& write : writes) {
        if (states.take(write))
            continue;
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
    QJsonObject request{{QStringLiteral("frames"), frames}};
    states.addTo(request);
    const std::optional<QString> answer = m_runner.run(
        m_applyScript, QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)));
    if (answer)
        m_lastApplyCount = answer->toInt();
}

} // namespace tavelor::kwin
