#include "ui/dialogs/about_dialog.h"

#include <QPointer>

#include "ui/resources/command_ids.h"

namespace quill {

std::string_view ProgramVersion() {
    return "0.9.32.0";
}

bool AboutDlgProc(TemplateDialog& dialog, DialogMessage message, int id) {
    if (message == DialogMessage::InitDialog) {
        dialog.SetItemText(kAboutVersionId, ProgramVersion());
        return false;
    }
    // Escape and the close box send the cancel command: taken, and ignored.
    if (id == cmd::kDialogOk) dialog.EndDialog(1);
    return true;
}

int RunAboutDialog(QWidget* owner) {
    // The owner may take the box along if it goes away while the box is open.
    const QPointer<TemplateDialog> about = new TemplateDialog(AboutTemplate(), owner, AboutDlgProc);
    about->Initialise();
    const int result = about->RunModal();
    delete about;
    return result;
}

}  // namespace quill
