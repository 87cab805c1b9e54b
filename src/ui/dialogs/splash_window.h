#pragma once

#include "ui/resources/template_dialog.h"

class QWidget;

namespace quill {

// Procedure of the splash window: it centres itself on the screen.
bool SplashDlgProc(TemplateDialog& dialog, DialogMessage message, int id);

// Makes and shows the modeless splash window over owner; the caller closes it.
TemplateDialog* CreateSplashWindow(QWidget* owner);

}  // namespace quill
