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

namespace {

// Overwrites bytes in place, shared or not.
void Wipe(const void* data, qsizetype bytes) {
    volatile auto* p = static_cast<unsigned char*>(const_cast<void*>(data));
    for (qsizetype i = 0; i < bytes; ++i) p[i] = 0;
}

}  // namespace

// text() shares the field's own buffer: it is overwritten in place, and so
// is the UTF-8 made from it, before either is given back. setText, unlike
// clear, also drops the field's undo steps instead of adding the text to them.
std::string PasswordDialog::TakePassword() {
    const QString text = field_->text();
    QByteArray utf8 = text.toUtf8();
    std::string password(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    Wipe(utf8.constData(), utf8.size());
    Wipe(text.constData(), text.size() * qsizetype(sizeof(QChar)));
    field_->setText(QString());
    return password;
}

bool PasswordDialog::Remember() const {
    return remember_->isEnabled() && remember_->isChecked();
}

}  // namespace quill
