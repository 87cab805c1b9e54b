#include "ui/app/session.h"

#include <QMetaObject>
#include <array>
#include <cstdint>
#include <span>
#include <utility>

namespace quill {

Session::Session(SessionParts parts, SessionHooks hooks)
    : parts_(parts), hooks_(std::move(hooks)) {}

void Session::Readable() {
    if (readPosted_ || parts_.transport.ReadingPaused()) return;
    DeliverRead();
}

void Session::Waiting() {
    PostRead();
}

// A server that closes while reading is paused still has what it sent shown,
// then the close.
void Session::PeerClosed() {
    closePending_ = true;
    if (parts_.transport.Pending() > 0) {
        PostRead();
    } else if (!readPosted_) {
        QMetaObject::invokeMethod(this, &Session::DeliverClose, Qt::QueuedConnection);
    }
}

void Session::Writable() {
    hooks_.writable();
}

// The replies the slice makes go out together at its end.
void Session::ReadSlice() {
    std::array<std::uint8_t, kReceiveChunk> buffer{};
    Transport& transport = parts_.transport;
    const auto start = hooks_.clock();
    transport.HoldFlush();
    while (hooks_.clock() - start < kReadSlice) {
        const std::span<std::uint8_t> received = transport.ReceiveBytes(buffer);
        if (received.empty()) break;
        Take(received);
    }
    transport.ReleaseFlush();
    parts_.logger.Flush();
    hooks_.fed();
}

// One block as the transport received it: recorded in the session log as the
// wire carried it, then fed to the terminal's Telnet decoder. A stage that
// changes the bytes in between (decompression) goes here, after the log.
void Session::Take(std::span<const std::uint8_t> block) {
    const int count = static_cast<int>(block.size());
    parts_.logger.Record(block.data(), count);
    parts_.terminal.Feed(block.data(), count);
}

// Nothing is offered while reading is paused: the event would only find
// nothing to read and post itself again.
void Session::PostRead() {
    if (readPosted_ || parts_.transport.ReadingPaused()) return;
    readPosted_ = true;
    QMetaObject::invokeMethod(this, &Session::DeliverRead, Qt::QueuedConnection);
}

void Session::DeliverRead() {
    readPosted_ = false;
    if (!parts_.transport.Connected()) return;
    ReadSlice();
    if (parts_.transport.Pending() > 0) {
        PostRead();
    } else if (closePending_) {
        DeliverClose();
    }
}

void Session::DeliverClose() {
    if (closeDelivered_ || !parts_.transport.Connected()) return;
    closeDelivered_ = true;
    parts_.logger.Stop();
    parts_.scripts.Stop();
    hooks_.closed();
}

}  // namespace quill
