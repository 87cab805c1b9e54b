#pragma once

#include <memory>

#include "core/interfaces/connection_target.h"
#include "core/settings/settings_store.h"
#include "ui/resources/control_ids.h"
#include "ui/resources/template_dialog.h"

class QWidget;

namespace quill {

// The start-up Connect dialog (template CONNECT): a host, typed or picked from
// the history, and a port. OK fills the connection target and puts the host
// at the front of the history as the store holds it then, an IPv6 address
// typed in brackets without them; Cancel changes nothing. Escape and the close box leave it open.
class ConnectDialog {
  public:
    ConnectDialog(QWidget* owner, SettingsStore& store, ConnectionTarget& target);
    ~ConnectDialog();

    // Shows the dialog modally: true after OK, false after Cancel.
    bool Run();
    TemplateDialog& Dialog() { return *dialog_; }

    void OnInitDialog(TemplateDialog& dialog);
    void OnCommand(TemplateDialog& dialog, ConnectControl id);

  private:
    void Accept(TemplateDialog& dialog);

    SettingsStore& store_;
    ConnectionTarget& target_;
    std::unique_ptr<TemplateDialog> dialog_;
};

// Runs the Connect dialog for the command line when no host was given: true
// after OK.
bool RunConnectDialog(QWidget* owner, SettingsStore& store, ConnectionTarget& target);

}  // namespace quill
