#include "settings/host_list_dialog.h"

#include <QCursor>
#include <QListWidget>
#include <QTimer>

#include "resources/command_ids.h"
#include "resources/dialog_font.h"
#include "settings/host_history.h"

namespace quill {
namespace {

constexpr int kHostControl = 200;
// Where the mouse pointer goes, from the dialog's top left corner.
constexpr QPoint kPointerOffset(10, 10);

void HoldMouse(TemplateDialog& dialog) {
    QCursor::setPos(dialog.frameGeometry().topLeft() + kPointerOffset);
    dialog.grabMouse();
}

}  // namespace

HostListDialog::HostListDialog(QWidget* owner, SettingsStore& store) : store_(store) {
    dialog_ = std::make_unique<TemplateDialog>(
        ListHostsTemplate(), owner, [this](TemplateDialog& dialog, DialogMessage message, int id) {
            return HostSelectDlgProc(dialog, message, id);
        });
    dialog_->Initialise();
}

HostListDialog::~HostListDialog() = default;

int HostListDialog::Run() {
    return dialog_->RunModal();
}

bool HostListDialog::HostSelectDlgProc(TemplateDialog& dialog, DialogMessage message, int id) {
    if (message == DialogMessage::InitDialog) {
        InitDialog(dialog);
        return false;
    }
    switch (id) {
        case cmd::kDialogOk:
            TakeSelection(dialog);
            dialog.EndDialog(1);
            dialog.releaseMouse();
            return true;
        case cmd::kDialogCancel:
            dialog.EndDialog(0);
            dialog.releaseMouse();
            return true;
        default:
            // Includes the list's own notifications: a double click chooses nothing.
            return true;
    }
}

void HostListDialog::InitDialog(TemplateDialog& dialog) {
    auto* list = dialog.ControlAs<QListWidget>(kHostControl);
    list->setFont(HostControlFont());
    const HostList history = FillHostList(store_);
    list->clear();
    for (const std::string& host : history.hosts) list->addItem(QString::fromStdString(host));
    dialog.SetItemText(kHostControl, history.editText);
    list->setFocus();
    // The pointer and the mouse are taken once the dialog is on the screen
    // and its frame is known.
    QTimer::singleShot(0, &dialog, [&dialog] { HoldMouse(dialog); });
}

void HostListDialog::TakeSelection(TemplateDialog& dialog) {
    const QList<QListWidgetItem*> selected =
        dialog.ControlAs<QListWidget>(kHostControl)->selectedItems();
    selection_ = selected.isEmpty() ? std::string() : selected.first()->text().toStdString();
}

int ChooseListedHost(QWidget* owner, SettingsStore& store, std::string& host) {
    HostListDialog dialog(owner, store);
    if (dialog.Run() == 0) return 0;
    host = dialog.Selection();
    return 1;
}

}  // namespace quill
