#pragma once

#include <memory>

#include "connection.h"
#include "tls_identity.h"

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
    // so that it sends each character at once (character mode); over TLS,
    // presenting `tls`, when that is given. nullptr when none connects
    // within 20 seconds or its handshake fails or does not end in as long.
    std::unique_ptr<Connection> AcceptClient(const TlsIdentity* tls) const;

  private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace quill::bench
