#include "tls_identity.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string_view>

#include "child_process.h"

namespace quill::bench {
namespace {

bool MakeCertificate(const std::filesystem::path& certificate, const std::filesystem::path& key) {
    const pid_t pid = Spawn({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                             key, "-out", certificate, "-days", "2", "-subj", "/CN=127.0.0.1",
                             "-addext", "subjectAltName=IP:127.0.0.1"},
                            [] {
                                const int null = ::open("/dev/null", O_WRONLY);
                                ::dup2(null, STDOUT_FILENO);
                                ::dup2(null, STDERR_FILENO);
                            });
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The bytes of the connection through OpenSSL, which owns the socket's
// records: a TLS record may hold less or more than one read's worth.
class Tls final : public Connection {
  public:
    Tls(int fd, SSL* ssl) : Connection(fd), ssl_(ssl) { SSL_set_fd(ssl_, fd); }
    ~Tls() override { SSL_free(ssl_); }

    // Runs the server's side of the handshake until it ends, fails or
    // `timeout` passes.
    bool Handshake(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            ERR_clear_error();
            const int n = Result(SSL_accept(ssl_));
            if (n != 0) return n > 0;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{Fd(), awaits_, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) != 1) {
                return false;
            }
        }
    }

    ssize_t WriteSome(std::string_view bytes) override {
        ERR_clear_error();
        return Result(SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size())));
    }

    ssize_t ReadSome(char* buffer, std::size_t size) override {
        ERR_clear_error();
        return Result(SSL_read(ssl_, buffer, static_cast<int>(size)));
    }

  private:
    // What an SSL_ call returned: a count, 0 when the socket must first be
    // readable or writable (as awaits_ then says), -1 when it failed.
    int Result(int n) {
        if (n > 0) return n;
        switch (SSL_get_error(ssl_, n)) {
            case SSL_ERROR_WANT_READ:
                awaits_ = POLLIN;
                return 0;
            case SSL_ERROR_WANT_WRITE:
                awaits_ = POLLOUT;
                return 0;
            default:
                return -1;
        }
    }

    SSL* ssl_;
};

}  // namespace

TlsIdentity::TlsIdentity(const std::filesystem::path& folder) : certificate_(folder / "tls.crt") {
    const std::filesystem::path key = folder / "tls.key";
    if (!MakeCertificate(certificate_, key)) return;
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (context == nullptr ||
        SSL_CTX_use_certificate_file(context, certificate_.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, key.c_str(), SSL_FILETYPE_PEM) != 1) {
        SSL_CTX_free(context);
        return;
    }
    // A write may end after a record, and go on from the rest of the bytes.
    SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // The client never resumes a session: no tickets to wake it with.
    SSL_CTX_set_num_tickets(context, 0);
    context_ = context;
}

TlsIdentity::~TlsIdentity() {
    SSL_CTX_free(context_);
}

std::unique_ptr<Connection> TlsIdentity::Accept(int fd, std::chrono::milliseconds timeout) const {
    SSL* ssl = SSL_new(context_);
    if (ssl == nullptr) {
        ::close(fd);
        return nullptr;
    }
    auto connection = std::make_unique<Tls>(fd, ssl);
    if (!connection->Handshake(timeout)) return nullptr;
    return connection;
}

}  // namespace quill::bench
