#pragma once

#include <QMessageBox>
#include <memory>

#include "ui/net/tls_certificate.h"

class QWidget;

namespace quill {

// The box a certificate question opens: "Untrusted Certificate" (the host and
// port, each verification error, the certificate's subject, issuer,
// validity and fingerprint; "&Trust", "Connect &Once", "Cancel") or
// "Certificate Changed" (the remembered and the new fingerprint side by side
// and a warning; "&Trust the New Certificate", "Cancel"). Cancel is the
// default and answers Escape and the close box too.
std::unique_ptr<QMessageBox> MakeCertificateBox(QWidget* owner,
                                                const CertificateQuestion& question);

// What the button that closed the box answers; Cancel when none did.
TrustAnswer AnswerOf(const QMessageBox& box);

// Shows the box until the user answers.
TrustAnswer AskAboutCertificate(QWidget* owner, const CertificateQuestion& question);

}  // namespace quill
