#include "ui/dialogs/splash_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace quill {

bool SplashDlgProc(TemplateDialog& dialog, DialogMessage message, int) {
    if (message != DialogMessage::InitDialog) return false;
    // Centred on the screen, not on the window that owns it.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize size = dialog.frameGeometry().size();
    dialog.move(screen.left() + (screen.width() - size.width()) / 2,
                screen.top() + (screen.height() - size.height()) / 2);
    return false;
}

TemplateDialog* CreateSplashWindow(QWidget* owner) {
    auto* splash = new TemplateDialog(SplashTemplate(), owner, SplashDlgProc);
    // The main window keeps the keyboard; nothing on the splash takes input.
    splash->setAttribute(Qt::WA_ShowWithoutActivating);
    splash->Initialise();
    splash->show();
    return splash;
}

}  // namespace quill
