#include <QCoreApplication>

#include <gtest/gtest.h>

// The hot key trigger is posted to the event loop, so the suite needs one.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
