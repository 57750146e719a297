#include <QCoreApplication>

#include <gtest/gtest.h>

// Presses arrive through the event loop and the trigger is posted to it.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
