#include <QApplication>

#include <gtest/gtest.h>

// The shortcut window needs widgets; CTest runs the suite on the offscreen platform.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
