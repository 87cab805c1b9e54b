#pragma once

#include <QString>
#include <QtGlobal>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/interfaces/send_path.h"

namespace quill {

// How long a close waits, by default, for queued bytes (a paste, then Exit)
// to go out to a host that takes nothing.
inline constexpr std::chrono::milliseconds kCloseWait{2000};

// What a transport needs from the program around it. The last four report
// what happened on the connection as it happens; when to read is the
// session's business, not the transport's.
struct TransportHooks {
    // Writes a local line ("Trying ...") into the terminal and shows it at once.
    std::function<void(const std::string& text)> writeLine;
    // A "Socket Error" warning box with the given text.
    std::function<void(const QString& text)> socketError;
    // Data has arrived: called in the socket's own signal.
    std::function<void()> readable;
    // Data that arrived earlier waits to be read: received with the connect,
    // or reading goes on after a pause.
    std::function<void()> waiting;
    // The server closed the connection; what it sent before may still wait.
    std::function<void()> closed;
    // The outbound queue has drained below half its cap.
    std::function<void()> writable;
    std::chrono::milliseconds closeWait = kCloseWait;
};

// The program's one connection to its host, as a stream of bytes each way:
// TCP today; TLS or raw TCP are other implementations of the same calls.
// Connecting may block (the window still paints meanwhile, but takes no
// input); afterwards everything happens on the main thread through the hooks.
//
// What the program sends is never dropped, but a server that does not read
// what it asks for (an ESC Z flood) must not make the queue grow without
// bound: while more than kQueueCap bytes wait to go out, the transport stops
// handing out received data, so that the network holds the server back, as a
// real line would. Reading resumes when the queue has drained below half the
// cap, when sending fails, and when the server closes.
class Transport : public SendPath {
  public:
    static constexpr qint64 kQueueCap = 1024 * 1024;
    static constexpr qint64 kResumeBelow = kQueueCap / 2;

    // Whether this system can make the transport's connections.
    virtual bool InitTransport() = 0;
    // The description shown in the start-up banner.
    virtual QString Description() const = 0;
    // Resolves and connects; true when connected.
    virtual bool OpenConnection(const std::string& host, int port) = 0;
    // Whether a connection is open: made, and not closed by this side.
    virtual bool Connected() const = 0;
    // Reads what has arrived into `buffer`: the part it filled, empty when
    // nothing waits or reading is paused.
    virtual std::span<std::uint8_t> ReceiveBytes(std::span<std::uint8_t> buffer) = 0;
    // Sends the bytes after what waits, the last one as urgent data where
    // the transport has it (TCP's); inline where it has none.
    virtual void SendUrgent(const std::uint8_t* bytes, std::size_t length) {
        SendBytes(bytes, length);
    }
    // Sends what waits for a bounded time (the hooks' closeWait), then closes;
    // no hook is called after it.
    virtual void CloseConnection() = 0;

    // What "Connection Information" says of the connection: the address,
    // the port and how it is protected.
    virtual QString Information() const = 0;

    // Bytes received and not yet read.
    virtual qint64 Pending() const = 0;
    // Bytes waiting to go out.
    virtual qint64 Queued() const = 0;
    virtual bool ReadingPaused() const = 0;

    // Sends between the two go out in one write when the hold ends, not one
    // write each: the replies of a read slice, or a paste slice of many
    // characters, are one send.
    virtual void HoldFlush() = 0;
    virtual void ReleaseFlush() = 0;
};

}  // namespace quill
