#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/interfaces/send_path.h"

namespace quill {

// How long a close waits, by default, for queued bytes (a paste, then Exit)
// to go out to a host that takes nothing.
inline constexpr std::chrono::milliseconds kCloseWait{2000};

// What the transport needs from the program around it.
struct TransportHooks {
    // Writes a local line ("Trying ...") into the terminal and shows it at once.
    std::function<void(const std::string& text)> writeLine;
    // A "Socket Error" warning box with the given text.
    std::function<void(const QString& text)> socketError;
    // Data is waiting to be read.
    std::function<void()> readable;
    // The server closed the connection; every byte it sent before has been read.
    std::function<void()> closed;
    // The outbound queue has drained below half its cap.
    std::function<void()> writable;
    std::chrono::milliseconds closeWait = kCloseWait;
    // The reader holds received data it has not taken yet (compressed data
    // still to inflate): it is offered again as data waiting on the socket is.
    std::function<bool()> readerHolds = {};
};

// Looks a host name up: its addresses in the order the system gives them,
// none when the lookup fails.
using HostResolver = std::function<QList<QHostAddress>(const QString& name)>;

// The system's resolver, through QHostInfo.
QList<QHostAddress> SystemResolver(const QString& name);

// The program's one TCP connection on QTcpSocket. The connect blocks (the
// window still paints meanwhile, but takes no input); after it, data-ready
// and closed events reach the main window through the hooks, on the main
// thread, in the order they happened: the close only after every byte that
// came before it has been read.
//
// What the program sends is never dropped, but a server that does not read
// what it asks for (an ESC Z flood) must not make the queue grow without
// bound: while more than kQueueCap bytes wait to go out, the transport stops
// reading, so that TCP holds the server back, as a real line would. Reading
// resumes when the queue has drained below half the cap.
class TcpTransport final : public QObject, public SendPath {
    Q_OBJECT
  public:
    static constexpr qint64 kQueueCap = 1024 * 1024;
    static constexpr qint64 kResumeBelow = kQueueCap / 2;

    explicit TcpTransport(TransportHooks hooks, HostResolver resolver = SystemResolver);
    ~TcpTransport() override;

    // 1 when this system can make TCP sockets, 0 otherwise.
    int InitTransport();
    void ShutdownTransport() {}
    // The description shown in the start-up banner.
    static QString SocketLibraryDescription();

    // Resolves and connects, over IPv4 or IPv6; 1 when connected, 0 on failure.
    int OpenConnection(const std::string& host, int port);
    int ReceiveBytes(std::uint8_t* buffer, int capacity);
    void SendBytes(const std::uint8_t* bytes, std::size_t length) override;
    // The same with the last byte as TCP urgent data, once what waits
    // before it has gone to the system; while some still waits, inline.
    void SendUrgent(const std::uint8_t* bytes, std::size_t length);
    void CloseConnection();

    // Bytes received and not yet read.
    qint64 Pending() const;
    // Bytes waiting to go out.
    qint64 Queued() const;
    bool ReadingPaused() const { return readingPaused_; }

    // Sends between the two go out in one write when the hold ends, not one
    // write each: the replies of a read slice, or a paste slice of many
    // characters, are one send.
    void HoldFlush() { flushHeld_ = true; }
    void ReleaseFlush();

  private:
    bool ConnectToHost(const std::string& host, std::uint16_t port);
    std::optional<QHostAddress> AddressOf(const std::string& host);
    std::optional<QHostAddress> ResolveHost(const std::string& host);
    bool WaitForConnect(QTcpSocket& socket, const QHostAddress& address, std::uint16_t port);
    void SendQueuedBytes();
    void QueueShrank();
    void ResumeReading();
    bool Unread() const;
    void ReadyRead();
    void DataArrived();
    void PeerClosed();
    void DeliverRead();
    void DeliverClose();

    TransportHooks hooks_;
    HostResolver resolver_;
    QTcpSocket* socket_ = nullptr;
    bool readPosted_ = false;
    bool readingPaused_ = false;
    bool flushHeld_ = false;
    bool closePending_ = false;
    bool closeDelivered_ = false;
    bool connecting_ = false;
    bool connectCancelled_ = false;
};

}  // namespace quill
