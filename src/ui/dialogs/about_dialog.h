#pragma once

#include "ui/resources/control_ids.h"
#include "ui/resources/template_dialog.h"

class QWidget;

namespace quill {

// The About box's handlers: initialisation shows the version; only OK
// closes it (Escape and the close box are taken and ignored).
DialogHandlers AboutHandlers();

// The About command: the box, modal over owner, until OK closes it.
void RunAboutDialog(QWidget* owner);

}  // namespace quill
