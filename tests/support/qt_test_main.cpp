#include "link/board_link.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    // Tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A link used from a thread that does not own it aborts the test, naming the method.
    SetLinkThreadChecks(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
