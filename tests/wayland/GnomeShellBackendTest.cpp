// Tavelor's GNOME Shell backend against a real headless GNOME Shell with the
// extension (run inside tests/wayland/gnome-session): a native Qt window (this
// program again, with --window), a native GTK window and an XWayland xterm.
#include "Platform/GnomeShell/GnomeShellAccess.hpp"
#include "Platform/GnomeShell/GnomeShellShortcuts.hpp"
#include "Platform/GnomeShell/GnomeShellWindowSource.hpp"
#include "Platform/GnomeShell/ShellAccelerator.hpp"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

using namespace tavelor;
using platform::FrameWrite;

namespace {

const char* const gtkWindow = R"(
import sys, gi
gi.require_version('Gtk', '3.0')
from gi.repository import Gtk
w = Gtk.Window(title=sys.argv[1]); w.set_default_size(300, 200)
w.connect('destroy', Gtk.main_quit); w.show_all(); Gtk.main()
)";

template <typename Predicate> bool waitFor(Predicate predicate, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!predicate()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

struct Found {
    QString id;
    QRect frame;
};

std::optional<Found> windowTitled(gnomeshell::GnomeShellWindowSource& source, const QString& title)
{
    for (const auto& app : source.listApplications()) {
        for (const auto& window : app.windows.value_or(std::vector<platform::LiveWindow>{})) {
            if (window.title == title && window.position && window.size && window.size->first > 0)
                return Found{window.id,
                             QRect(int(window.position->first), int(window.position->second),
                                   int(window.size->first), int(window.size->second))};
        }
    }
    return std::nullopt;
}

class GnomeShellTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        auto start = [](const QString& program, const QStringList& arguments,
                        const QString& environment) {
            auto* process = new QProcess;
            auto env = QProcessEnvironment::systemEnvironment();
            env.insert(environment.section('=', 0, 0), environment.section('=', 1));
            process->setProcessEnvironment(env);
            process->start(program, arguments);
            clients.push_back(process);
        };
        start(QCoreApplication::applicationFilePath(), {"--window", "qt window"},
              "QT_QPA_PLATFORM=wayland");
        start("/usr/bin/python3", {"-c", gtkWindow, "gtk window"}, "GDK_BACKEND=wayland");
        start("xterm", {"-T", "x term", "-e", "sleep", "600"}, "TAVELOR=1");
    }
    static void TearDownTestSuite()
    {
        for (QProcess* process : clients) {
            process->kill();
            process->waitForFinished();
            delete process;
        }
    }
    static inline std::vector<QProcess*> clients;
    gnomeshell::GnomeShellWindowSource source;
};

TEST_F(GnomeShellTest, ListsNativeAndXWaylandWindowsAndAppliesOneBatch)
{
    const QStringList titles = {"qt window", "gtk window", "x term"};
    ASSERT_TRUE(waitFor([&] {
        return std::all_of(titles.begin(), titles.end(),
                           [&](const QString& t) { return windowTitled(source, t).has_value(); });
    }));
    EXPECT_TRUE(gnomeshell::GnomeShellAccess().canWorkWithWindows(false));

    const QList<QRect> targets = {{120, 140, 420, 320}, {640, 180, 500, 360}, {300, 600, 480, 260}};
    std::vector<FrameWrite> writes;
    for (int i = 0; i < titles.size(); ++i) {
        const QString id = windowTitled(source, titles[i])->id;
        const QRect& t = targets[i];
        writes.push_back({id, FrameWrite::Part::Size, double(t.width()), double(t.height())});
        writes.push_back({id, FrameWrite::Part::Position, double(t.x()), double(t.y())});
    }
    source.apply(writes);
    for (int i = 0; i < titles.size(); ++i) {
        SCOPED_TRACE(titles[i].toStdString());
        // Native windows take the frame as asked; the terminal rounds its size
        // to character cells.
        const bool exact = titles[i] != "x term";
        EXPECT_TRUE(waitFor([&] {
            const QRect frame = windowTitled(source, titles[i])->frame;
            return exact ? frame == targets[i] : frame.topLeft() == targets[i].topLeft();
        })) << "at "
            << windowTitled(source, titles[i])->frame.x() << ","
            << windowTitled(source, titles[i])->frame.y();
    }

    // A move without a size keeps the window's size; a gone window is skipped.
    const Found gtk = *windowTitled(source, "gtk window");
    const std::vector<FrameWrite> moveOnly = {{"123456789", FrameWrite::Part::Position, 5, 5},
                                              {gtk.id, FrameWrite::Part::Position, 700, 300}};
    source.apply(moveOnly);
    EXPECT_TRUE(waitFor([&] {
        return windowTitled(source, "gtk window")->frame ==
               QRect(QPoint(700, 300), gtk.frame.size());
    }));
}

