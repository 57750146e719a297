#include "Platform/BackendFactory.hpp"
#include "UI/AppDelegate.hpp"
#include "UI/SingleInstance.hpp"
#include "UI/ToolkitMessages.hpp"

#include <QApplication>
#include <QMetaObject>
#include <QSystemTrayIcon>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
    // With a file size limit in force, a write past it should fail (the
    // profiles file is written atomically, so the old one stays) rather than
    // kill the program.
    std::signal(SIGXFSZ, SIG_IGN);

    tavelor::installToolkitMessageFilter();
    QApplication app(argc, argv);
    tavelor::releaseToolkitMessages();
    QApplication::setApplicationName(QStringLiteral("Tavelor"));
    QApplication::setDesktopFileName(QStringLiteral("tavelor"));
    // An accessory: no main window, and only "Quit" ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    tavelor::SingleInstance instance;
    if (!instance.tryAcquire()) {
        std::fputs("Tavelor is already running.\n", stderr);
        return 1;
    }

    const tavelor::platform::Session session = tavelor::platform::Session::fromEnvironment();
    const std::unique_ptr<tavelor::platform::Backend> backend =
        tavelor::platform::createBackend(session);
    // Only a native backend reaches a Wayland session's own windows.
    if (session.isWayland() && backend->name() == u"x11")
        std::fputs("Tavelor: in a Wayland session only XWayland windows can be saved and moved, "
                   "and the shortcut works only while an XWayland window has the focus.\n",
                   stderr);
    backend->setWindowSystemLostHandler(tavelor::windowSystemLost);
    tavelor::AppDelegate delegate(*backend);
    QMetaObject::invokeMethod(
        &delegate,
        [&delegate] {
            if (!QSystemTrayIcon::isSystemTrayAvailable())
                std::fputs("Tavelor: no system tray found, so its menu cannot be shown; the "
                           "shortcut still works.\n",
                           stderr);
            delegate.applicationDidFinishLaunching();
        },
        Qt::QueuedConnection);
    QApplication::exec();
    return 0;
}
