// main() of the tests that drive the real web engine under Xvfb.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // The module built next to the test binaries' build tree.
    if (!qEnvironmentVariableIsSet("PATHTALLY_WEB_MODULE"))
        qputenv("PATHTALLY_WEB_MODULE", PT_BINARY_DIR "/pathtally_web.so");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
