#pragma once

class QMenuBar;
class QWidget;

namespace quill {

// Alt+Shift+letter opens a menu of the bar just as Alt+letter does: a menu's
// letter does not depend on Shift. Menus whose letter is an accelerator
// (Alt+C, Alt+S) are left to the accelerator.
void InstallShiftedMnemonics(QMenuBar& bar, QWidget& window);

}  // namespace quill
