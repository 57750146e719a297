// The GNOME Shell backend's own logic, and a native Qt window for the tests that
// run Tavelor in a real GNOME Shell (gnome_tray_test.py starts this program with
// --window TITLE under QT_QPA_PLATFORM=wayland).
#include "Platform/GnomeShell/ShellAccelerator.hpp"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

using namespace tavelor;

namespace {

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
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
