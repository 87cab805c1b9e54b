#include <QApplication>

#include "ui/app/application.h"
#include "ui/app/short_time_slice.h"
#include "ui/resources/message_box.h"
#include "ui/settings/qsettings_backend.h"

namespace {

constexpr const char* kNoSharedMemory = "QT_XCB_NO_MITSHM";

// The window repaints a few rows at a time. Put through shared memory, each
// such paint first waits on a round trip to the X server (it must be done
// reading the last one); sent in the request it waits for nothing. Qt reads
// the variable once, when it connects to the display, and takes any value as
// "off": a user's 0 keeps shared memory here. Only the X11 platform plugin
// reads it; on Wayland the compositor gets shared-memory buffers as always.
class SharedMemoryChoice {
  public:
    SharedMemoryChoice() : userSet_(qEnvironmentVariableIsSet(kNoSharedMemory)) {
        user_ = qgetenv(kNoSharedMemory);
        if (!userSet_) {
            qputenv(kNoSharedMemory, "1");
        } else if (user_ == "0") {
            qunsetenv(kNoSharedMemory);
        }
    }
    // The environment as the user gave it, for the connections started from
    // here, which choose alike.
    void Restore() const {
        if (userSet_) {
            qputenv(kNoSharedMemory, user_);
        } else {
            qunsetenv(kNoSharedMemory);
        }
    }

  private:
    bool userSet_;
    QByteArray user_;
};

}  // namespace

int main(int argc, char** argv) {
    const SharedMemoryChoice sharedMemory;
    // Qt sees the program name only: every user argument is the program's,
    // so a host called "-platform" or "-style" is a host.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    sharedMemory.Restore();
    // The window's thread reads the host, paints and sends the keys: woken by
    // a byte, it should have the processor at once rather than wait out the
    // slice of a busy neighbour. Qt's own threads, started above, and what is
    // started from here keep the system's slice.
    quill::AskForShortTimeSlice();
    QApplication::setQuitOnLastWindowClosed(false);
    // Wayland desktops match the window to its desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.brannock.Quillterm"));
    // The window never waits for another process that holds the store.
    quill::QSettingsBackend backend(quill::QSettingsBackend::Busy::kKeep);
    quill::SettingsStore store(backend);
    quill::Application program(store, quill::DefaultAppHooks(store));
    const int status = program.Run(argc, argv);
    if (!backend.WriteKept()) {
        quill::ShowMessageBox(nullptr,
                              QStringLiteral("Settings changed in this window could not be saved: "
                                             "another copy of Quillterm kept the settings file "
                                             "locked, or it could not be written."),
                              QStringLiteral("Settings"), QMessageBox::Warning);
    }
    return status;
}
