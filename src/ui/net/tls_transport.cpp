#include "ui/net/tls_transport.h"

#include <QSslSocket>
#include <utility>

namespace quill {

TlsTransport::TlsTransport(TransportHooks hooks, TlsHooks tls, HostResolver resolver)
    : TcpTransport(std::move(hooks), std::move(resolver)), tls_(std::move(tls)) {}

QTcpSocket* TlsTransport::NewSocket() {
    return new QSslSocket;
}

// A host that ends the session sends close_notify and then closes; Qt
// reports that as an error and may never say the socket was disconnected,
// so the error counts as the host closing.
bool TlsTransport::Secure(QTcpSocket& socket, const std::string& host, int port) {
    auto& ssl = static_cast<QSslSocket&>(socket);
    session_.reset();
    TlsHandshake handshake(tls_);
    const TlsOutcome outcome = handshake.Run(ssl, host, port, ConnectCancelled());
    failureTold_ = outcome != TlsOutcome::kEncrypted;
    if (outcome != TlsOutcome::kEncrypted) return false;
    session_ = handshake.Session();
    connect(&ssl, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) {
                if (error == QAbstractSocket::RemoteHostClosedError) PeerClosed();
            });
    return true;
}

QString TlsTransport::Information() const {
    const QTcpSocket* socket = Socket();
    if (socket == nullptr || !session_) return TcpTransport::Information();
    return DescribeTlsSession(socket->peerAddress().toString(), socket->peerPort(), *session_);
}

}  // namespace quill
