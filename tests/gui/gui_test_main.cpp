// One QApplication for all GUI tests, offscreen unless
// QUILL_GUI_TEST_PLATFORM names another platform (xcb, on a virtual X
// server), with settings kept in a temporary directory instead of the
// user's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QUILL_GUI_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
