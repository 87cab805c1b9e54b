#include "ui/dialogs/connect_dialog.h"

#include <QComboBox>

#include "core/settings/host_history.h"
#include "ui/resources/command_ids.h"
#include "ui/resources/dialog_font.h"

namespace quill {
namespace {

constexpr int kHostControl = 200;
constexpr int kPortControl = 300;
// The dialog reads the host into 80 bytes and the port into 20.
constexpr std::size_t kHostFieldBytes = 79;
constexpr std::size_t kPortFieldBytes = 19;

std::vector<std::string> ListedHosts(const QComboBox& combo) {
    std::vector<std::string> hosts;
    for (int i = 0; i < combo.count(); ++i) hosts.push_back(combo.itemText(i).toStdString());
    return hosts;
}

}  // namespace

ConnectDialog::ConnectDialog(QWidget* owner, SettingsStore& store, ConnectionTarget& target)
    : store_(store), target_(target) {
    dialog_ = std::make_unique<TemplateDialog>(
        ConnectTemplate(), owner, [this](TemplateDialog& dialog, DialogMessage message, int id) {
            return ConnectDlgProc(dialog, message, id);
        });
    dialog_->Initialise();
}

ConnectDialog::~ConnectDialog() = default;

int ConnectDialog::Run() {
    return dialog_->RunModal();
}

bool ConnectDialog::ConnectDlgProc(TemplateDialog& dialog, DialogMessage message, int id) {
    if (message == DialogMessage::InitDialog) {
        InitDialog(dialog);
        return false;  // the focus is set already
    }
    switch (id) {
        case cmd::kDialogOk:
            Accept(dialog);
            dialog.EndDialog(1);
            return true;
        case cmd::kDialogCancel:
            dialog.EndDialog(0);
            return true;
        default:
            return true;
    }
}

void ConnectDialog::InitDialog(TemplateDialog& dialog) {
    auto* combo = dialog.ControlAs<QComboBox>(kHostControl);
    combo->setFont(HostControlFont());
    dialog.SetItemText(kPortControl, "23");
    const HostList history = FillHostList(store_);
    combo->clear();
    for (const std::string& host : history.hosts) combo->addItem(QString::fromStdString(host));
    dialog.SetItemText(kHostControl, history.editText);
    combo->setFocus();
}

void ConnectDialog::Accept(TemplateDialog& dialog) {
    const std::string typed = dialog.ItemText(kHostControl);
    target_.HostName = Cut(typed, kHostFieldBytes);
    target_.PortNumber = ParseDecimal(Cut(dialog.ItemText(kPortControl), kPortFieldBytes));
    SaveHostHistory(store_, typed, ListedHosts(*dialog.ControlAs<QComboBox>(kHostControl)));
}

int RunConnectDialog(QWidget* owner, SettingsStore& store, ConnectionTarget& target) {
    ConnectDialog dialog(owner, store, target);
    return dialog.Run();
}

}  // namespace quill
