#include "ui/dialogs/connect_dialog.h"

#include <QComboBox>

#include "core/settings/host_history.h"
#include "core/startup/ip_address.h"
#include "ui/resources/dialog_font.h"

namespace quill {
namespace {

// The dialog reads the host into 80 bytes and the port into 20.
constexpr std::size_t kHostFieldBytes = 79;
constexpr std::size_t kPortFieldBytes = 19;

}  // namespace

ConnectDialog::ConnectDialog(QWidget* owner, SettingsStore& store, ConnectionTarget& target)
    : store_(store), target_(target) {
    dialog_ = std::make_unique<TemplateDialog>(ConnectTemplate(), owner,
                                               HandlersOf<ConnectControl>(*this));
    dialog_->Initialise();
}

ConnectDialog::~ConnectDialog() = default;

bool ConnectDialog::Run() {
    return dialog_->RunModal() != 0;
}

void ConnectDialog::OnCommand(TemplateDialog& dialog, ConnectControl id) {
    switch (id) {
        case ConnectControl::kOk:
            Accept(dialog);
            dialog.EndDialog(1);
            return;
        case ConnectControl::kCancel:
            dialog.EndDialog(0);
            return;
        default:
            return;  // Escape and the close box leave the dialog open
    }
}

void ConnectDialog::OnInitDialog(TemplateDialog& dialog) {
    auto* combo = dialog.ControlAs<QComboBox>(ConnectControl::kHost);
    combo->setFont(HostControlFont());
    dialog.SetItemText(ConnectControl::kPort, "23");
    const HostList history = FillHostList(store_);
    combo->clear();
    for (const std::string& host : history.hosts) combo->addItem(QString::fromStdString(host));
    dialog.SetItemText(ConnectControl::kHost, history.editText);
    combo->setFocus();
}

// An IPv6 address may be typed in brackets; the target and the history get it
// without them, and every rule on the host applies to it without them. The
// host goes to the front of the history as it stands now: other instances
// may have saved hosts since this dialog listed it.
void ConnectDialog::Accept(TemplateDialog& dialog) {
    const std::string typed = dialog.ItemText(ConnectControl::kHost);
    const std::string_view host = BracketedIpv6Address(typed).value_or(typed);
    target_.HostName = Cut(host, kHostFieldBytes);
    target_.PortNumber = ParseDecimal(Cut(dialog.ItemText(ConnectControl::kPort), kPortFieldBytes));
    SaveHostHistory(store_, host);
}

bool RunConnectDialog(QWidget* owner, SettingsStore& store, ConnectionTarget& target) {
    ConnectDialog dialog(owner, store, target);
    return dialog.Run();
}

}  // namespace quill
