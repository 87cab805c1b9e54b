#pragma once

#include <sys/types.h>

#include <filesystem>

namespace quill::bench {

// A relay on 127.0.0.1 in front of a plain port of 127.0.0.1, played by
// socat: the one connection it takes goes on to the port. With TLS, the
// connection is implicit TLS, ended here; its certificate, for 127.0.0.1, is
// made with openssl in `folder`, and named in SSL_CERT_FILE it is an
// authority the client trusts, so that the client connects without a
// question. In clear text it only adds the hop, to tell its cost from the
// encryption's.
class Relay {
  public:
    enum class Encryption { kNone, kTls };

    Relay(Encryption encryption, const std::filesystem::path& folder, int backendPort);
    ~Relay();
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;

    // The port it listens on; 0 when it did not come up.
    int Port() const { return port_; }
    // The certificate, with TLS.
    const std::filesystem::path& Certificate() const { return certificate_; }

  private:
    std::filesystem::path certificate_;
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace quill::bench
