// One offscreen QApplication for the integration tests, with settings kept in
// a temporary directory instead of the user's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    return RUN_ALL_TESTS();
}
