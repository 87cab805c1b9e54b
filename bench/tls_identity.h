#pragma once

#include <chrono>
#include <filesystem>
#include <memory>

#include "connection.h"

struct ssl_ctx_st;

namespace quill::bench {

// The server's side of TLS on loopback: a self-signed certificate for
// 127.0.0.1 (subject alternative name IP:127.0.0.1) and its key, made with
// openssl in `folder`, and the settings that present it. Named in
// SSL_CERT_FILE, the certificate is an authority the client trusts, so that
// the client connects without a question.
class TlsIdentity {
  public:
    explicit TlsIdentity(const std::filesystem::path& folder);
    ~TlsIdentity();
    TlsIdentity(const TlsIdentity&) = delete;
    TlsIdentity& operator=(const TlsIdentity&) = delete;

    // False when the certificate could not be made or loaded.
    bool Valid() const { return context_ != nullptr; }
    const std::filesystem::path& Certificate() const { return certificate_; }
    // The accepted socket `fd` once the handshake has ended within `timeout`;
    // nullptr (the socket closed) when it has not.
    std::unique_ptr<Connection> Accept(int fd, std::chrono::milliseconds timeout) const;

  private:
    std::filesystem::path certificate_;
    ssl_ctx_st* context_ = nullptr;
};

}  // namespace quill::bench
