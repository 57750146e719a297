#pragma once

#include <QString>

namespace tavelor {

/// Says that a shortcut does not work, where a user can see it: a beep alone is
/// silent on many Linux desktops, and a shortcut that failed to register at
/// start otherwise just does nothing. Texts go through the translation lookup.
/// Main thread only.
class ShortcutNotice {
public:
    /// The saved shortcut `displayName` could not be registered at start: one
    /// line on stderr and a desktop notification saying what to do.
    /// `takenByAnotherProgram` when the display server said the combination is
    /// held by another client.
    static void couldNotRegister(const QString& displayName, bool takenByAnotherProgram);

    /// Recording refused `displayName`: another program holds it.
    static void taken(const QString& displayName);
};

} // namespace tavelor
