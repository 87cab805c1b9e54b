#include "ui/dialogs/host_list_dialog.h"

#include <QApplication>
#include <QCursor>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

#include "core/settings/host_history.h"
#include "ui/resources/dialog_font.h"

namespace quill {
namespace {

// Where the mouse pointer goes, from the dialog's top left corner.
constexpr QPoint kPointerOffset(10, 10);

}  // namespace

// Holds the mouse for the dialog the way the window system's capture does for
// one program: mouse input meant for the dialog's controls goes to the dialog
// window itself, which does nothing with it. Other programs keep their mouse,
// unlike with a pointer grab of the whole display. A click does not even move
// the keyboard focus (Qt moves it before any filter sees the click, so the
// controls stop taking focus from clicks while the capture holds).
class MouseCapture : public QObject {
  public:
    explicit MouseCapture(QWidget* window) : window_(window) {
        for (QWidget* control : window_->findChildren<QWidget*>()) {
            const Qt::FocusPolicy policy = control->focusPolicy();
            if ((policy & Qt::ClickFocus) == 0) continue;
            policies_.emplace_back(control, policy);
            control->setFocusPolicy(static_cast<Qt::FocusPolicy>(policy & ~Qt::ClickFocus));
        }
        qApp->installEventFilter(this);
    }
    ~MouseCapture() override {
        for (const auto& [control, policy] : policies_) {
            if (control) control->setFocusPolicy(policy);
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel: {
                auto* widget = qobject_cast<QWidget*>(watched);
                return widget && widget != window_ && window_->isAncestorOf(widget);
            }
            default:
                return false;
        }
    }

  private:
    QWidget* window_;
    std::vector<std::pair<QPointer<QWidget>, Qt::FocusPolicy>> policies_;
};

HostListDialog::HostListDialog(QWidget* owner, SettingsStore& store) : store_(store) {
    dialog_ = std::make_unique<TemplateDialog>(ListHostsTemplate(), owner,
                                               HandlersOf<ListHostsControl>(*this));
    dialog_->Initialise();
}

HostListDialog::~HostListDialog() = default;

bool HostListDialog::Run() {
    return dialog_->RunModal() != 0;
}

void HostListDialog::OnCommand(TemplateDialog& dialog, ListHostsControl id) {
    switch (id) {
        case ListHostsControl::kOk:
            TakeSelection(dialog);
            dialog.EndDialog(1);
            capture_.reset();
            return;
        case ListHostsControl::kCancel:
            dialog.EndDialog(0);
            capture_.reset();
            return;
        default:
            // Includes the list's own notifications: a double click chooses nothing.
            return;
    }
}

void HostListDialog::OnInitDialog(TemplateDialog& dialog) {
    auto* list = dialog.ControlAs<QListWidget>(ListHostsControl::kHostList);
    list->setFont(HostControlFont());
    const HostList history = FillHostList(store_);
    list->clear();
    for (const std::string& host : history.hosts) list->addItem(QString::fromStdString(host));
    dialog.SetItemText(ListHostsControl::kHostList, history.editText);
    list->setFocus();
    capture_ = std::make_unique<MouseCapture>(&dialog);
    // The pointer is moved once the dialog is on the screen and its frame is known.
    QTimer::singleShot(0, &dialog, [&dialog] {
        QCursor::setPos(dialog.frameGeometry().topLeft() + kPointerOffset);
    });
}

void HostListDialog::TakeSelection(TemplateDialog& dialog) {
    const QList<QListWidgetItem*> selected =
        dialog.ControlAs<QListWidget>(ListHostsControl::kHostList)->selectedItems();
    selection_ = selected.isEmpty() ? std::string() : selected.first()->text().toStdString();
}

bool ChooseListedHost(QWidget* owner, SettingsStore& store, std::string& host) {
    HostListDialog dialog(owner, store);
    if (!dialog.Run()) return false;
    host = dialog.Selection();
    return true;
}

}  // namespace quill
