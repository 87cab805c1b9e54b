#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quill::demo {

// What the demo host does for one client, without the socket: the server
// hands it the client's bytes and the time, and sends whatever comes back.
class ClientSession {
  public:
    using Clock = std::chrono::steady_clock;

    virtual ~ClientSession() = default;

    // The first bytes to send; called once when the client has connected.
    virtual std::string Start(Clock::time_point now) = 0;
    // Handles a chunk of bytes from the client.
    virtual std::string Feed(const std::uint8_t* bytes, std::size_t length) = 0;
    // What is due by `now` without the client having sent anything.
    virtual std::string Tick(Clock::time_point now) = 0;
    // When Tick has something to send next, if ever.
    virtual std::optional<Clock::time_point> NextTick() const = 0;
    // Send what is pending, then close.
    virtual bool Finished() const = 0;

  protected:
    ClientSession() = default;
    ClientSession(const ClientSession&) = default;
    ClientSession& operator=(const ClientSession&) = default;
};

}  // namespace quill::demo
