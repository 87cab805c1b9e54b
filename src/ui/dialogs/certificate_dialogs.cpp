#include "ui/dialogs/certificate_dialogs.h"

#include <QPushButton>

#include "ui/resources/dialog_flags.h"

namespace quill {
namespace {

constexpr const char* kAnswerProperty = "quillAnswer";
// The fingerprints are shown in two lines of this many characters (16 bytes).
constexpr int kFingerprintLine = 48;

QString Facts(const CertificateFacts& facts) {
    return QStringLiteral(
               "Subject: %1\nIssuer: %2\nValid from: %3\nValid until: %4\n"
               "SHA-256 fingerprint:\n%5")
        .arg(facts.subject, facts.issuer, facts.validFrom, facts.validUntil, facts.fingerprint);
}

void AddAnswer(QMessageBox& box, const QString& text, QMessageBox::ButtonRole role,
               TrustAnswer answer) {
    QPushButton* button = box.addButton(text, role);
    button->setProperty(kAnswerProperty, static_cast<int>(answer));
}

// Plain text throughout: a name in a certificate is shown as it is, never
// read as markup.
void FillUntrusted(QMessageBox& box, const CertificateQuestion& question) {
    box.setWindowTitle(QStringLiteral("Untrusted Certificate"));
    box.setIcon(QMessageBox::Warning);
    box.setTextFormat(Qt::PlainText);
    QString text = QStringLiteral("The certificate of %1, port %2, cannot be verified:\n")
                       .arg(question.host)
                       .arg(question.port);
    for (const QString& error : question.errors) text += QStringLiteral("  - %1\n").arg(error);
    box.setText(text);
    box.setInformativeText(Facts(question.presented));
    AddAnswer(box, QStringLiteral("&Trust"), QMessageBox::AcceptRole, TrustAnswer::kTrust);
    AddAnswer(box, QStringLiteral("Connect &Once"), QMessageBox::YesRole, TrustAnswer::kOnce);
}

QString Broken(const QString& fingerprint) {
    return fingerprint.left(kFingerprintLine - 1) + QLatin1Char('\n') +
           fingerprint.mid(kFingerprintLine);
}

// The two fingerprints side by side need a table; every text from the host
// is escaped.
void FillChanged(QMessageBox& box, const CertificateQuestion& question) {
    box.setWindowTitle(QStringLiteral("Certificate Changed"));
    box.setIcon(QMessageBox::Critical);
    box.setTextFormat(Qt::RichText);
    const auto cell = [](const QString& fingerprint) {
        return QStringLiteral("<td><pre>%1</pre></td>").arg(Broken(fingerprint).toHtmlEscaped());
    };
    box.setText(QStringLiteral("<p>%1, port %2, presents a different certificate from the one you "
                               "trusted for it. Someone may be intercepting the connection.</p>"
                               "<table cellspacing=\"6\"><tr><th>Remembered</th>"
                               "<th>Presented now</th></tr><tr>%3%4</tr></table>")
                    .arg(question.host.toHtmlEscaped())
                    .arg(question.port)
                    .arg(cell(question.remembered), cell(question.presented.fingerprint)));
    box.setInformativeText(Facts(question.presented)
                               .toHtmlEscaped()
                               .replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    AddAnswer(box, QStringLiteral("&Trust the New Certificate"), QMessageBox::AcceptRole,
              TrustAnswer::kTrust);
}

}  // namespace

std::unique_ptr<QMessageBox> MakeCertificateBox(QWidget* owner,
                                                const CertificateQuestion& question) {
    auto box = std::make_unique<QMessageBox>(owner);
    box->setWindowFlags(kDialogWindowFlags);
    if (question.kind == CertificateVerdict::kChanged) {
        FillChanged(*box, question);
    } else {
        FillUntrusted(*box, question);
    }
    QPushButton* cancel = box->addButton(QMessageBox::Cancel);
    cancel->setProperty(kAnswerProperty, static_cast<int>(TrustAnswer::kCancel));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    return box;
}

TrustAnswer AnswerOf(const QMessageBox& box) {
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr) return TrustAnswer::kCancel;
    return static_cast<TrustAnswer>(clicked->property(kAnswerProperty).toInt());
}

TrustAnswer AskAboutCertificate(QWidget* owner, const CertificateQuestion& question) {
    const std::unique_ptr<QMessageBox> box = MakeCertificateBox(owner, question);
    box->exec();
    return AnswerOf(*box);
}

}  // namespace quill
