#include <QApplication>

#include "ui/app/application.h"
#include "ui/settings/qsettings_backend.h"

int main(int argc, char** argv) {
    // The window repaints a few rows at a time. Put through shared memory,
    // each such paint first waits on a round trip to the X server (it must be
    // done reading the last one); sent in the request it waits for nothing.
    // A user who set this variable keeps his own choice.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    // Qt sees the program name only: every user argument is the program's,
    // so a host called "-platform" or "-style" is a host.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Wayland desktops match the window to its desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.brannock.Quillterm"));
    quill::QSettingsBackend backend;
    quill::SettingsStore store(backend);
    quill::Application program(store, quill::DefaultAppHooks(store));
    return program.Run(argc, argv);
}
