#include "ui/dialogs/about_dialog.h"

#include <QPointer>

#include "core/version.h"

namespace quill {

DialogHandlers AboutHandlers() {
    DialogHandlers handlers;
    handlers.onInitDialog = [](TemplateDialog& dialog) {
        dialog.SetItemText(AboutControl::kVersion, kProgramVersion);
    };
    handlers.onCommand = [](TemplateDialog& dialog, ControlId id) {
        if (id == AboutControl::kOk) dialog.EndDialog(1);
    };
    return handlers;
}

void RunAboutDialog(QWidget* owner) {
    // The owner may take the box along if it goes away while the box is open.
    const QPointer<TemplateDialog> about =
        new TemplateDialog(AboutTemplate(), owner, AboutHandlers());
    about->Initialise();
    about->RunModal();
    delete about;
}

}  // namespace quill
