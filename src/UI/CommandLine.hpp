#pragma once

#include <optional>

namespace tavelor {

/// Reads the command line before anything else runs: no display, no session
/// bus, no lock, so that `tavelor --help` and `tavelor --version` answer even
/// where no desktop runs and never reach a copy that is running.
///
/// Answers the exit status when the process should end here (0 after --help
/// or --version, printed to stdout; 2 for any other argument, with a line on
/// stderr), and nothing when there were no arguments and the program runs.
std::optional<int> handleCommandLine(int argc, const char* const* argv);

} // namespace tavelor
