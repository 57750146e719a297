#include "Platform/Backend.hpp"
#include "UI/AppDelegate.hpp"
#include "UI/SingleInstance.hpp"

#include <QApplication>
#include <QMetaObject>
#include <QSystemTrayIcon>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler g_qtMessageHandler = nullptr;

// Both our connection and the toolkit's notice a vanished X server, in either
// order; the first to notice says so in one line and ends the process on the
// spot. Saves are written whole (a renamed temporary file) from this thread,
// so none is half done here, and the toolkit's exit() would run destructors of
// objects that still need a display.
[[noreturn]] void windowSystemLost()
{
    static std::atomic_flag reported;
    if (!reported.test_and_set())
        std::fputs("Tavelor: the connection to the X server was lost; quitting.\n", stderr);
    std::_Exit(1);
}

void filterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("X11 connection broke")))
        windowSystemLost();
    if (g_qtMessageHandler)
        g_qtMessageHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    // With a file size limit in force, a write past it should fail (the
    // profiles file is written atomically, so the old one stays) rather than
    // kill the program.
    std::signal(SIGXFSZ, SIG_IGN);

    g_qtMessageHandler = qInstallMessageHandler(filterQtMessages);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavelor"));
    QApplication::setDesktopFileName(QStringLiteral("tavelor"));
    // An accessory: no main window, and only "Quit" ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    tavelor::SingleInstance instance;
    if (!instance.tryAcquire()) {
        std::fputs("Tavelor is already running.\n", stderr);
        return 1;
    }
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        std::fputs("Tavelor: in a Wayland session only XWayland windows can be saved and moved, "
                   "and the shortcut works only while an XWayland window has the focus.\n",
                   stderr);

    const std::unique_ptr<tavelor::platform::Backend> backend = tavelor::platform::createBackend();
    backend->setWindowSystemLostHandler(windowSystemLost);
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
