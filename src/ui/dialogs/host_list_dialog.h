#pragma once

#include <memory>
#include <string>

#include "core/settings/settings_store.h"
#include "ui/resources/control_ids.h"
#include "ui/resources/template_dialog.h"

class QWidget;

namespace quill {

class MouseCapture;

// The host list dialog (template LISTHOSTS): the history in a plain list.
// OK hands back the selected entry (empty when none is selected), Cancel
// nothing. While open it holds the mouse: clicks on its controls do nothing,
// so it is worked with the keyboard.
class HostListDialog {
  public:
    HostListDialog(QWidget* owner, SettingsStore& store);
    ~HostListDialog();

    // Shows the dialog modally: true after OK, false after Cancel.
    bool Run();
    TemplateDialog& Dialog() { return *dialog_; }
    // The entry chosen by OK.
    const std::string& Selection() const { return selection_; }

    void OnInitDialog(TemplateDialog& dialog);
    void OnCommand(TemplateDialog& dialog, ListHostsControl id);

  private:
    void TakeSelection(TemplateDialog& dialog);

    SettingsStore& store_;
    std::string selection_;
    std::unique_ptr<TemplateDialog> dialog_;
    std::unique_ptr<MouseCapture> capture_;
};

// Shows the host list; after OK copies the chosen entry into `host` and
// returns true, after Cancel leaves `host` alone and returns false.
bool ChooseListedHost(QWidget* owner, SettingsStore& store, std::string& host);

}  // namespace quill
