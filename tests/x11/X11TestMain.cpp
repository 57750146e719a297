#include <QCoreApplication>

#include <gtest/gtest.h>

// The backend's connection reads its events through a socket notifier, which
// needs an application object on this thread.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
