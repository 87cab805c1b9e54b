#include "ui/net/tcp_transport.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QtEndian>
#include <QtGlobal>
#include <utility>

#include "core/startup/ip_address.h"
#include "ui/net/event_wait.h"
#include "ui/net/socket_platform.h"

namespace quill {

namespace {

// Qt reads at most this much ahead of the session, so a fast sender is held
// back by TCP instead of filling memory.
constexpr qint64 kReadAhead = 64 * 1024;

}  // namespace

TcpTransport::TcpTransport(TransportHooks hooks, HostResolver resolver)
    : hooks_(std::move(hooks)), resolver_(std::move(resolver)) {}

TcpTransport::~TcpTransport() {
    CloseConnection();
}

bool TcpTransport::InitTransport() {
    // There is no library to start; what can fail is a system without TCP.
    return platform::CanMakeTcpSockets();
}

QString TcpTransport::Description() const {
    return QStringLiteral("Qt %1 QTcpSocket, TCP over IPv4 and IPv6")
        .arg(QString::fromLatin1(qVersion()));
}

bool TcpTransport::OpenConnection(const std::string& host, int port) {
    return ConnectToHost(host, static_cast<std::uint16_t>(port & 0xFFFF));
}

bool TcpTransport::ConnectToHost(const std::string& host, std::uint16_t port) {
    const std::optional<QHostAddress> address = AddressOf(host);
    if (!address) return false;
    hooks_.writeLine("Trying " + address->toString().toStdString() + "\r\n");

    QTcpSocket* socket = NewSocket();
    socket->setParent(this);
    if (!WaitForConnect(*socket, *address, port)) {
        delete socket;
        return false;
    }
    connecting_ = true;  // closing the window cancels what Secure waits for too
    const bool secured = Secure(*socket, host, port);
    connecting_ = false;
    if (!secured || connectCancelled_) {
        delete socket;
        return false;
    }
    socket_ = socket;
    // Every key is its own send: Nagle's delay would be felt at once.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Urgent data stays in the stream. Qt's socket engine asks for this when
    // it makes a TCP socket; the transport relies on it, so it says so too.
    platform::KeepUrgentDataInline(socket_->socketDescriptor());
    socket_->setReadBufferSize(kReadAhead);
    connect(socket_, &QTcpSocket::readyRead, this, [this] { hooks_.readable(); });
    connect(socket_, &QTcpSocket::bytesWritten, this, &TcpTransport::QueueShrank);
    connect(socket_, &QTcpSocket::disconnected, this, &TcpTransport::PeerClosed);
    // A failed write ends the connection; reading must not stay paused for it.
    connect(socket_, &QTcpSocket::errorOccurred, this, &TcpTransport::ResumeReading);
    if (socket_->bytesAvailable() > 0) hooks_.waiting();
    return true;
}

QTcpSocket* TcpTransport::NewSocket() {
    return new QTcpSocket;
}

bool TcpTransport::Secure(QTcpSocket& /*socket*/, const std::string& /*host*/, int /*port*/) {
    return true;
}

QString TcpTransport::Information() const {
    if (socket_ == nullptr) return QStringLiteral("Not connected.");
    return QStringLiteral("Connected to %1, port %2, in clear text: nothing is encrypted.")
        .arg(socket_->peerAddress().toString())
        .arg(socket_->peerPort());
}

// A dotted IPv4 address or an IPv6 address is taken as it is; anything else
// is a name to look up.
std::optional<QHostAddress> TcpTransport::AddressOf(const std::string& host) {
    if (const std::optional<std::uint32_t> dotted = platform::ParseDottedAddress(host)) {
        return QHostAddress(qFromBigEndian(*dotted));
    }
    if (IsIpv6Address(host)) return QHostAddress(QString::fromStdString(host));
    return ResolveHost(host);
}

// The thread stays in the connect until the attempt ends, as with a blocking
// connect (the system's own timeout applies), but in slices (WaitInSlices).
bool TcpTransport::WaitForConnect(QTcpSocket& socket, const QHostAddress& address,
                                  std::uint16_t port) {
    connecting_ = true;
    connectCancelled_ = false;
    socket.setProxy(QNetworkProxy::NoProxy);
    socket.connectToHost(address, port);
    WaitInSlices([this, &socket] {
        return !connectCancelled_ && socket.state() == QAbstractSocket::ConnectingState;
    });
    connecting_ = false;
    return !connectCancelled_ && socket.state() == QAbstractSocket::ConnectedState;
}

QList<QHostAddress> SystemResolver(const QString& name) {
    const QHostInfo info = QHostInfo::fromName(name);
    if (info.error() != QHostInfo::NoError) return {};
    return info.addresses();
}

namespace {

std::optional<QHostAddress> FirstOf(const QList<QHostAddress>& addresses,
                                    QAbstractSocket::NetworkLayerProtocol protocol) {
    for (const QHostAddress& a : addresses) {
        if (a.protocol() == protocol) return a;
    }
    return std::nullopt;
}

}  // namespace

// The name's first IPv4 address, or its first IPv6 address when it has no
// IPv4 one. A name with neither, or a failed lookup, is reported as an unknown
// host.
std::optional<QHostAddress> TcpTransport::ResolveHost(const std::string& host) {
    const QList<QHostAddress> addresses = resolver_(QString::fromStdString(host));
    if (const std::optional<QHostAddress> ipv4 =
            FirstOf(addresses, QAbstractSocket::IPv4Protocol)) {
        // The all-ones address stands for a failed lookup, as it always has.
        if (*ipv4 == QHostAddress(QHostAddress::Broadcast)) return std::nullopt;
        return ipv4;
    }
    if (const std::optional<QHostAddress> ipv6 =
            FirstOf(addresses, QAbstractSocket::IPv6Protocol)) {
        return ipv6;
    }
    hooks_.socketError(QStringLiteral("gethostbyname: Unknown hostname"));
    return std::nullopt;
}

std::span<std::uint8_t> TcpTransport::ReceiveBytes(std::span<std::uint8_t> buffer) {
    if (socket_ == nullptr || buffer.empty() || readingPaused_) return {};
    const qint64 n =
        socket_->read(reinterpret_cast<char*>(buffer.data()), static_cast<qint64>(buffer.size()));
    return buffer.first(n > 0 ? static_cast<std::size_t>(n) : 0);
}

void TcpTransport::SendBytes(const std::uint8_t* bytes, std::size_t length) {
    if (socket_ == nullptr || length == 0) return;
    if (socket_->state() != QAbstractSocket::ConnectedState) return;
    // QTcpSocket queues what the kernel does not take now and sends it, in
    // order, as the socket becomes writable: nothing typed or pasted is lost.
    socket_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(length));
    if (!flushHeld_) socket_->flush();
    if (socket_->bytesToWrite() > kQueueCap) readingPaused_ = true;
}

