#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"
#include "core/startup/command_line.h"
#include "ui/resources/template_dialog.h"

class QWidget;

namespace quill {

// The start-up Connect dialog (template CONNECT): a host, typed or picked from
// the history, and a port. OK fills the connection target and puts the host
// at the front of the history; Cancel changes nothing. Escape and the close
// box leave it open.
class ConnectDialog {
  public:
    ConnectDialog(QWidget* owner, SettingsStore& store, ConnectionTarget& target);
    ~ConnectDialog();

    // Shows the dialog modally: 1 after OK, 0 after Cancel.
    int Run();
    TemplateDialog& Dialog() { return *dialog_; }

    bool ConnectDlgProc(TemplateDialog& dialog, DialogMessage message, int id);

  private:
    void InitDialog(TemplateDialog& dialog);
    void Accept(TemplateDialog& dialog);

    SettingsStore& store_;
    ConnectionTarget& target_;
    std::unique_ptr<TemplateDialog> dialog_;
};

// Runs the Connect dialog for the command line when no host was given.
int RunConnectDialog(QWidget* owner, SettingsStore& store, ConnectionTarget& target);

}  // namespace quill
