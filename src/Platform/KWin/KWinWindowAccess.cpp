#include "Platform/KWin/KWinWindowAccess.hpp"

#include "Platform/KWin/KWinScriptRunner.hpp"

namespace tavelor::kwin {

bool KWinWindowAccess::canWorkWithWindows(bool)
{
    return m_runner.kwinAnswers();
}

} // namespace tavelor::kwin
