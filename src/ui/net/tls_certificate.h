#pragma once

#include <QSslCertificate>
#include <QSslError>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/settings/trusted_certificates.h"

namespace quill {

// What the user is shown of a certificate.
struct CertificateFacts {
    QString subject;
    QString issuer;
    QString validFrom;
    QString validUntil;
    // SHA-256, as openssl prints it.
    QString fingerprint;
};

CertificateFacts DescribeCertificate(const QSslCertificate& certificate);

// The question a certificate the system cannot vouch for raises: whether to
// trust it (kUntrusted) or to trust it instead of the one remembered for
// the host and port (kChanged).
struct CertificateQuestion {
    CertificateVerdict kind = CertificateVerdict::kUntrusted;
    QString host;
    int port = 0;
    // Each verification error, in words.
    QStringList errors;
    CertificateFacts presented;
    // The fingerprint remembered (kChanged only).
    QString remembered;
};

// Cancel first: anything unknown reads as it.
enum class TrustAnswer {
    kCancel,  // connect not at all
    kTrust,   // remember it for the host and port, then connect
    kOnce,    // connect without remembering it
};

// Asks the user; the dialogs in the program, a recorder in tests.
using CertificateQuestionFunction = std::function<TrustAnswer(const CertificateQuestion& question)>;

// The errors that made the system refuse the certificate, in words.
QStringList DescribeErrors(const QList<QSslError>& errors);

}  // namespace quill
