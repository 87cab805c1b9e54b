#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "core/engine/terminal.h"
#include "ui/app/script_session.h"
#include "ui/app/session_logger.h"
#include "ui/net/transport.h"

namespace quill {

// What the session pumps bytes between; the application owns them.
struct SessionParts {
    Transport& transport;
    Terminal& terminal;
    // Its byte side: each block read is recorded before the terminal sees it.
    SessionLogger& logger;
    ScriptSession& scripts;
};

// What the session tells the window.
struct SessionHooks {
    // A read slice has fed the terminal.
    std::function<void()> fed;
    // The server has closed and everything it sent has been shown; the log
    // and the script have stopped.
    std::function<void()> closed;
    // The outbound queue has room again.
    std::function<void()> writable;
    // What the read slice is measured by.
    std::function<std::chrono::steady_clock::time_point()> clock;
};

// One connection's pump: it reads what the transport has received, records
// it in the session log and feeds it to the terminal, whose replies go back
// through the transport as its SendPath. A plain QObject, not a widget, so
// that its read events are queued on it and die with it.
//
// Reading follows the transport's reports: bytes that come after a quiet
// spell are read in the socket's own signal, so that an echoed key reaches
// the screen without a second pass through the event loop; what a read slice
// leaves, and every later offer, waits for a queued read event. A slice takes
// at most one display frame of work, so that keys and paints get their turn.
// Nothing is read while the transport has paused reading for a full outbound
// queue; the server's close is reported only once nothing it sent is left.
class Session final : public QObject {
  public:
    // How long one read slice may feed the terminal: one display frame.
    static constexpr std::chrono::milliseconds kReadSlice{16};

    Session(SessionParts parts, SessionHooks hooks);

    // What the transport reports (its hooks).
    void Readable();
    void Waiting();
    void PeerClosed();
    void Writable();

    // Feeds what has arrived to the terminal in chunks of at most
    // kReceiveChunk bytes, for one read slice at most.
    void ReadSlice();

  private:
    bool Unread() const;
    void Take(std::span<const std::uint8_t> block);
    void PostRead();
    void DeliverRead();
    void DeliverClose();

    SessionParts parts_;
    SessionHooks hooks_;
    bool readPosted_ = false;
    bool closePending_ = false;
    bool closeDelivered_ = false;
};

}  // namespace quill
