#pragma once

#include <QList>
#include <QString>

namespace tavelor {

/// One monitor as the window system shows it: the connector it hangs on, who
/// made it (from its EDID where the system gives one), and the area it covers
/// of the desktop in the window system's own coordinates.
struct Monitor {
    /// "HDMI-1", "DP-2", "Virtual-1": where it is plugged in, not what it is.
    QString connector;
    /// The three-letter maker id, the model name (or product code) and the
    /// serial; all empty when nothing says what the monitor is.
    QString maker;
    QString model;
    QString serial;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double scale = 1;

    /// Whether maker and model say what the monitor is.
    bool isIdentified() const { return !maker.isEmpty() || !model.isEmpty(); }

    /// The same monitor: when both are identified, maker, model and serial
    /// decide (a monitor moved to another port stays the same); else the
    /// connector and the size.
    bool isSameMonitor(const Monitor& other) const;

    /// Every field equal: what a saved setup reads back as.
    friend bool operator==(const Monitor&, const Monitor&) = default;
};

/// The monitors of one desktop, in the order the window system lists them.
struct DisplaySetup {
    QList<Monitor> monitors;

    /// The same monitors, each paired once, in any order; placement and scale
    /// take no part, so a rearranged desk still counts as the one it was.
    bool isSameSetup(const DisplaySetup& other) const;

    friend bool operator==(const DisplaySetup&, const DisplaySetup&) = default;
};

} // namespace tavelor