TEST_F(GnomeShellTest, ShortcutFiresOnceForKeysFromAKeyboard)
{
    gnomeshell::GnomeShellShortcuts shortcuts;
    int presses = 0;
    shortcuts.setPressedHandler([&] { ++presses; });
    ASSERT_EQ(shortcuts.grab({0x11, controlKey | optionKey}),
              platform::GlobalShortcuts::GrabResult::Grabbed); // Control-Option-T

    const QString service = "org.gnome.Mutter.RemoteDesktop";
    QDBusInterface desktop(service, "/org/gnome/Mutter/RemoteDesktop", service);
    const QDBusReply<QDBusObjectPath> session = desktop.call("CreateSession");
    ASSERT_TRUE(session.isValid()) << session.error().message().toStdString();
    QDBusInterface keyboard(service, session.value().path(), service + ".Session");
    keyboard.call("Start");
    // The compositor takes a moment to add the virtual keyboard: a lone Shift
    // first, so that the shortcut's keys are not the ones lost.
    for (const bool down : {true, false})
        keyboard.call("NotifyKeyboardKeysym", 0xFFE1u, down);
    QThread::msleep(300);
    const std::vector<unsigned> keys = {0xFFE3, 0xFFE9, 't'};
    for (const unsigned key : keys)
        keyboard.call("NotifyKeyboardKeysym", key, true);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        keyboard.call("NotifyKeyboardKeysym", *it, false);
    EXPECT_TRUE(waitFor([&] { return presses == 1; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(presses, 1);

    shortcuts.release();
    for (const unsigned key : keys)
        keyboard.call("NotifyKeyboardKeysym", key, true);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        keyboard.call("NotifyKeyboardKeysym", *it, false);
    keyboard.call("Stop");
    QCoreApplication::processEvents(QEventLoop::AllEvents, 300);
    EXPECT_EQ(presses, 1);
}

TEST(GnomeShellAccelerator, NamesTheKeyPositionAndModifiers)
{
    const struct {
        HotKey hotKey;
        std::optional<QString> expected;
    } cases[] = {
        {{0x11, controlKey | optionKey}, "<Control><Alt>0x1c"}, // T
        {{49, cmdKey | shiftKey}, "<Shift><Super>0x41"},        // Space
        {{122, controlKey}, "<Control>0x43"},                   // F1
        {{0x34, controlKey}, std::nullopt},                     // no key of its own
    };
    for (const auto& c : cases)
        EXPECT_EQ(gnomeshell::shellAccelerator(c.hotKey), c.expected) << c.hotKey.keyCode;
}

// Run with --gtest_filter=*WithoutExtension* in a session where it is not enabled.
TEST(GnomeShellWithoutExtension, HasNoWindowsAndNoShortcut)
{
    EXPECT_FALSE(gnomeshell::GnomeShellAccess().canWorkWithWindows(true));
    EXPECT_TRUE(gnomeshell::GnomeShellWindowSource().listApplications().empty());
    EXPECT_EQ(gnomeshell::GnomeShellShortcuts().grab({0x11, controlKey}),
              platform::GlobalShortcuts::GrabResult::Unavailable);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--window") {
        QApplication app(argc, argv);
        QWidget window;
        window.setWindowTitle(QString::fromLocal8Bit(argv[2]));
        window.resize(300, 200);
        window.show();
        return app.exec();
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
