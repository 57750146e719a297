#pragma once

#include "Platform/Displays.hpp"

#include <QObject>

namespace tavelor::gnomeshell {

/// The monitors as Mutter lists them on the session bus
/// (org.gnome.Mutter.DisplayConfig): each one that is on, with the vendor,
/// product and serial Mutter read from its EDID, and the area of its logical
/// monitor in the coordinates window frames are in. Mutter's MonitorsChanged
/// says when they change; it needs no extension.
class ShellDisplays final : public QObject, public platform::Displays {
    Q_OBJECT
public:
    ShellDisplays();

    DisplaySetup currentSetup() override;
    void setChangedHandler(std::function<void()> handler) override;

private:
    Q_SLOT void onMonitorsChanged();

    std::function<void()> m_changed;
};

} // namespace tavelor::gnomeshell
