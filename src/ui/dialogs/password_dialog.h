#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;

namespace quill {

// The "Password" dialog a script's `password` command opens when the keyring
// has none: NAME and the host, a masked field (with the focus), "Remember in
// the keyring", OK (Return) and Cancel (Escape). Without a keyring the box
// is disabled and the dialog says that nothing will be remembered. One line
// says whether the password travels encrypted (TLS) or in clear text.
class PasswordDialog final : public QDialog {
    Q_OBJECT
  public:
    PasswordDialog(QWidget* owner, const QString& name, const QString& host, bool keyringAvailable,
                   bool encrypted);
    ~PasswordDialog() override;

    // The password typed, as UTF-8; the field is emptied.
    std::string TakePassword();
    bool Remember() const;

  private:
    QLineEdit* field_;
    QCheckBox* remember_;
};

}  // namespace quill
