#pragma once

#include "Platform/Displays.hpp"
#include "Platform/KWin/KWinScriptRunner.hpp"

#include <QObject>

namespace tavelor::kwin {

/// The outputs of a KWin session (Plasma 5.27 and 6) as KWin's scripts see
/// them, read by one script run.
///
/// KWin 6 tells each output's name, maker, model and serial (from its EDID);
/// 5.27 tells scripts only names, areas and scales, so its monitors are never
/// identified and compare by connector and size.
///
/// Changes: a script left loaded in KWin from the first setChangedHandler()
/// on calls outputsChanged() back on each output signal, a few a change,
/// sent once KWin has moved the windows of an output that went.
class KWinDisplays final : public QObject, public platform::Displays {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.tavelor.KWinDisplays")

public:
    KWinDisplays();
    ~KWinDisplays() override;
    KWinDisplays(const KWinDisplays&) = delete;
    KWinDisplays& operator=(const KWinDisplays&) = delete;

    DisplaySetup currentSetup() override;
    void setChangedHandler(std::function<void()> handler) override;

    /// Called by the watching script.
    Q_SCRIPTABLE Q_SLOT void outputsChanged();

private:
    // Its own runner: a change notice may come, and the setup be read, while
    // the window source's runner waits for a listing.
    KWinScriptRunner m_runner;
    QString m_path;
    bool m_registered = false;
    bool m_watching = false;
    std::function<void()> m_changed;
};

} // namespace tavelor::kwin
