#include "ui/dialogs/password_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/script/script_output.h"

namespace quill {

PasswordDialog::PasswordDialog(QWidget* owner, const QString& name, const QString& host,
                               bool keyringAvailable, bool encrypted)
    : QDialog(owner),
      field_(new QLineEdit(this)),
      remember_(new QCheckBox(QStringLiteral("Remember in the keyring"), this)) {
    setWindowTitle(QStringLiteral("Password"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    // Plain text: a name or host with markup in it shows as it is.
    auto* prompt = new QLabel(this);
    prompt->setTextFormat(Qt::PlainText);
    prompt->setText(
        QStringLiteral("The script asks for the password \"%1\" for %2:").arg(name, host));
    layout->addWidget(prompt);
    field_->setEchoMode(QLineEdit::Password);
    layout->addWidget(field_);
    layout->addWidget(new QLabel(
        encrypted ? QStringLiteral("The password will travel encrypted (TLS).")
                  : QStringLiteral("The password will travel in clear text, not encrypted."),
        this));
    layout->addWidget(remember_);
    if (!keyringAvailable) {
        remember_->setEnabled(false);
        layout->addWidget(new QLabel(
            QStringLiteral("No keyring is available: nothing will be remembered."), this));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    field_->setFocus();
}

// Whatever is left in the field goes with the dialog.
PasswordDialog::~PasswordDialog() {
    std::string rest = TakePassword();
    ClearSecret(rest);
}

std::string PasswordDialog::TakePassword() {
    std::string password = field_->text().toStdString();
    field_->clear();
    return password;
}

bool PasswordDialog::Remember() const {
    return remember_->isEnabled() && remember_->isChecked();
}

}  // namespace quill
