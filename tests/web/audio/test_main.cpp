#include <QCoreApplication>
#include <gtest/gtest.h>

// Frames cross to the source's thread through the event loop.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
