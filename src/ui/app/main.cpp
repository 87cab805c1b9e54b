#include <QApplication>

#include "ui/app/application.h"
#include "ui/settings/qsettings_backend.h"

int main(int argc, char** argv) {
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
