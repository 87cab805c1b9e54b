#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "ui/net/transport.h"

namespace quill {

// Looks a host name up: its addresses in the order the system gives them,
// none when the lookup fails.
using HostResolver = std::function<QList<QHostAddress>(const QString& name)>;

// The system's resolver, through QHostInfo.
QList<QHostAddress> SystemResolver(const QString& name);

// The transport on QTcpSocket, over IPv4 and IPv6. The connect blocks, in
// slices that let the window paint. Qt reads at most a bounded amount ahead
// of the program, so a fast sender is held back by TCP instead of filling
// memory.
class TcpTransport : public QObject, public Transport {
    Q_OBJECT
  public:
    explicit TcpTransport(TransportHooks hooks, HostResolver resolver = SystemResolver);
    ~TcpTransport() override;

    bool InitTransport() override;
    QString Description() const override;
    // Only the low 16 bits of the port count.
    bool OpenConnection(const std::string& host, int port) override;
    bool Connected() const override { return socket_ != nullptr; }
    std::span<std::uint8_t> ReceiveBytes(std::span<std::uint8_t> buffer) override;
    void SendBytes(const std::uint8_t* bytes, std::size_t length) override;
    // Once what waits before it has gone to the system; while some still
    // waits, inline.
    void SendUrgent(const std::uint8_t* bytes, std::size_t length) override;
    // Straight to the system when nothing waits before it, so that the
    // socket's send buffer, which keeps what passed through it until later
    // sends overwrite it, never holds the bytes; only what the system does
    // not take at once goes through that buffer.
    void SendSecret(const std::uint8_t* bytes, std::size_t length) override;
    void CloseConnection() override;
    QString Information() const override;

    qint64 Pending() const override;
    qint64 Queued() const override;
    bool ReadingPaused() const override { return readingPaused_; }

    void HoldFlush() override { flushHeld_ = true; }
    void ReleaseFlush() override;

  protected:
    // The socket of a new connection: a plain one here.
    virtual QTcpSocket* NewSocket();
    // Runs on a connection just made, before anything is read or sent:
    // nothing here. False ends it; the user has been told why.
    virtual bool Secure(QTcpSocket& socket, const std::string& host, int port);
    // The window was closed while the connection was being made.
    const bool& ConnectCancelled() const { return connectCancelled_; }
    const QTcpSocket* Socket() const { return socket_; }
    void PeerClosed();

  private:
    bool ConnectToHost(const std::string& host, std::uint16_t port);
    std::optional<QHostAddress> AddressOf(const std::string& host);
    std::optional<QHostAddress> ResolveHost(const std::string& host);
    bool WaitForConnect(QTcpSocket& socket, const QHostAddress& address, std::uint16_t port);
    void SendQueuedBytes();
    using SystemSend = std::size_t (*)(qintptr, const std::uint8_t*, std::size_t);
    void SendPastQueue(const std::uint8_t* bytes, std::size_t length, SystemSend send);
    void QueueShrank();
    void ResumeReading();

    TransportHooks hooks_;
    HostResolver resolver_;
    QTcpSocket* socket_ = nullptr;
    bool readingPaused_ = false;
    bool flushHeld_ = false;
    bool connecting_ = false;
    bool connectCancelled_ = false;
};

}  // namespace quill
