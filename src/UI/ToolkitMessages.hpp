#pragma once

namespace tavelor {

/// The toolkit's log messages as the process hands them on. Installed before
/// the QApplication is made, the filter holds every message until
/// releaseToolkitMessages(): a toolkit that finds no window system prints
/// several lines and aborts, and the filter turns that into one line and exit
/// status 1 instead. Later, the toolkit's own report of a broken X connection
/// goes the way of windowSystemLost().
void installToolkitMessageFilter();

/// Hands the held messages on, in order, and passes later ones straight through.
void releaseToolkitMessages();

/// The X server went away under the running program: one line on stderr (once,
/// whoever notices first) and exit status 1 at once, without running the
/// destructors of objects that still need a display. Saves are written whole
/// (a renamed temporary file) on the main thread, so none is half done here.
[[noreturn]] void windowSystemLost();

} // namespace tavelor
