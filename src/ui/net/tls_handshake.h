#pragma once

#include <QList>
#include <QMetaObject>
#include <QSslError>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"
#include "ui/net/tls_certificate.h"

class QSslSocket;

namespace quill {

// How long a handshake may take, as long as the system gives a TCP connect
// attempt (Linux: about two minutes). The user's time in a certificate
// question does not count.
inline constexpr std::chrono::milliseconds kHandshakeTime{127000};

// What the handshake needs from the program around it.
struct TlsHooks {
    // Where trusted certificates are remembered.
    SettingsStore* store = nullptr;
    // The "Untrusted Certificate" and "Certificate Changed" questions.
    CertificateQuestionFunction ask;
    // The "TLS Error" box with the reason.
    std::function<void(const QString& reason)> tlsError;
    std::chrono::milliseconds time = kHandshakeTime;
};

// What "Connection Information" shows of an encrypted connection.
struct TlsSession {
    QString protocol;
    QString cipher;
    CertificateFacts certificate;
    // Verified by one of the system's authorities, or trusted by the user.
    bool verifiedByAuthority = false;
};

enum class TlsOutcome {
    kEncrypted,
    kFailed,     // the "TLS Error" box has said why
    kCancelled,  // the user refused the certificate, or closed the window
};

// The client side of implicit TLS on a socket whose TCP connection is made:
// TLS 1.2 or later, the certificate checked against the system's authorities
// (and those of the file SSL_CERT_FILE names, when set) for the host name, or
// else judged against the certificates the user trusted, asking when needed.
// Until it is over nothing of the Telnet session is read or sent.
class TlsHandshake {
  public:
    explicit TlsHandshake(const TlsHooks& hooks) : hooks_(hooks) {}

    // Runs the handshake for host (the name the user gave, which the
    // certificate must carry) and port; `cancelled` ends it at once when it
    // turns true (the window was closed).
    TlsOutcome Run(QSslSocket& socket, const std::string& host, int port, const bool& cancelled);
    const TlsSession& Session() const { return session_; }

  private:
    enum class Step { kWaiting, kErrors, kEncrypted, kFailed };

    void Configure(QSslSocket& socket, const std::string& host);
    Step WaitForStep(QSslSocket& socket, const bool& cancelled);
    std::optional<TlsOutcome> Judge(QSslSocket& socket, const std::string& host, int port);
    TlsOutcome Fail(QSslSocket& socket, const QString& reason);

    const TlsHooks& hooks_;
    Step step_ = Step::kWaiting;
    QList<QSslError> errors_;
    TlsSession session_;
    std::vector<QMetaObject::Connection> connections_;
};

// The text of "Connection Information" for an encrypted connection.
QString DescribeTlsSession(const QString& address, int port, const TlsSession& session);

}  // namespace quill
