#include "ui/net/tls_certificate.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDateTime>
#include <span>

namespace quill {
namespace {

// "CN=host, O=Example" in the order the certificate names them.
QString DistinguishedName(const QSslCertificate& certificate, bool issuer) {
    const QList<QByteArray> attributes =
        issuer ? certificate.issuerInfoAttributes() : certificate.subjectInfoAttributes();
    QStringList parts;
    for (const QByteArray& attribute : attributes) {
        const QStringList values =
            issuer ? certificate.issuerInfo(attribute) : certificate.subjectInfo(attribute);
        for (const QString& value : values) {
            parts << QString::fromLatin1(attribute) + QLatin1Char('=') + value;
        }
    }
    return parts.join(QStringLiteral(", "));
}

QString UtcTime(const QDateTime& time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
}

}  // namespace

CertificateFacts DescribeCertificate(const QSslCertificate& certificate) {
    const QByteArray digest = certificate.digest(QCryptographicHash::Sha256);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(digest.data()),
                                              static_cast<std::size_t>(digest.size()));
    return {DistinguishedName(certificate, false), DistinguishedName(certificate, true),
            UtcTime(certificate.effectiveDate()), UtcTime(certificate.expiryDate()),
            QString::fromStdString(FormatFingerprint(bytes))};
}

QStringList DescribeErrors(const QList<QSslError>& errors) {
    QStringList words;
    for (const QSslError& error : errors) words << error.errorString();
    return words;
}

}  // namespace quill
