#include "ui/net/tcp_transport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QMetaObject>
#include <QtGlobal>
#include <cerrno>
#include <cstdio>
#include <utility>

namespace quill {

namespace {

// Resolver failures that mean "this name has no address".
constexpr int kHostNotFound = 11001;
constexpr int kTryAgain = 11002;
constexpr int kNoData = 11004;
// Qt reads at most this much ahead of the window, so a fast sender is held
// back by TCP instead of filling memory.
constexpr qint64 kReadAhead = 64 * 1024;
// How long a close waits for queued bytes (a paste, then Exit) to go out.
constexpr int kCloseFlushMs = 2000;
// How often a waiting connect lets the window paint.
constexpr int kConnectSliceMs = 20;

}  // namespace

TcpTransport::TcpTransport(TransportHooks hooks) : hooks_(std::move(hooks)) {}

TcpTransport::~TcpTransport() {
    CloseConnection();
}

int TcpTransport::InitTransport() {
    // There is no library to start; what can fail is a system without TCP.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    if (probe < 0) return 0;
    ::close(probe);
    return 1;
}

QString TcpTransport::SocketLibraryDescription() {
    return QStringLiteral("Qt %1 QTcpSocket, TCP over IPv4").arg(QString::fromLatin1(qVersion()));
}

int TcpTransport::OpenConnection(const std::string& host, int port) {
    // Only the low 16 bits of the port count.
    return ConnectToHost(host, static_cast<std::uint16_t>(port & 0xFFFF)) ? 1 : 0;
}

int TcpTransport::ConnectToHost(const std::string& host, std::uint16_t port) {
    std::uint32_t address = ::inet_addr(host.c_str());  // network byte order
    if (address == INADDR_NONE) {
        if (!ResolveHost(host, address)) return 0;
        if (address == INADDR_NONE) return 0;
    }
    in_addr shown{};
    shown.s_addr = address;
    char line[100];
    std::snprintf(line, sizeof line, "Trying %s\r\n", ::inet_ntoa(shown));
    hooks_.writeLine(line);

    const int descriptor = ConnectSocket(address, port);
    if (descriptor < 0) return 0;
    socket_ = new QTcpSocket(this);
    if (!socket_->setSocketDescriptor(descriptor)) {
        ::close(descriptor);
        delete socket_;
        socket_ = nullptr;
        return 0;
    }
    // Every key is its own send: Nagle's delay would be felt at once.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Keep urgent data in the stream, so the IAC of a server's IAC DM stays
    // in front of its DM.
    int on = 1;
    ::setsockopt(static_cast<int>(socket_->socketDescriptor()), SOL_SOCKET, SO_OOBINLINE, &on,
                 sizeof on);
    socket_->setReadBufferSize(kReadAhead);
    connect(socket_, &QTcpSocket::readyRead, this, &TcpTransport::DataArrived);
    connect(socket_, &QTcpSocket::disconnected, this, &TcpTransport::PeerClosed);
    if (socket_->bytesAvailable() > 0) DataArrived();
    return 1;
}

// The thread stays in the connect until the attempt ends, as with a blocking
// connect (the system's own timeout applies), but waits in slices: in between,
// the window keeps painting and its close box works, while keys and clicks
// wait until the connect is over. The connected socket, or -1.
int TcpTransport::ConnectSocket(std::uint32_t address, std::uint16_t port) {
    const int descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0) return -1;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = address;
    const bool started =
        ::connect(descriptor, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0 ||
        errno == EINPROGRESS;
    if (started && WaitForConnect(descriptor)) return descriptor;
    ::close(descriptor);
    return -1;
}

bool TcpTransport::WaitForConnect(int descriptor) {
    connecting_ = true;
    connectCancelled_ = false;
    pollfd writable{descriptor, POLLOUT, 0};
    int ready = 0;
    while (!connectCancelled_ && ((ready = ::poll(&writable, 1, kConnectSliceMs)) == 0 ||
                                  (ready < 0 && errno == EINTR))) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    connecting_ = false;
    if (connectCancelled_ || ready < 0) return false;
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

bool TcpTransport::ResolveHost(const std::string& host, std::uint32_t& address) {
    const QHostInfo info = QHostInfo::fromName(QString::fromStdString(host));
    if (info.error() != QHostInfo::NoError) {
        ReportSocketError("gethostbyname",
                          info.error() == QHostInfo::HostNotFound ? kHostNotFound : kTryAgain);
        return false;
    }
    for (const QHostAddress& a : info.addresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol) {
            address = htonl(a.toIPv4Address());
            return true;
        }
    }
    ReportSocketError("gethostbyname", kNoData);  // a name with IPv6 addresses only
    return false;
}

void TcpTransport::ReportSocketError(const char* name, int code) {
    char text[100];
    if (code >= kHostNotFound && code <= kNoData) {
        std::snprintf(text, sizeof text, "%s: Unknown hostname", name);
    } else {
        std::snprintf(text, sizeof text, "%s(): [%d]", name, code);
    }
    hooks_.socketError(QString::fromLatin1(text));
}

int TcpTransport::ReceiveBytes(std::uint8_t* buffer, int capacity) {
    if (socket_ == nullptr || capacity <= 0) return 0;
    const qint64 n = socket_->read(reinterpret_cast<char*>(buffer), capacity);
    return n > 0 ? static_cast<int>(n) : 0;
}

void TcpTransport::SendBytes(const std::uint8_t* bytes, std::size_t length) {
    if (socket_ == nullptr || length == 0) return;
    if (socket_->state() != QAbstractSocket::ConnectedState) return;
    // QTcpSocket queues what the kernel does not take now and sends it, in
    // order, as the socket becomes writable: nothing typed or pasted is lost.
    socket_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(length));
    socket_->flush();
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
        socket_->waitForDisconnected(kCloseFlushMs);
    }
}

qint64 TcpTransport::Pending() const {
    return socket_ != nullptr ? socket_->bytesAvailable() : 0;
}

void TcpTransport::DataArrived() {
    if (readPosted_) return;
    readPosted_ = true;
    QMetaObject::invokeMethod(this, &TcpTransport::DeliverRead, Qt::QueuedConnection);
}

void TcpTransport::PeerClosed() {
    closePending_ = true;
    if (Pending() > 0) {
        DataArrived();
    } else if (!readPosted_) {
        QMetaObject::invokeMethod(this, &TcpTransport::DeliverClose, Qt::QueuedConnection);
    }
}

// The window may stop reading after a frame's worth of data to stay
// responsive; what it left is offered again in a new event, and the close
// follows only when nothing is left.
void TcpTransport::DeliverRead() {
    readPosted_ = false;
    if (socket_ == nullptr) return;
    hooks_.readable();
    if (Pending() > 0) {
        DataArrived();
    } else if (closePending_) {
        DeliverClose();
    }
}

void TcpTransport::DeliverClose() {
    if (closeDelivered_ || socket_ == nullptr) return;
    closeDelivered_ = true;
    hooks_.closed();
}

}  // namespace quill
