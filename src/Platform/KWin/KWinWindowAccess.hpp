#pragma once

#include "Platform/WindowAccess.hpp"

namespace tavelor::kwin {

class KWinScriptRunner;

/// Tavelor can work with a KWin session's windows exactly when KWin's
/// scripting answers on the session bus; there is nothing to ask the user.
class KWinWindowAccess final : public platform::WindowAccess {
public:
    /// `runner` outlives this.
    explicit KWinWindowAccess(KWinScriptRunner& runner) : m_runner(runner) {}

    bool canWorkWithWindows(bool mayPrompt) override;

private:
    KWinScriptRunner& m_runner;
};

} // namespace tavelor::kwin
