#pragma once

#include "Platform/WindowSource.hpp"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>

#include <array>

namespace tavelor::platform {

/// The Desktop, State and Raise writes of one batch in the form the
/// compositor-side scripts take them (KWin's apply script, the GNOME Shell
/// extension): {"states": [[id, desktop, maximized, minimized, fullscreen,
/// keepAbove], ...], "raise": [id, ...]}. Desktop is -1 for all desktops and
/// null to leave it; `maximizedCodes` gives the script's value for each
/// Maximization.
class StateWrites {
public:
    explicit StateWrites(std::array<int, 4> maximizedCodes) : m_codes(maximizedCodes) {}

    /// Takes `write` when it is one of those parts; false for a frame write.
    bool take(const FrameWrite& write)
    {
        using Part = FrameWrite::Part;
        if (write.part == Part::Raise) {
            m_raise.append(write.window);
            return true;
        }
        if (write.part != Part::Desktop && write.part != Part::State)
            return false;
        if (!m_index.contains(write.window)) {
            m_index.insert(write.window, m_states.size());
            m_states.append(QJsonArray{write.window, QJsonValue(), 0, false, false, false});
        }
        QJsonArray entry = m_states[m_index.value(write.window)].toArray();
        const WindowState& s = write.state;
        if (write.part == Part::Desktop) {
            entry[1] = s.onAllDesktops ? QJsonValue(-1)
                       : s.desktop     ? QJsonValue(static_cast<double>(*s.desktop))
                                       : QJsonValue();
        } else {
            entry[2] = m_codes[static_cast<std::size_t>(s.maximized)];
            entry[3] = s.minimized;
            entry[4] = s.fullscreen;
            entry[5] = s.keepAbove;
        }
        m_states[m_index.value(write.window)] = entry;
        return true;
    }

    bool isEmpty() const { return m_states.isEmpty() && m_raise.isEmpty(); }

    /// Adds "states" and "raise" to `request`.
    void addTo(QJsonObject& request) const
    {
        request.insert(QStringLiteral("states"), m_states);
        request.insert(QStringLiteral("raise"), m_raise);
    }

private:
    std::array<int, 4> m_codes;
    QJsonArray m_states;
    QJsonArray m_raise;
    QHash<QString, qsizetype> m_index;
};

} // namespace tavelor::platform
