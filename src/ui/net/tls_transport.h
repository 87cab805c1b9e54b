#pragma once

#include <optional>

#include "ui/net/tcp_transport.h"
#include "ui/net/tls_handshake.h"

namespace quill {

// Telnet inside TLS from the first byte (implicit TLS, as on port 992): the
// TCP connection is made as the TCP transport makes it, then the handshake
// (TlsHandshake) runs before anything is read or sent; a failed or refused
// one ends the attempt, never falling back to clear text. Everything after
// it is the TCP transport's, on the decrypted stream.
class TlsTransport final : public TcpTransport {
    Q_OBJECT
  public:
    TlsTransport(TransportHooks hooks, TlsHooks tls, HostResolver resolver = SystemResolver);

    QString Information() const override;
    // Urgent data would bypass the TLS record layer: over TLS it goes inline.
    void SendUrgent(const std::uint8_t* bytes, std::size_t length) override {
        SendBytes(bytes, length);
    }
    // The record layer needs the text: over TLS a secret goes as all bytes do.
    void SendSecret(const std::uint8_t* bytes, std::size_t length) override {
        SendBytes(bytes, length);
    }
    // The last failed attempt was already told to the user in a box, or the
    // user refused the certificate: no further box.
    bool FailureTold() const { return failureTold_; }

  protected:
    QTcpSocket* NewSocket() override;
    bool Secure(QTcpSocket& socket, const std::string& host, int port) override;

  private:
    TlsHooks tls_;
    std::optional<TlsSession> session_;
    bool failureTold_ = false;
};

}  // namespace quill
