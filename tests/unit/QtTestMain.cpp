#include <QApplication>

#include <gtest/gtest.h>

// Menus, the shortcut window, the posted hot key trigger and the X11 backend's
// socket notifier need an application object and its event loop.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
