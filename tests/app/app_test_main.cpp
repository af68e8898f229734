// Entry point of the editor tests: fonts, text drawing and widgets need the
// application object, made before any test runs (a QApplication, so that
// window tests can share this main). Without a platform named in the
// environment, as when the build lists the tests, the offscreen one is used.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
