#include "ui/net/tls_handshake.h"

#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QSslCipher>
#include <QSslConfiguration>
#include <QSslSocket>

#include "ui/net/event_wait.h"

namespace quill {
namespace {

// Authorities a user (or a test) adds to the system's, as OpenSSL's own
// programs take them.
QList<QSslCertificate> AddedAuthorities() {
    const QString file = qEnvironmentVariable("SSL_CERT_FILE");
    if (file.isEmpty()) return {};
    return QSslCertificate::fromPath(file, QSsl::Pem);
}

QString ProtocolName(QSsl::SslProtocol protocol) {
    switch (protocol) {
        case QSsl::TlsV1_2:
            return QStringLiteral("TLS 1.2");
        case QSsl::TlsV1_3:
            return QStringLiteral("TLS 1.3");
        default:
            return QStringLiteral("TLS");
    }
}

}  // namespace

TlsOutcome TlsHandshake::Run(QSslSocket& socket, const std::string& host, int port,
                             const bool& cancelled) {
    Configure(socket, host);
    socket.startClientEncryption();
    // The socket outlives the handshake: its signals stop reaching it here.
    const auto unhook = qScopeGuard([this] {
        for (const QMetaObject::Connection& c : connections_) QObject::disconnect(c);
        connections_.clear();
    });
    while (true) {
        switch (WaitForStep(socket, cancelled)) {
            case Step::kEncrypted:
                session_.protocol = ProtocolName(socket.sessionProtocol());
                session_.cipher = socket.sessionCipher().name();
                session_.certificate = DescribeCertificate(socket.peerCertificate());
                return TlsOutcome::kEncrypted;
            case Step::kErrors:
                if (const std::optional<TlsOutcome> refused = Judge(socket, host, port)) {
                    return *refused;
                }
                break;
            case Step::kFailed:
                return Fail(socket, socket.errorString());
            case Step::kWaiting:
                if (cancelled) return TlsOutcome::kCancelled;
                return Fail(socket, QStringLiteral("The TLS handshake did not finish in time."));
        }
    }
}

// A handshake that fails the system's checks stops before it is finished,
// so that nothing is sent inside TLS until the user has answered.
void TlsHandshake::Configure(QSslSocket& socket, const std::string& host) {
    QSslConfiguration configuration = socket.sslConfiguration();
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (const QList<QSslCertificate> added = AddedAuthorities(); !added.isEmpty()) {
        configuration.setCaCertificates(QSslConfiguration::systemCaCertificates() + added);
    }
    socket.setSslConfiguration(configuration);
    socket.setPeerVerifyName(QString::fromStdString(host));
    socket.setPauseMode(QAbstractSocket::PauseOnSslErrors);
    session_.verifiedByAuthority = true;
    connections_.push_back(
        QObject::connect(&socket, &QSslSocket::encrypted, [this] { step_ = Step::kEncrypted; }));
    connections_.push_back(
        QObject::connect(&socket, &QSslSocket::sslErrors, [this](const QList<QSslError>& errors) {
            errors_ = errors;
            step_ = Step::kErrors;
        }));
    connections_.push_back(QObject::connect(&socket, &QAbstractSocket::errorOccurred,
                                            [this](QAbstractSocket::SocketError) {
                                                if (step_ == Step::kWaiting) step_ = Step::kFailed;
                                            }));
}

// The handshake's time starts again after each question.
TlsHandshake::Step TlsHandshake::WaitForStep(QSslSocket& socket, const bool& cancelled) {
    step_ = Step::kWaiting;
    const QDeadlineTimer deadline(hooks_.time);
    WaitInSlices([&] {
        return step_ == Step::kWaiting && !cancelled && !deadline.hasExpired() &&
               socket.state() != QAbstractSocket::UnconnectedState;
    });
    if (step_ == Step::kWaiting && !cancelled && !deadline.hasExpired()) return Step::kFailed;
    return step_;
}

// A certificate the system does not vouch for: the one the user trusted for
// this host and port goes on at once, any other is asked about. None: the
// handshake goes on.
std::optional<TlsOutcome> TlsHandshake::Judge(QSslSocket& socket, const std::string& host,
                                              int port) {
    session_.verifiedByAuthority = false;
    CertificateQuestion question;
    question.host = QString::fromStdString(host);
    question.port = port;
    question.errors = DescribeErrors(errors_);
    question.presented = DescribeCertificate(socket.peerCertificate());
    const std::optional<std::string> remembered = RememberedFingerprint(*hooks_.store, host, port);
    question.kind = JudgeCertificate(remembered, question.presented.fingerprint.toStdString());
    if (question.kind != CertificateVerdict::kRemembered) {
        question.remembered = QString::fromStdString(remembered.value_or(std::string()));
        const TrustAnswer answer = hooks_.ask(question);
        if (answer == TrustAnswer::kCancel) {
            socket.abort();
            return TlsOutcome::kCancelled;
        }
        if (answer == TrustAnswer::kTrust) {
            RememberFingerprint(*hooks_.store, host, port,
                                question.presented.fingerprint.toStdString());
        }
    }
    socket.ignoreSslErrors();
    socket.resume();
    return std::nullopt;
}

TlsOutcome TlsHandshake::Fail(QSslSocket& socket, const QString& reason) {
    socket.abort();
    hooks_.tlsError(reason);
    return TlsOutcome::kFailed;
}

QString DescribeTlsSession(const QString& address, int port, const TlsSession& session) {
    const CertificateFacts& c = session.certificate;
    return QStringLiteral(
               "Connected to %1, port %2, over %3.\nCipher: %4\n\nSubject: %5\n"
               "Issuer: %6\nValid from: %7\nValid until: %8\n"
               "SHA-256 fingerprint:\n%9\n\n")
               .arg(address)
               .arg(port)
               .arg(session.protocol, session.cipher, c.subject, c.issuer, c.validFrom,
                    c.validUntil, c.fingerprint) +
           (session.verifiedByAuthority
                ? QStringLiteral("The certificate was verified by a trusted authority.")
                : QStringLiteral("The certificate was trusted by you, not by an authority."));
}

}  // namespace quill
