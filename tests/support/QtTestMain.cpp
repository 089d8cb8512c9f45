// Test entry point for the drawing tests: text drawing needs a GUI
// application object (never a display; the offscreen platform is used).
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "render/QtEnvironment.h"

int main(int argc, char** argv) {
    sw::PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
