#include "Platform/BackendFactory.hpp"
#include "UI/AppDelegate.hpp"
#include "UI/CommandLine.hpp"
#include "UI/RunningCopy.hpp"
#include "UI/SingleInstance.hpp"
#include "UI/ToolkitMessages.hpp"
#include "UI/Translations.hpp"

#include <QApplication>
#include <QMetaObject>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
    // With a file size limit in force, a write past it should fail (the
    // profiles file is written atomically, so the old one stays) rather than
    // kill the program.
    (void)std::signal(SIGXFSZ, SIG_IGN);

    // Before the toolkit: --help needs no display, and no argument may reach
    // the toolkit's own option parsing.
    if (const std::optional<int> status = tavelor::handleCommandLine(argc, argv))
        return *status;

    tavelor::installToolkitMessageFilter();
    QApplication app(argc, argv);
    tavelor::releaseToolkitMessages();
    QApplication::setApplicationName(QStringLiteral("Tavelor"));
    QApplication::setApplicationVersion(QStringLiteral(TAVELOR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tavelor"));
    // An accessory: no main window, and only "Quit" ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    tavelor::installTranslations();

    tavelor::SingleInstance instance;
    if (!instance.tryAcquire()) {
        (void)std::fputs("Tavelor is already running.\n", stderr);
        // stderr is unseen when started from a launcher; the running copy
        // shows a notification the user does see.
        tavelor::RunningCopy::askRunningCopyToShowItself();
        return 1;
    }
    tavelor::RunningCopy runningCopy;
    runningCopy.publish();

    const tavelor::platform::Session session = tavelor::platform::Session::fromEnvironment();
    const std::unique_ptr<tavelor::platform::Backend> backend =
        tavelor::platform::createBackend(session);
    // Only a native backend reaches a Wayland session's own windows.
    if (session.isWayland() && backend->name() == u"x11")
        (void)std::fputs(
            "Tavelor: in a Wayland session only XWayland windows can be saved and moved, "
            "and the shortcut works only while an XWayland window has the focus.\n",
            stderr);
    backend->setWindowSystemLostHandler(tavelor::windowSystemLost);
    tavelor::AppDelegate delegate(*backend);
    QMetaObject::invokeMethod(
        &delegate, [&delegate] { delegate.applicationDidFinishLaunching(); }, Qt::QueuedConnection);
    QApplication::exec();
    return 0;
}
