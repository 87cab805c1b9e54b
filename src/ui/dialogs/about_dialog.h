#pragma once

#include <string_view>

#include "ui/resources/template_dialog.h"

class QWidget;

namespace quill {

// The control of the About box that shows the version.
inline constexpr int kAboutVersionId = 222;

// The program's version, as the About box shows it.
std::string_view ProgramVersion();

// Procedure of the About box: only OK closes it.
bool AboutDlgProc(TemplateDialog& dialog, DialogMessage message, int id);

// The About command: the box, modal over owner. 1 once OK closes it.
int RunAboutDialog(QWidget* owner);

}  // namespace quill