void TcpTransport::SendUrgent(const std::uint8_t* bytes, std::size_t length) {
    SendPastQueue(bytes, length, platform::SendUrgent);
}

void TcpTransport::SendSecret(const std::uint8_t* bytes, std::size_t length) {
    SendPastQueue(bytes, length, platform::SendAtOnce);
}

// Once what waits has gone to the system, `send` hands it the bytes itself;
// what it did not take (or all, while some still waits) follows in the stream.
void TcpTransport::SendPastQueue(const std::uint8_t* bytes, std::size_t length, SystemSend send) {
    if (socket_ == nullptr || socket_->state() != QAbstractSocket::ConnectedState) return;
    socket_->flush();
    std::size_t sent = 0;
    if (socket_->bytesToWrite() == 0) sent = send(socket_->socketDescriptor(), bytes, length);
    SendBytes(bytes + sent, length - sent);
}

void TcpTransport::ReleaseFlush() {
    flushHeld_ = false;
    if (socket_ != nullptr) socket_->flush();
}

void TcpTransport::QueueShrank() {
    if (socket_ == nullptr || socket_->bytesToWrite() >= kResumeBelow) return;
    ResumeReading();
    if (hooks_.writable) hooks_.writable();
}

// What arrived while reading was paused is offered again.
void TcpTransport::ResumeReading() {
    if (!readingPaused_) return;
    readingPaused_ = false;
    if (Pending() > 0) hooks_.waiting();
}

void TcpTransport::CloseConnection() {
    // A connect still waiting is cancelled, like a blocking call in progress.
    if (connecting_) connectCancelled_ = true;
    if (socket_ == nullptr) return;
    socket_->disconnect(this);
    SendQueuedBytes();
    socket_->abort();
    socket_->deleteLater();  // may be inside one of its own signals
    socket_ = nullptr;
}

// Bytes the system has not taken yet wait in the socket's write buffer, which
// abort() throws away: a graceful close sends them first, for a bounded time.
void TcpTransport::SendQueuedBytes() {
    if (socket_->bytesToWrite() == 0) return;
    if (socket_->state() != QAbstractSocket::ConnectedState) return;
    socket_->disconnectFromHost();
    if (socket_->state() != QAbstractSocket::UnconnectedState) {
        socket_->waitForDisconnected(static_cast<int>(hooks_.closeWait.count()));
    }
}

qint64 TcpTransport::Pending() const {
    return socket_ != nullptr ? socket_->bytesAvailable() : 0;
}

qint64 TcpTransport::Queued() const {
    return socket_ != nullptr ? socket_->bytesToWrite() : 0;
}

// A server that closes while reading is paused still has what it sent shown,
// then the close: nothing it sent can be answered any more.
void TcpTransport::PeerClosed() {
    readingPaused_ = false;
    hooks_.closed();
}

}  // namespace quill
