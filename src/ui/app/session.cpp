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
    if (Unread()) {
        PostRead();
    } else if (!readPosted_) {
        QMetaObject::invokeMethod(this, &Session::DeliverClose, Qt::QueuedConnection);
    }
}

// Reading goes on after a pause with what the terminal still holds too.
void Session::Writable() {
    if (parts_.terminal.HoldsInput()) PostRead();
    hooks_.writable();
}

// Bytes the transport has and the terminal has not taken: compressed data
// still to inflate counts as received.
bool Session::Unread() const {
    return parts_.transport.Pending() > 0 || parts_.terminal.HoldsInput();
}

// The replies the slice makes go out together at its end.
void Session::ReadSlice() {
    std::array<std::uint8_t, kReceiveChunk> buffer{};
    Transport& transport = parts_.transport;
    const auto start = hooks_.clock();
    transport.HoldFlush();
    while (hooks_.clock() - start < kReadSlice && !transport.ReadingPaused()) {
        if (parts_.terminal.FeedHeld()) continue;
        const std::span<std::uint8_t> received = transport.ReceiveBytes(buffer);
        if (received.empty()) break;
        Take(received);
    }
    transport.ReleaseFlush();
    parts_.logger.Flush();
    hooks_.fed();
}

// One block as the transport received it: recorded in the session log as the
// wire carried it, then fed to the terminal. What compressed bytes inflate to
// counts as received: a chunk's worth at a time, the rest held by the
// terminal for the slice's next turns (FeedHeld) or the next slice.
void Session::Take(std::span<const std::uint8_t> block) {
    const int count = static_cast<int>(block.size());
    parts_.logger.Record(block.data(), count);
    parts_.terminal.FeedSome(block.data(), count);
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
    if (Unread()) {
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
