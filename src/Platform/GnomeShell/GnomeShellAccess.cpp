#include "Platform/GnomeShell/GnomeShellAccess.hpp"

#include "Platform/GnomeShell/ShellInterface.hpp"

namespace tavelor::gnomeshell {

bool GnomeShellAccess::canWorkWithWindows(bool mayPrompt)
{
    (void)mayPrompt;
    return shellAnswers();
}

} // namespace tavelor::gnomeshell
