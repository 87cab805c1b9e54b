#include "ui/dialogs/splash_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace quill {

namespace {

void CentreOnScreen(TemplateDialog& dialog) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize size = dialog.frameGeometry().size();
    dialog.move(screen.left() + (screen.width() - size.width()) / 2,
                screen.top() + (screen.height() - size.height()) / 2);
}

}  // namespace

TemplateDialog* CreateSplashWindow(QWidget* owner) {
    DialogHandlers handlers;
    handlers.onInitDialog = CentreOnScreen;
    auto* splash = new TemplateDialog(SplashTemplate(), owner, std::move(handlers));
    // The main window keeps the keyboard; nothing on the splash takes input.
    splash->setAttribute(Qt::WA_ShowWithoutActivating);
    splash->Initialise();
    splash->show();
    return splash;
}

}  // namespace quill
