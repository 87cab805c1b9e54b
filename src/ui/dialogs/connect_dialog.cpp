#include "ui/dialogs/connect_dialog.h"

#include <QComboBox>

#include "core/settings/host_history.h"
#include "core/startup/command_line.h"
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
    dialog.SetItemText(ConnectControl::kPort, std::to_string(DefaultPortFor(target_.Tls)));
    const HostList history = FillHostList(store_);
    combo->clear();
    for (const std::string& host : history.hosts) combo->addItem(QString::fromStdString(host));
    dialog.SetItemText(ConnectControl::kHost, history.editText);
    combo->setFocus();
}

// A telnets:// or telnet:// link, or a history entry with its port, says
// where and how by itself; the port field then does not count. Otherwise an
// IPv6 address may be typed in brackets; the target and the history get it
// without them, and every rule on the host applies to it without them. The
// host goes to the front of the history as it stands now, in the form that
// connects the same way again: other instances may have saved hosts since
// this dialog listed it.
void ConnectDialog::Accept(TemplateDialog& dialog) {
    const std::string typed = dialog.ItemText(ConnectControl::kHost);
    if (const std::optional<ConnectionTarget> entry = ParseHostEntry(typed)) {
        target_ = *entry;
        SaveHostHistory(store_, HostEntryText(target_));
        return;
    }
    const std::string_view host = BracketedIpv6Address(typed).value_or(typed);
    target_.HostName = Cut(host, kHostFieldBytes);
    target_.PortNumber = ParseDecimal(Cut(dialog.ItemText(ConnectControl::kPort), kPortFieldBytes));
    SaveHostHistory(store_, HostEntryText({std::string(host), target_.PortNumber, target_.Tls, target_.Raw}));
}

bool RunConnectDialog(QWidget* owner, SettingsStore& store, ConnectionTarget& target) {
    ConnectDialog dialog(owner, store, target);
    return dialog.Run();
}

}  // namespace quill
