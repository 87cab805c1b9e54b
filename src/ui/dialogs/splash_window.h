#pragma once

#include "ui/resources/template_dialog.h"

class QWidget;

namespace quill {

// Makes and shows the modeless splash window over owner, centred on the
// screen rather than on its owner; the caller closes it.
TemplateDialog* CreateSplashWindow(QWidget* owner);

}  // namespace quill
