#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

namespace quill::test {

// Runs the event loop until done() holds or timeoutMs has passed; true when done.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// A Telnet host played by the test on a loopback address (127.0.0.1 unless
// told otherwise): it accepts one client, records every byte the client sends
// and sends what the test tells it to. It runs on the test's own event loop,
// like the client.
class ScriptedServer {
  public:
    explicit ScriptedServer(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost));
    ~ScriptedServer();

    // False when the address cannot be listened on (::1 without IPv6).
    bool Listening() const { return server_.isListening(); }
    quint16 Port() const { return server_.serverPort(); }
    bool WaitForClient(int timeoutMs = 5000);
    void Send(const QByteArray& bytes);
    // Sends bytes as TCP urgent data: the last one is the urgent byte.
    void SendUrgent(const QByteArray& bytes);
    // Stops reading (the client's sends back up in TCP) or reads again.
    void PauseReading(bool paused);
    // Closes the client's connection from the host's side.
    void Close();
    // Ends what the host sends (the client reads its end of stream) and keeps
    // the connection open for reading: an orderly close even while bytes the
    // client sent wait unread.
    void EndSending();

    // From now on the client's urgent byte (TCP urgent data) is kept out of
    // the stream, as Qt's sockets do not: bytes sent as urgent data are
    // missing from what the host receives.
    void TakeUrgentDataOutOfBand();

    const QByteArray& Received() const { return received_; }
    void ClearReceived() { received_.clear(); }
    // Waits until the client has sent at least `count` bytes since the last clear.
    bool WaitForBytes(qsizetype count, int timeoutMs = 5000);
    bool ClientGone() const;

  private:
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QByteArray received_;
};

}  // namespace quill::test
