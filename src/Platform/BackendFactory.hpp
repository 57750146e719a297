#pragma once

#include "Platform/Backend.hpp"

#include <QString>
#include <QStringList>

#include <memory>

namespace tavelor::platform {

/// The desktop session Tavelor runs in, as its environment describes it.
struct Session {
    /// XDG_SESSION_TYPE: "x11", "wayland", "tty", or empty.
    QString type;
    /// XDG_CURRENT_DESKTOP split on ':' ("KDE", "GNOME", "ubuntu:GNOME").
    QStringList desktops;
    /// WAYLAND_DISPLAY and DISPLAY, empty when unset.
    QString waylandDisplay;
    QString display;

    static Session fromEnvironment();

    /// A Wayland compositor serves the session.
    bool isWayland() const;
    /// `desktop` is among the desktops, compared without regard to case.
    bool runs(const QString& desktop) const;
};

/// The backend for `session`, each capability from the first backend that
/// serves the session and offers it (see the table in BackendFactory.cpp).
/// Never null: without any window system it answers as an empty desktop.
std::unique_ptr<Backend> createBackend(const Session& session);

} // namespace tavelor::platform
