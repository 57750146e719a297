#pragma once

#include "Platform/WindowSource.hpp"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace tavelor::kwin::test {

/// Runs the event loop until `done` holds or a generous deadline passes (the
/// session is shared by slow machines; nothing here measures speed).
bool waitUntil(const std::function<bool()>& done, int deadlineMs = 15000);

/// The window titled `title` in a listing, with its application.
struct Found {
    const platform::LiveApplication* application = nullptr;
    const platform::LiveWindow* window = nullptr;
};
std::optional<Found> findWindow(const std::vector<platform::LiveApplication>& apps,
                                const QString& title);

/// Runs a helper program to its end; its exit status (-1 when it did not run).
int runProgram(const QString& program, const QStringList& arguments);

/// Which KWin runs the session: 5 or 6.
int kwinVersion();

} // namespace tavelor::kwin::test
