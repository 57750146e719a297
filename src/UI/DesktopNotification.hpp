#pragma once

#include <QString>

namespace tavelor {

/// Shows a desktop notification through the freedesktop notification service
/// (org.freedesktop.Notifications on the session bus), as Tavelor, with its
/// icon. Sent without waiting for an answer: without a notification service
/// nothing is shown and nothing fails. Main thread only.
void showDesktopNotification(const QString& summary, const QString& body);

} // namespace tavelor
