#include "app/Resources.h"

#include <QApplication>

#include <gtest/gtest.h>

// Window tests need one application object for the whole run.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    morvantis::initResources();
    return RUN_ALL_TESTS();
}
