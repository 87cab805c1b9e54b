#pragma once

#include "ui/net/transport.h"

namespace quill {

// The transport the program talks through, chosen once the target is known:
// the terminal, the window and the session are made before the command line
// or the Connect dialog says whether the connection is clear text or TLS,
// and hold this relay, which hands every call to the transport in use.
class TransportRelay final : public Transport {
  public:
    explicit TransportRelay(Transport& initial) : chosen_(&initial) {}

    void Use(Transport& transport) { chosen_ = &transport; }

    bool InitTransport() override { return chosen_->InitTransport(); }
    QString Description() const override { return chosen_->Description(); }
    bool OpenConnection(const std::string& host, int port) override {
        return chosen_->OpenConnection(host, port);
    }
    bool Connected() const override { return chosen_->Connected(); }
    std::span<std::uint8_t> ReceiveBytes(std::span<std::uint8_t> buffer) override {
        return chosen_->ReceiveBytes(buffer);
    }
    void SendBytes(const std::uint8_t* bytes, std::size_t length) override {
        chosen_->SendBytes(bytes, length);
    }
    void SendUrgent(const std::uint8_t* bytes, std::size_t length) override {
        chosen_->SendUrgent(bytes, length);
    }
    void SendSecret(const std::uint8_t* bytes, std::size_t length) override {
        chosen_->SendSecret(bytes, length);
    }
    void CloseConnection() override { chosen_->CloseConnection(); }
    QString Information() const override { return chosen_->Information(); }
    qint64 Pending() const override { return chosen_->Pending(); }
    qint64 Queued() const override { return chosen_->Queued(); }
    bool ReadingPaused() const override { return chosen_->ReadingPaused(); }
    void HoldFlush() override { chosen_->HoldFlush(); }
    void ReleaseFlush() override { chosen_->ReleaseFlush(); }

  private:
    Transport* chosen_;
};

}  // namespace quill
