#pragma once

#include <string_view>

namespace quill::bench {

// A listening socket on 127.0.0.1 at a port the system picks. The clients
// the benchmarks start connect to it one after the other.
class LoopbackServer {
  public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    // The next client, told that the server echoes and suppresses go-ahead
    // so that it sends each character at once (character mode); -1 when
    // none connects within 20 seconds. The caller closes it.
    int AcceptClient() const;

  private:
    int fd_ = -1;
    int port_ = 0;
};

// All of the bytes, blocking; false when the connection failed.
bool SendAll(int fd, std::string_view bytes);
// Reads and drops what the client has sent so far, without waiting.
void Drain(int fd);

}  // namespace quill::bench
